// Follows its command link as soon as the frame has loaded.
document.getElementById('fake').click();

// Tries every kind of request the engine can make against a server on loopback.
function tryEveryRequest(base) {
  const attempts = [];
  const guard = (f) => { try { f(); } catch (e) { /* blocked is fine */ } };
  guard(() => attempts.push(fetch(base + '/fetch').catch(() => {})));
  guard(() => {
    const xhr = new XMLHttpRequest();
    xhr.open('GET', base + '/xhr');
    xhr.send();
  });
  guard(() => { const img = new Image(); img.src = base + '/image.png'; document.body.appendChild(img); });
  guard(() => {
    const link = document.createElement('link');
    link.rel = 'stylesheet';
    link.href = base + '/style.css';
    document.head.appendChild(link);
  });
  guard(() => {
    const frame = document.createElement('iframe');
    frame.src = base + '/frame.html';
    document.body.appendChild(frame);
  });
  guard(() => { new WebSocket(base.replace('http:', 'ws:') + '/socket'); });
  guard(() => navigator.sendBeacon(base + '/beacon', 'x'));
  return attempts.length;
}

function navigateAway(base) {
  window.location.href = base + '/away.html';
}

function logPatientText(marker) {
  console.log(marker);
  console.error(marker);
  console.warn(marker);
}

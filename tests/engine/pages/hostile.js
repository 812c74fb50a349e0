// A page that breaks its own globals: the host's buffer access must not depend on them.
document.getElementById = function () { return null; };
Object.defineProperty(HTMLTextAreaElement.prototype, 'value', {
  get() { return 'forged'; },
  set(v) { /* swallowed */ },
});

'use strict';

// Start-up: wires the form's events once the deferred scripts have all run.

function initPage() {
  fields();
  renderHints();
  const form = byId('form');
  form.addEventListener('input', () => {
    if (document.body.classList.contains('has-packet')) discardPrintPacket();
    scheduleHints();
  });
  form.addEventListener('change', scheduleHints);
  form.addEventListener('submit', (event) => event.preventDefault());
  byId('packetBack').addEventListener('click', closePrintPacket);
  window.addEventListener('afterprint', () => setTimeout(closePrintPacket, 0));
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && document.body.classList.contains('packet-mode')) closePrintPacket();
  });
}

if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', initPage);
else initPage();

'use strict';

// Start-up: wires the form's events once the deferred scripts have all run.

// The toolbar's commands are links to "tolv:" command words, which the host catches; to
// assistive technology they are buttons, so Space activates them as well as Enter. The
// activation is the link's own click, so the host still sees the same navigation.
function wireToolbar() {
  for (const tool of document.querySelectorAll('.toolbar a.tool[role="button"]')) {
    tool.addEventListener('keydown', (event) => {
      if (event.key === ' ' || event.key === 'Spacebar') event.preventDefault();
    });
    tool.addEventListener('keyup', (event) => {
      if (event.key === ' ' || event.key === 'Spacebar') {
        event.preventDefault();
        tool.click();
      }
    });
  }
}

// The engines scroll a focused control into view only when it is outside the window, so one
// that lands under the sticky toolbar (Shift+Tab going up) is moved out from under it here;
// scroll-padding in the stylesheet does the same for scrolling to a link target.
function keepFocusClearOfToolbar(event) {
  const toolbar = document.querySelector('.toolbar');
  if (!toolbar || !(event.target instanceof Element) || toolbar.contains(event.target)
    || getComputedStyle(toolbar).position !== 'sticky') return;
  const bottom = toolbar.getBoundingClientRect().bottom;
  const top = event.target.getBoundingClientRect().top;
  if (top < bottom) window.scrollBy(0, top - bottom - 8);
}

function initPage() {
  fields();
  updateDoseVisibility();
  renderHints();
  wireToolbar();
  // Focus events in the capture phase: WebKit sends no focusin or focusout for date fields.
  document.addEventListener('focus', keepFocusClearOfToolbar, true);
  const form = byId('form');
  form.addEventListener('input', () => {
    if (document.body.classList.contains('has-packet')) discardPrintPacket();
    updateDoseVisibility();
    scheduleHints();
  });
  form.addEventListener('change', () => {
    updateDoseVisibility();
    scheduleHints();
  });
  form.addEventListener('blur', (event) => {
    const section = event.target.closest && event.target.closest('[data-section]');
    if (section && !touchedSections.has(section.dataset.section)) {
      touchedSections.add(section.dataset.section);
      scheduleHints();
    }
  }, true);
  form.addEventListener('submit', (event) => event.preventDefault());
  byId('packetBack').addEventListener('click', closePrintPacket);
  window.addEventListener('afterprint', () => setTimeout(closePrintPacket, 0));
  document.addEventListener('keydown', (event) => {
    if (event.key === 'Escape' && document.body.classList.contains('packet-mode')) closePrintPacket();
  });
}

if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', initPage);
else initPage();

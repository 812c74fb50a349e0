'use strict';

// Print packet. The engines we run on print no page margin boxes, so the packet is made of
// explicit Letter-sized sheets, each with its own header and footer, filled by measuring.

function displayDate(iso) {
  return isIsoDate(iso) ? iso.slice(5, 7) + '/' + iso.slice(8, 10) + '/' + iso.slice(0, 4) : iso;
}

function displayValue(field) {
  const value = readField(field);
  if (field.kind === 'date') return displayDate(value);
  if (field.kind === 'select') {
    const option = field.controls[0].selectedOptions[0];
    return option && option.value !== '' ? option.textContent.trim() : '';
  }
  return value;
}

function applicantHeader() {
  const { byName } = fields();
  const v = (name) => readField(byName.get(name)).trim();
  const given = [v('applicant.givenName'), v('applicant.middleName')].filter(Boolean).join(' ');
  const name = [v('applicant.familyName'), given].filter(Boolean).join(', ');
  return { name: name || '(no name given)', aNumber: v('applicant.aNumber') || 'none' };
}

function makeCell(label, valueNode, span) {
  const cell = element('div', 'pcell span' + span);
  cell.appendChild(element('div', 'pk', label));
  const value = element('div', 'pv');
  if (typeof valueNode === 'string') value.textContent = valueNode;
  else value.appendChild(valueNode);
  cell.appendChild(value);
  return cell;
}

function boxes(items) {
  const span = element('span', 'boxes');
  for (const [text, on] of items) {
    span.appendChild(element('span', 'box' + (on ? ' on' : ''), (on ? '\u2612 ' : '\u2610 ') + text));
  }
  return span;
}

function labelTextOf(label) {
  const lt = label.querySelector('.lt');
  return (lt || label).textContent.trim();
}

// Turns a form container into print items: headings, cells (with a span of 1 to 3 columns)
// and long texts that may need splitting across sheets.
function printItems(container, items) {
  const { byName } = fields();
  // A date of signature is printed in its signer's block, not a second time among the cells.
  const signedOn = new Set(Array.from(container.closest('fieldset.section').querySelectorAll('.certification'),
    (c) => c.dataset.dateField));
  for (const child of container.children) {
    if (child.classList.contains('screen-only') || child.classList.contains('hints')) continue;
    if (child.matches('label.field') && signedOn.has(child.querySelector('[name]').name)) continue;
    if (child.tagName === 'LEGEND') continue;
    if (child.matches('fieldset.group')) {
      items.push({ type: 'heading', text: child.querySelector('legend').textContent.trim() });
      printItems(child, items);
      items.push({ type: 'groupEnd' });
    } else if (child.matches('fieldset.choice')) {
      const legend = child.querySelector('legend').textContent.trim();
      const options = Array.from(child.querySelectorAll('input'), (c) => [c.closest('label').textContent.trim(), c.checked]);
      const length = options.reduce((sum, [text]) => sum + text.length, 0);
      items.push({ type: 'cell', label: legend, node: () => boxes(options), span: length < 30 ? 1 : length < 70 ? 2 : 3 });
    } else if (child.matches('fieldset.checklist')) {
      const legend = child.querySelector('legend').textContent.trim();
      const options = Array.from(child.querySelectorAll('input'), (c) => [c.closest('label').textContent.trim(), c.checked]);
      items.push({ type: 'cell', label: legend, node: () => boxes(options), span: 3 });
    } else if (child.matches('label.check')) {
      const input = child.querySelector('input');
      items.push({ type: 'cell', label: '', node: () => boxes([[labelTextOf(child), input.checked]]), span: 2 });
    } else if (child.matches('label.field')) {
      const control = child.querySelector('[name]');
      const field = byName.get(control.name);
      const label = labelTextOf(child);
      if (control.tagName === 'TEXTAREA') {
        items.push({ type: 'text', label, text: readField(field) });
      } else {
        const span = child.classList.contains('full') ? 3 : child.classList.contains('wide') ? 2 : 1;
        items.push({ type: 'cell', label, node: () => displayValue(field), span });
      }
    } else if (child.matches('.certification')) {
      items.push({ type: 'signature', holder: child });
    } else if (child.id === 'vaccineRows') {
      items.push({ type: 'vaccines' });
    } else {
      printItems(child, items);
    }
  }
  return items;
}

class Pager {
  constructor(packet, header) {
    this.packet = packet;
    this.header = header;
    this.sheets = [];
    this.body = null;
    this.continuation = null;
    this.continuationCount = 0;
    this.sectionShown = false;
  }

  newSheet() {
    const sheet = element('section', 'sheet');
    const header = element('header', 'sheet-header');
    header.append(element('span', 'sheet-name', 'Applicant: ' + this.header.name),
      element('span', 'sheet-anumber', 'A-Number: ' + this.header.aNumber));
    const body = element('div', 'sheet-body');
    const footer = element('footer', 'sheet-footer');
    footer.append(element('span', 'sheet-edition', 'Form Tolv Edition ' + FORM_EDITION),
      element('span', 'sheet-page'));
    sheet.append(header, body, footer);
    this.packet.appendChild(sheet);
    this.sheets.push(sheet);
    this.body = body;
    // A section that already has content on an earlier sheet goes on under its title marked
    // as continued; one whose title moves along with its first row needs no second title.
    this.continuedHere = this.continuation !== null && this.sectionShown;
    if (this.continuedHere) for (const node of this.continuation()) body.appendChild(node);
  }

  overflows() {
    return this.body.scrollHeight > this.body.clientHeight + 1;
  }

  // Places nodes on the current sheet, or on a new one when they do not fit. Returns false
  // when they do not fit even on an empty sheet (they stay placed; the caller may split them).
  place(nodes) {
    if (!this.body) this.newSheet();
    const contentBefore = this.body.childElementCount;
    for (const node of nodes) this.body.appendChild(node);
    if (!this.overflows()) {
      this.sectionShown = true;
      return true;
    }
    const fresh = contentBefore === 0 || (this.continuedHere && contentBefore === this.continuationCount);
    if (fresh) {
      this.sectionShown = true;
      return false;
    }
    for (const node of nodes) node.remove();
    this.newSheet();
    for (const node of nodes) this.body.appendChild(node);
    this.sectionShown = true;
    return !this.overflows();
  }

  // True while the sheet holds nothing but what it repeats of a section begun earlier.
  isFresh() {
    const count = this.body.childElementCount;
    return count === 0 || (this.continuedHere && count === this.continuationCount);
  }

  // What a new sheet repeats while a section runs on (its title, a table head); the section's
  // own title is placed with its first row.
  startSection(make) {
    this.sectionShown = false;
    this.setContinuation(make);
  }

  setContinuation(make) {
    this.continuation = make;
    this.continuationCount = make ? make().length : 0;
  }

  // Places a part that must stay on one sheet: when it runs over onto a further sheet, it is
  // taken back and placed again from the top of a new sheet.
  keepTogether(place) {
    if (!this.body) this.newSheet();
    const sheetIndex = this.sheets.length - 1;
    const before = this.body.childElementCount;
    const fresh = this.isFresh();
    place();
    if (this.sheets.length - 1 === sheetIndex || fresh) return;
    for (const sheet of this.sheets.splice(sheetIndex + 1)) sheet.remove();
    this.body = this.sheets[sheetIndex].querySelector('.sheet-body');
    while (this.body.childElementCount > before) this.body.lastElementChild.remove();
    this.continuation = null;
    this.newSheet();
    place();
  }

  finish() {
    const total = this.sheets.length;
    this.sheets.forEach((sheet, index) => {
      sheet.querySelector('.sheet-page').textContent = 'Page ' + (index + 1) + ' of ' + total;
      sheet.setAttribute('aria-label', 'Page ' + (index + 1) + ' of ' + total);
    });
  }
}

function packCells(cells) {
  const rows = [];
  let row = null;
  let used = 0;
  for (const cell of cells) {
    if (!row || used + cell.span > 3) {
      row = element('div', 'prow');
      rows.push(row);
      used = 0;
    }
    row.appendChild(makeCell(cell.label, cell.node(), cell.span));
    used += cell.span;
  }
  return rows;
}

// A long text goes on as many sheets as it needs, split at spaces or line ends. It starts in
// the room left on the current sheet when a few lines fit there, rather than leave it empty.
function placeText(pager, label, text, lead) {
  let rest = text;
  let first = true;
  if (!pager.body) pager.newSheet();
  for (;;) {
    const cell = makeCell(first ? label : label + ' (continued)', '', 3);
    const row = element('div', 'prow');
    row.appendChild(cell);
    const value = cell.querySelector('.pv');
    value.classList.add('ptext');
    value.textContent = rest;
    const nodes = first && lead ? lead.concat(row) : [row];
    const fresh = pager.isFresh();
    for (const node of nodes) pager.body.appendChild(node);
    if (!pager.overflows()) {
      pager.sectionShown = true;
      return;
    }
    // The longest head that fits, by halving.
    let low = 0;
    let high = rest.length;
    while (low < high) {
      const mid = Math.ceil((low + high) / 2);
      value.textContent = rest.slice(0, mid);
      if (pager.overflows()) high = mid - 1;
      else low = mid;
    }
    value.textContent = rest.slice(0, low);
    const lineHeight = parseFloat(getComputedStyle(value).fontSize) * 1.3;
    if (!fresh && value.getBoundingClientRect().height < 3 * lineHeight) {
      for (const node of nodes) node.remove();
      pager.newSheet();
      continue;
    }
    let cut = low;
    const space = Math.max(rest.lastIndexOf(' ', cut - 1), rest.lastIndexOf('\n', cut - 1));
    if (space >= cut / 2 && cut < rest.length) cut = space + 1;
    value.textContent = rest.slice(0, Math.max(cut, 1));
    rest = rest.slice(Math.max(cut, 1));
    pager.sectionShown = true;
    first = false;
    if (!rest) return;
    pager.newSheet();
  }
}

function vaccineHeaderRow() {
  const row = element('div', 'vrow vhead');
  const heads = ['Vaccine'];
  for (let dose = 1; dose <= DOSES_PER_VACCINE; dose++) heads.push('Dose ' + dose);
  heads.push('Completed', 'Waiver or evidence');
  for (const text of heads) row.appendChild(element('div', 'vcell', text));
  return row;
}

function vaccineRow(vaccine) {
  const { byName } = fields();
  const v = (name) => readField(byName.get('vaccination.' + vaccine.key + '.' + name));
  const row = element('div', 'vrow');
  row.appendChild(element('div', 'vcell vname', vaccine.name));
  for (let dose = 1; dose <= DOSES_PER_VACCINE; dose++) {
    const source = v('dose' + dose + '.source');
    const code = { record: 'R', given: 'G', lab: 'L' }[source] || '';
    row.appendChild(element('div', 'vcell', [displayDate(v('dose' + dose + '.date')), code].filter(Boolean).join(' ')));
  }
  row.appendChild(element('div', 'vcell', v('completed') ? '\u2612 Yes' : '\u2610'));
  const waiver = WAIVER_REASONS.find(([value]) => value === v('waiver'));
  const notes = waiver && waiver[0] ? [waiver[1]] : [];
  const immune = (vaccine.extras || []).filter(([name]) => v(name) === true).map(([, text]) => text);
  row.appendChild(element('div', 'vcell', notes.concat(immune).join('; ')));
  return row;
}

// A signer's block: the certification, a ruled line to sign on, the printed name and the date.
function signatureBlock(holder) {
  const { byName } = fields();
  const v = (name) => {
    const field = byName.get(name);
    return field ? readField(field).trim() : '';
  };
  const name = holder.dataset.nameFields.split(' ').map(v).filter(Boolean).join(' ');
  const block = element('div', 'psign');
  block.dataset.signer = holder.dataset.signer;
  block.appendChild(element('p', 'psign-title', holder.querySelector('.cert-title').textContent.trim()));
  block.appendChild(element('p', 'psign-text', holder.querySelector('.cert-text').textContent.trim()));
  const lines = element('div', 'psign-lines');
  const line = (label, value, className) => {
    const cell = element('div', 'psign-cell ' + className);
    cell.append(element('div', 'psign-value', value), element('div', 'psign-label', label));
    return cell;
  };
  lines.append(line('Signature of the ' + holder.dataset.signer.toLowerCase(), '', 'psign-signature'),
    line('Printed name', name, 'psign-name'),
    line('Date of signature (mm/dd/yyyy)', displayDate(v(holder.dataset.dateField)), 'psign-date'));
  block.appendChild(lines);
  return block;
}

function sectionTitle(text, continued) {
  return element('h2', 'psection', continued ? text + ' (continued)' : text);
}

function buildPacket(packet) {
  const pager = new Pager(packet, applicantHeader());
  pager.newSheet();
  pager.place([element('h1', 'ptitle', 'Report of Immigration Medical Examination and Vaccination Record')]);
  const placeSection = (section) => {
    const title = section.querySelector('legend').textContent.trim();
    const items = printItems(section, []);
    let lead = [sectionTitle(title, false)];
    pager.startSection(() => [sectionTitle(title, true)]);
    const flushLead = () => {
      if (lead) pager.place(lead);
      lead = null;
    };
    for (let i = 0; i < items.length;) {
      const item = items[i];
      if (item.type === 'heading') {
        // A group heading stays with the first row of its group.
        const cells = [];
        let j = i + 1;
        while (j < items.length && items[j].type === 'cell') cells.push(items[j++]);
        const rows = packCells(cells);
        const head = element('h3', 'pgroup', item.text);
        pager.place((lead || []).concat(head, rows.slice(0, 1)));
        lead = null;
        for (const row of rows.slice(1)) pager.place([row]);
        i = j;
      } else if (item.type === 'cell') {
        const cells = [];
        let j = i;
        while (j < items.length && items[j].type === 'cell') cells.push(items[j++]);
        const rows = packCells(cells);
        // Cells that follow a group are set apart from it, so they do not read as its part.
        if (i > 0 && items[i - 1].type === 'groupEnd') rows[0].classList.add('after-group');
        for (const row of rows) {
          pager.place((lead || []).concat(row));
          lead = null;
        }
        i = j;
      } else if (item.type === 'text') {
        placeText(pager, item.label, item.text, lead);
        lead = null;
        i++;
      } else if (item.type === 'signature') {
        // The block is one node, so it moves to the next sheet whole rather than split.
        pager.place((lead || []).concat(signatureBlock(item.holder)));
        lead = null;
        i++;
      } else if (item.type === 'vaccines') {
        pager.setContinuation(() => [sectionTitle(title, true), vaccineHeaderRow()]);
        pager.place((lead || []).concat(vaccineHeaderRow(), vaccineRow(VACCINES[0])));
        lead = null;
        for (const vaccine of VACCINES.slice(1)) pager.place([vaccineRow(vaccine)]);
        pager.place([element('p', 'pnote', 'Source of each dose: R = vaccination record, G = given by the civil surgeon, '
          + 'L = laboratory evidence of immunity.')]);
        i++;
      } else {
        i++;
      }
    }
    flushLead();
    pager.startSection(null);
  };
  for (const section of byId('form').querySelectorAll(':scope > fieldset.section')) {
    if (section.hasAttribute('data-keep-together')) pager.keepTogether(() => placeSection(section));
    else placeSection(section);
  }
  pager.finish();
  return pager.sheets.length;
}

// Lays the form out as the print packet and shows it; returns the number of sheets. Calling it
// again rebuilds the packet from the current values.
let editorScrollY = 0;
let focusBeforePacket = null;

function preparePrintPacket() {
  const packet = byId('printPacket');
  packet.textContent = '';
  if (!document.body.classList.contains('packet-mode')) {
    editorScrollY = window.scrollY;
    const active = document.activeElement;
    focusBeforePacket = active && active !== document.body && !byId('packetView').contains(active) ? active : null;
  }
  document.body.classList.add('packet-mode', 'has-packet');
  const count = buildPacket(packet);
  window.scrollTo(0, 0);
  // Keyboard users land on the way back, since the field they were in is now hidden.
  byId('packetBack').focus({ preventScroll: true });
  return count;
}

// Back to the editing view, with focus where it was before the packet (the field, or the
// toolbar command that asked for it). The packet stays printable until the form changes, in
// case the engine still renders pages after its print event.
function closePrintPacket() {
  if (!document.body.classList.contains('packet-mode')) return;
  document.body.classList.remove('packet-mode');
  window.scrollTo(0, editorScrollY);
  if (document.activeElement === byId('packetBack') || document.activeElement === document.body) {
    const target = focusBeforePacket && focusBeforePacket.isConnected ? focusBeforePacket : byId('form').querySelector('[name]');
    target.focus({ preventScroll: true });
  }
  focusBeforePacket = null;
}

function discardPrintPacket() {
  closePrintPacket();
  document.body.classList.remove('has-packet');
  byId('printPacket').textContent = '';
}


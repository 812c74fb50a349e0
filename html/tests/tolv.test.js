'use strict';

// Tests of the form page, run inside the page itself (win is its window). Each test starts
// from newRecord(). The whole file is one function so its helpers stay out of the page's
// global scope.

(function pageSuite() {

const SECTION_PREFIXES = ['applicant.', 'statement.', 'interpreter.', 'preparer.', 'identification.',
  'summary.', 'surgeon.', 'referral.', 'findings.', 'vaccination.', 'additional.'];

function controls(win) {
  return Array.from(win.document.querySelectorAll('#form [name]'));
}

function fieldsOf(win) {
  return JSON.parse(win.collectRecord()).fields;
}

function setFields(win, values) {
  win.applyPartial(JSON.stringify({ format: 'praxora-tolv-fields', version: 1, fields: values }));
}

function recordText(fields, extra) {
  return JSON.stringify(Object.assign({ format: 'praxora-tolv-record', version: 1, edition: '02/27/26', fields }, extra));
}

function isEmpty(value) {
  return value === '' || value === false;
}

// ----------------------------------------------------------------------------------------------
// Record text

test('test data round trip through the exchange buffer is identical', (win) => {
  win.fillTestData();
  const buffer = win.document.getElementById('nativeBuffer');
  buffer.value = win.collectRecord();
  const saved = buffer.value;
  win.newRecord();
  ok(Object.values(fieldsOf(win)).every(isEmpty), 'newRecord empties the form');
  win.loadRecord(buffer.value);
  eq(win.collectRecord(), saved);
});

test('record names its format, version and edition and holds every field', (win) => {
  win.fillTestData();
  const record = JSON.parse(win.collectRecord());
  eq([record.format, record.version, record.edition], ['praxora-tolv-record', 1, '02/27/26']);
  const names = new Set(controls(win).map((c) => c.name));
  eq(Object.keys(record.fields).sort(), Array.from(names).sort());
  for (const name of names) {
    ok(SECTION_PREFIXES.some((prefix) => name.startsWith(prefix)), 'field outside any section: ' + name);
  }
});

test('test data fills every section with a fictitious patient', (win) => {
  win.fillTestData();
  const fields = fieldsOf(win);
  for (const prefix of SECTION_PREFIXES) {
    ok(Object.keys(fields).some((name) => name.startsWith(prefix) && !isEmpty(fields[name])), 'section empty: ' + prefix);
  }
  ok(/TEST/.test(fields['applicant.familyName']), 'the family name says it is test data');
  ok(/example\.test$/.test(fields['statement.email']), 'email in a reserved test domain');
});

test('tricky text survives the round trip', (win) => {
  const values = {
    'applicant.familyName': 'Ñúñez-O\'Brien "Zoë" \\ </script> 李 🧪 مرحبا',
    'additional.text': 'line one\nline two\r\n\ttabbed {"json": [1,2]}\n' + 'x'.repeat(100000),
    'findings.remarks': '',
  };
  win.loadRecord(recordText(values));
  const text = win.collectRecord();
  const fields = JSON.parse(text).fields;
  eq(fields['applicant.familyName'], values['applicant.familyName']);
  eq(fields['additional.text'], values['additional.text'].replace(/\r\n/g, '\n'));
  win.newRecord();
  win.loadRecord(text);
  eq(win.collectRecord(), text);
});

test('loadRecord refuses what is not a record and leaves the form unchanged', (win) => {
  const cases = [
    ['empty text', ''],
    ['blank text', '  \n '],
    ['not JSON', 'this is not JSON'],
    ['truncated JSON', recordText({ 'applicant.familyName': 'X' }).slice(0, 40)],
    ['JSON array', '[]'],
    ['JSON null', 'null'],
    ['JSON number', '42'],
    ['JSON string', '"praxora-tolv-record"'],
    ['object without format', '{"fields": {}}'],
    ['other format', JSON.stringify({ format: 'something-else', version: 1, fields: {} })],
    ['clinic defaults, not a record', win.collectPrefix('surgeon.')],
    ['no fields', JSON.stringify({ format: 'praxora-tolv-record', version: 1 })],
    ['fields is an array', JSON.stringify({ format: 'praxora-tolv-record', version: 1, fields: [] })],
    ['newer version', recordText({}, { version: 2 })],
    ['version not a number', recordText({}, { version: 'one' })],
    ['text field holds a number', recordText({ 'applicant.familyName': 7 })],
    ['text field holds an object', recordText({ 'applicant.familyName': { a: 1 } })],
    ['checkbox holds a text', recordText({ 'applicant.vaccinationOnly': 'yes' })],
    ['date is not a date', recordText({ 'applicant.dateOfBirth': '15/04/1990' })],
    ['date does not exist', recordText({ 'applicant.dateOfBirth': '1990-02-30' })],
    ['choice not offered', recordText({ 'summary.classification': 'C' })],
    ['select value not offered', recordText({ 'identification.type': 'library card' })],
  ];
  win.fillTestData();
  win.preparePrintPacket();
  const before = win.collectRecord();
  for (const [name, text] of cases) {
    throwsError(() => win.loadRecord(text), name);
    eq(win.collectRecord(), before, 'form changed by ' + name);
  }
  throwsError(() => win.loadRecord(undefined), 'undefined');
  eq(win.collectRecord(), before);
});

test('loadRecord accepts missing fields and clears the rest', (win) => {
  win.fillTestData();
  win.loadRecord(recordText({ 'applicant.familyName': 'ONLY', 'applicant.vaccinationOnly': true }));
  const fields = fieldsOf(win);
  eq(fields['applicant.familyName'], 'ONLY');
  eq(fields['applicant.vaccinationOnly'], true);
  const others = Object.keys(fields).filter((n) => n !== 'applicant.familyName' && n !== 'applicant.vaccinationOnly');
  eq(others.filter((n) => !isEmpty(fields[n])), []);
  win.loadRecord(JSON.stringify({ format: 'praxora-tolv-record', fields: { 'surgeon.phone': null } }));
  eq(fieldsOf(win)['surgeon.phone'], '', 'null reads as empty and a missing version as the first');
});

test('unknown fields and members are kept for the next save, not after newRecord', (win) => {
  const text = recordText(
    { 'applicant.givenName': 'Kept', 'future.consent': { signed: true, on: '2026-01-01' }, 'surgeon.npi': '0000000000' },
    { attachments: [{ name: 'scan.pdf' }] });
  win.loadRecord(text);
  let record = JSON.parse(win.collectRecord());
  eq(record.fields['future.consent'], { signed: true, on: '2026-01-01' });
  eq(record.attachments, [{ name: 'scan.pdf' }]);
  eq(JSON.parse(win.collectPrefix('surgeon.')).fields['surgeon.npi'], '0000000000');
  const odd = '{"format":"praxora-tolv-record","version":1,"fields":{"__proto__":{"x":1},"constructor":"c"},"__proto__":[2]}';
  win.loadRecord(odd);
  record = win.collectRecord();
  eq(JSON.parse(record).fields.constructor, 'c');
  ok(record.includes('"__proto__": {') && record.includes('"__proto__": ['), 'members named like object internals survive');
  win.newRecord();
  record = JSON.parse(win.collectRecord());
  ok(!('future.consent' in record.fields) && !('attachments' in record), 'newRecord forgets them');
});

// ----------------------------------------------------------------------------------------------
// Clinic defaults

test('collectPrefix selects exactly the civil surgeon section', (win) => {
  win.fillTestData();
  const text = win.collectPrefix('surgeon.');
  const object = JSON.parse(text);
  eq([object.format, object.prefix], ['praxora-tolv-fields', 'surgeon.']);
  const sectionNames = Array.from(win.document.querySelectorAll('[data-section="surgeon"] [name]'), (c) => c.name);
  eq(Object.keys(object.fields).sort(), Array.from(new Set(sectionNames)).sort());
  ok(sectionNames.every((name) => name.startsWith('surgeon.')), 'every section 7 field is a default');
  ok(sectionNames.length >= 10, 'section 7 has its fields');
});

test('applyPartial sets only the fields its text holds', (win) => {
  win.fillTestData();
  const defaults = win.collectPrefix('surgeon.');
  const before = fieldsOf(win);
  const changed = JSON.parse(defaults);
  changed.fields['surgeon.familyName'] = 'OTHERDOCTOR';
  changed.fields['surgeon.licenseExpiry'] = '';
  win.applyPartial(JSON.stringify(changed));
  const after = fieldsOf(win);
  const differing = Object.keys(after).filter((n) => JSON.stringify(after[n]) !== JSON.stringify(before[n]));
  eq(differing.sort(), ['surgeon.familyName', 'surgeon.licenseExpiry']);

  win.newRecord();
  win.applyPartial(defaults);
  const applied = fieldsOf(win);
  eq(Object.keys(applied).filter((n) => !isEmpty(applied[n]) && !n.startsWith('surgeon.')), []);
  eq(win.collectPrefix('surgeon.'), defaults, 'defaults survive collect and apply');
});

test('applyPartial ignores an empty text and refuses an unreadable one unchanged', (win) => {
  win.fillTestData();
  const before = win.collectRecord();
  win.applyPartial('');
  win.applyPartial(' \n');
  eq(win.collectRecord(), before);
  for (const text of ['{', '[]', '{"format":"x","fields":{}}', JSON.stringify({ format: 'praxora-tolv-fields',
    fields: { 'surgeon.familyName': 'NEW', 'surgeon.signatureDate': 'soon' } })]) {
    throwsError(() => win.applyPartial(text), text);
    eq(win.collectRecord(), before, 'changed by ' + text);
  }
  setFields(win, { 'surgeon.unknownFutureField': 'x', 'surgeon.phone': '555-0199' });
  eq(fieldsOf(win)['surgeon.phone'], '555-0199', 'unknown fields are skipped, known ones set');
});

// ----------------------------------------------------------------------------------------------
// Hints

function hintIds(win) {
  const result = win.evaluateHints();
  return Object.values(result.bySection).flat().map((h) => h.id);
}

test('tests and vaccines follow the age on the examination date', (win) => {
  const cases = [
    // [what, date of birth, examination date, tests due, vaccines that apply]
    ['adult of 34 in winter', '1991-04-15', '2026-02-10', ['test.igra', 'test.chestXray', 'test.syphilis'],
      ['dtp', 'mmr', 'varicella', 'influenza']],
    ['adult of 20 in summer', '2006-01-01', '2026-07-01', ['test.igra', 'test.chestXray', 'test.syphilis', 'test.gonorrhea'],
      ['dtp', 'mmr', 'varicella']],
    ['18th birthday', '2008-02-10', '2026-02-10', ['test.igra', 'test.chestXray', 'test.syphilis', 'test.gonorrhea'],
      ['dtp', 'mmr', 'varicella', 'influenza', 'hepatitisA', 'hepatitisB', 'meningococcal']],
    ['day before 18', '2008-02-11', '2026-02-10', ['test.igra', 'test.chestXray'],
      ['dtp', 'polio', 'mmr', 'hepatitisA', 'hepatitisB', 'meningococcal', 'varicella', 'influenza']],
    ['second birthday', '2024-02-10', '2026-02-10', ['test.igra'],
      ['dtp', 'polio', 'mmr', 'hib', 'hepatitisA', 'hepatitisB', 'varicella', 'pneumococcal', 'influenza']],
    ['day before 2', '2024-02-11', '2026-02-10', [],
      ['dtp', 'polio', 'mmr', 'hib', 'hepatitisA', 'hepatitisB', 'varicella', 'pneumococcal', 'influenza']],
    ['baby of 4 months in June', '2026-02-01', '2026-06-01', [],
      ['dtp', 'polio', 'hib', 'hepatitisB', 'rotavirus', 'pneumococcal']],
    ['born 1956, 70 in October', '1956-03-01', '2026-10-05', ['test.igra', 'test.chestXray', 'test.syphilis'],
      ['dtp', 'varicella', 'pneumococcal', 'influenza']],
  ];
  for (const [what, dob, exam, tests, vaccines] of cases) {
    win.newRecord();
    setFields(win, { 'applicant.dateOfBirth': dob, 'summary.examDate': exam });
    const result = win.evaluateHints();
    const due = Object.values(result.bySection).flat().filter((h) => h.kind === 'test').map((h) => h.id);
    eq(due.sort(), tests.slice().sort(), what + ', tests');
    const applying = Object.keys(result.vaccines).filter((k) => result.vaccines[k]);
    eq(applying.sort(), vaccines.slice().sort(), what + ', vaccines');
  }
});

test('a due test or vaccine drops out once recorded; a positive IGRA asks for an X-ray', (win) => {
  setFields(win, { 'applicant.dateOfBirth': '2016-05-01', 'summary.examDate': '2026-05-01' });
  ok(hintIds(win).includes('test.igra') && hintIds(win).includes('vaccine.polio'));
  ok(!hintIds(win).includes('test.chestXrayAfterIgra'));
  setFields(win, { 'findings.tb.igraResult': 'positive', 'vaccination.polio.waiver': 'contraindication' });
  ok(!hintIds(win).includes('test.igra'), 'IGRA recorded');
  ok(!hintIds(win).includes('vaccine.polio'), 'polio waived');
  ok(hintIds(win).includes('test.chestXrayAfterIgra'), 'X-ray after positive IGRA at 10');
  setFields(win, { 'vaccination.varicella.dose1.source': 'lab', 'vaccination.mmr.completed': true });
  ok(!hintIds(win).includes('vaccine.varicella') && !hintIds(win).includes('vaccine.mmr'));
});

test('without both dates the page asks for them instead of guessing the age', (win) => {
  setFields(win, { 'applicant.dateOfBirth': '1990-01-01' });
  const ids = hintIds(win);
  ok(ids.includes('age.unknown'));
  ok(!ids.some((id) => id.startsWith('test.') || id.startsWith('vaccine.')));
});

test('summary of section 6 is checked against the findings of section 9', (win) => {
  const cases = [
    ['none', {}, []],
    ['none', { 'findings.tb.class': 'B' }, ['consistency.noneButFindings']],
    ['none', { 'findings.otherClassB': 'Hearing loss' }, ['consistency.noneButFindings']],
    ['A', { 'findings.tb.class': 'B' }, ['consistency.classAMissing']],
    ['A', { 'findings.substance.class': 'A' }, []],
    ['B', { 'findings.syphilis.class': 'none' }, ['consistency.classBMissing']],
    ['B', { 'findings.mental.class': 'A', 'findings.tb.class': 'B' }, ['consistency.classAUnderB']],
    ['', { 'findings.hansens.class': 'A' }, ['consistency.findingsWithoutSummary']],
  ];
  for (const [summary, findings, expected] of cases) {
    win.newRecord();
    setFields(win, Object.assign({ 'summary.classification': summary }, findings));
    eq(hintIds(win).filter((id) => id.startsWith('consistency.')), expected, summary + ' ' + JSON.stringify(findings));
  }
});

test('test data is consistent and complete, so it raises no warnings', (win) => {
  win.fillTestData();
  eq(hintIds(win), []);
});

test('required fields are marked and a vaccination-only case needs fewer', (win) => {
  win.renderHints();
  const family = win.document.querySelector('[name="applicant.familyName"]');
  eq(family.getAttribute('aria-required'), 'true');
  ok(family.closest('label').classList.contains('required'), 'label marked');
  const tbClass = win.document.querySelector('[name="findings.tb.class"]');
  eq(tbClass.getAttribute('aria-required'), 'true');
  ok(hintIds(win).includes('required.findings'));
  ok(win.document.querySelector('[data-hints="applicant"] li[data-rule="required.applicant"]'), 'hint shown in its section');

  setFields(win, { 'applicant.vaccinationOnly': true, 'applicant.dateOfBirth': '1990-01-01', 'summary.examDate': '2026-01-10' });
  win.renderHints();
  const ids = hintIds(win);
  ok(!ids.includes('required.findings') && !ids.includes('required.summary'), 'findings not required');
  ok(!ids.some((id) => id.startsWith('test.')), 'no tests due');
  ok(ids.includes('vaccine.mmr'), 'vaccines still apply');
  eq(tbClass.getAttribute('aria-required'), null);
  ok(!win.document.querySelector('[data-hints="findings"] li'), 'findings hint box cleared');
});

// ----------------------------------------------------------------------------------------------
// Print packet

const INCH = 96;

function sheets(win) {
  return Array.from(win.document.querySelectorAll('#printPacket .sheet'));
}

function checkSheets(win, count, name, aNumber) {
  const list = sheets(win);
  eq(list.length, count, 'sheets in the packet');
  list.forEach((sheet, index) => {
    const where = 'page ' + (index + 1);
    const header = sheet.querySelector('.sheet-header').textContent;
    const footer = sheet.querySelector('.sheet-footer').textContent;
    ok(header.includes(name), where + ' header names the applicant: ' + header);
    ok(header.includes(aNumber), where + ' header has the A-Number: ' + header);
    ok(footer.includes('Form Tolv Edition 02/27/26'), where + ' footer has the edition: ' + footer);
    ok(footer.includes('Page ' + (index + 1) + ' of ' + count), where + ' footer counts pages: ' + footer);
    const body = sheet.querySelector('.sheet-body');
    ok(body.scrollHeight <= body.clientHeight + 1, where + ' content overflows its sheet');
    const box = sheet.getBoundingClientRect();
    ok(box.width <= 7.5 * INCH + 0.5 && box.height <= 10 * INCH, where + ' fits a Letter sheet inside half-inch margins');
  });
}

test('print packet: every page has the header and the footer, N of M', (win) => {
  win.fillTestData();
  const count = win.preparePrintPacket();
  ok(count >= 2, 'the test data takes more than one page');
  checkSheets(win, count, 'TESTPATIENT, Fictitia Sample', 'A-000-000-000');
  ok(win.document.body.classList.contains('packet-mode'), 'the packet is shown');
  eq(win.getComputedStyle(win.document.getElementById('editor')).display, 'none', 'editing view hidden');
  eq(win.getComputedStyle(win.document.querySelector('.toolbar')).display, 'none', 'toolbar hidden');
});

test('whatever falls at a page end, section titles are neither lost nor doubled', (win) => {
  win.fillTestData();
  const legends = Array.from(win.document.querySelectorAll('#form > fieldset.section > legend'), (l) => l.textContent.trim());
  for (let lines = 0; lines <= 48; lines += 2) {
    setFields(win, { 'referral.outcome': Array.from({ length: lines }, (_, i) => 'Outcome line ' + i).join('\n') });
    const count = win.preparePrintPacket();
    checkSheets(win, count, 'TESTPATIENT, Fictitia Sample', 'A-000-000-000');
    const seen = new Set();
    sheets(win).forEach((sheet, index) => {
      const titles = Array.from(sheet.querySelectorAll('h2'), (h) => h.textContent);
      titles.forEach((title, position) => {
        const base = title.replace(/ \(continued\)$/, '');
        const where = lines + ' lines, page ' + (index + 1) + ': ' + title;
        if (title !== base) {
          ok(position === 0 && sheet.querySelector('.sheet-body').firstElementChild.textContent === title, where + ' heads its page');
          ok(seen.has(base), where + ' continues a section begun earlier');
        } else {
          ok(!seen.has(base), where + ' shown twice');
          seen.add(base);
        }
      });
    });
    eq(Array.from(seen), legends, lines + ' lines, section titles');
  }
});

test('print packet shows every value of the form', (win) => {
  win.fillTestData();
  win.preparePrintPacket();
  const text = win.document.getElementById('printPacket').textContent.replace(/\s+/g, ' ');
  const fields = fieldsOf(win);
  for (const control of controls(win)) {
    const value = fields[control.name];
    if (typeof value !== 'string' || value === '') continue;
    let shown = value;
    const usDate = (iso) => iso.slice(5, 7) + '/' + iso.slice(8) + '/' + iso.slice(0, 4);
    if (control.type === 'date') shown = usDate(value);
    else if (/\.dose\d\.source$/.test(control.name)) {
      shown = usDate(fields[control.name.replace(/source$/, 'date')]) + ' ' + { record: 'R', given: 'G', lab: 'L' }[value];
    } else if (control.tagName === 'SELECT') shown = control.selectedOptions[0].textContent.trim();
    else if (control.type === 'radio') shown = win.document.querySelector('[name="' + control.name + '"]:checked').closest('label').textContent.trim();
    ok(text.includes(shown.replace(/\s+/g, ' ')), control.name + ' missing from the packet: ' + shown);
  }
  for (const legend of win.document.querySelectorAll('#form > fieldset.section > legend')) {
    ok(text.includes(legend.textContent.trim()), 'section title missing: ' + legend.textContent);
  }
});

test('a long continuation runs over several pages without losing text', (win) => {
  win.fillTestData();
  const paragraphs = [];
  for (let i = 1; i <= 180; i++) paragraphs.push('Paragraph ' + i + ': fictitious continuation text for the print test.');
  const long = paragraphs.join('\n') + '\n' + 'Unbroken'.repeat(3000);
  setFields(win, { 'additional.text': long, 'applicant.aNumber': '' });
  const count = win.preparePrintPacket();
  checkSheets(win, count, 'TESTPATIENT, Fictitia Sample', 'A-Number: none');
  const additional = Array.from(win.document.querySelectorAll('#printPacket .pcell'))
    .filter((cell) => cell.querySelector('.pk').textContent.startsWith('Continuation of any section'))
    .map((cell) => cell.querySelector('.pv').textContent);
  eq(additional.join('').length, long.length, 'continuation text length');
  eq(additional.join(''), long);
  ok(additional.length >= 3, 'split across pages');
});

test('preparing the packet twice gives the same packet; printing returns to the form', (win) => {
  win.fillTestData();
  const first = win.preparePrintPacket();
  const html = win.document.getElementById('printPacket').innerHTML;
  eq(win.preparePrintPacket(), first);
  eq(win.document.getElementById('printPacket').innerHTML, html);
  eq(win.document.activeElement.id, 'packetBack', 'keyboard focus on the way back');
  win.dispatchEvent(new win.Event('afterprint'));
  return new Promise((resolve) => setTimeout(resolve, 50)).then(() => {
    ok(!win.document.body.classList.contains('packet-mode'), 'back to the editing view');
    ok(win.getComputedStyle(win.document.getElementById('editor')).display !== 'none', 'form visible');
    ok(win.document.body.classList.contains('has-packet'), 'packet still printable');
    ok(win.document.getElementById('form').contains(win.document.activeElement), 'focus back in the form');
    win.fillTestData();
    eq(win.document.getElementById('printPacket').childElementCount, 0, 'a changed form drops the stale packet');
  });
});

// ----------------------------------------------------------------------------------------------
// The page itself

test('every field has a label and every section is a fieldset with a legend', (win) => {
  for (const control of controls(win)) {
    if (control.type === 'radio') {
      const group = control.closest('fieldset');
      ok(group && group.querySelector('legend').textContent.trim(), control.name + ' group has a legend');
    }
    ok(control.labels.length > 0 && control.labels[0].textContent.trim() !== '', control.name + ' has a label');
  }
  const legends = Array.from(win.document.querySelectorAll('#form > fieldset.section > legend'), (l) => l.textContent.trim());
  eq(legends.map((l) => l.split('.')[0]), ['1', '2', '3', '4', '5', '6', '7', '8', '9', '10', '11']);
});

test('toolbar reaches every host command with a keyboard-reachable link', (win) => {
  const words = ['new', 'open', 'save', 'save-as', 'print', 'preview', 'defaults-apply', 'defaults-save', 'fake', 'about'];
  const links = Array.from(win.document.querySelectorAll('.toolbar a[href]'));
  eq(links.map((a) => a.getAttribute('href').replace(/^tolv:/, '')).sort(), words.slice().sort());
  ok(links.every((a) => a.tabIndex === 0 && a.textContent.trim() !== ''), 'focusable, with text');
});

test('exchange buffer is a textarea out of layout; toasts go to a polite live region', (win) => {
  const buffer = win.document.getElementById('nativeBuffer');
  eq(buffer.tagName, 'TEXTAREA');
  eq(win.getComputedStyle(buffer).display, 'none');
  eq(buffer.getBoundingClientRect().height, 0);
  win.showToast('Patient record saved.');
  const toast = win.document.getElementById('toast');
  eq([toast.getAttribute('role'), toast.getAttribute('aria-live'), toast.textContent],
    ['status', 'polite', 'Patient record saved.']);
});

test('strict content security policy and nothing inline for it to block', (win) => {
  const doc = win.document;
  const policy = doc.querySelector('meta[http-equiv="Content-Security-Policy"]').content;
  ok(/default-src 'none'/.test(policy) && /script-src 'self'/.test(policy) && /style-src 'self'/.test(policy), policy);
  ok(!/unsafe|https?:|\*/.test(policy), 'no loosening: ' + policy);
  eq(doc.querySelectorAll('script:not([src]), style, [style]').length, 0, 'inline scripts or styles');
  const handlers = Array.from(doc.querySelectorAll('*')).filter((el) => Array.from(el.attributes).some((a) => /^on/i.test(a.name)));
  eq(handlers.length, 0, 'inline event handlers');
  for (const el of doc.querySelectorAll('[src], link[href]')) {
    ok(!/^[a-z]+:/i.test(el.getAttribute('src') || el.getAttribute('href')), 'only the page\'s own files');
  }
});
})();

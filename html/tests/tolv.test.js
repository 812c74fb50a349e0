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

function dueTests(win) {
  return Object.values(win.evaluateHints().bySection).flat().filter((h) => h.kind === 'test').map((h) => h.id).sort();
}

function applyingVaccines(win) {
  const { vaccines } = win.evaluateHints();
  return Object.keys(vaccines).filter((k) => vaccines[k]).sort();
}

const ADULT = { 'applicant.dateOfBirth': '1991-04-15', 'summary.examDate': '2026-02-10' };

test('tests and vaccines follow the age on the examination date and the findings', (win) => {
  const adultVaccines = ['tdTdap', 'polio', 'mmr', 'hepatitisB', 'varicella', 'influenza'];
  const cases = [
    // [what, date of birth, examination date, other findings, tests due, vaccines that apply]
    ['adult of 34 in winter', '1991-04-15', '2026-02-10', {}, ['test.igra', 'test.syphilis'], adultVaccines],
    ['adult of 20 in summer', '2006-01-01', '2026-07-01', {}, ['test.igra', 'test.syphilis', 'test.gonorrhea'],
      ['tdTdap', 'polio', 'mmr', 'hepatitisB', 'varicella']],
    ['18th birthday', '2008-02-10', '2026-02-10', {}, ['test.igra', 'test.syphilis', 'test.gonorrhea'],
      adultVaccines.concat('hepatitisA', 'meningococcal')],
    ['day before 18', '2008-02-11', '2026-02-10', {}, ['test.igra'], adultVaccines.concat('hepatitisA', 'meningococcal')],
    ['25th birthday', '2001-02-10', '2026-02-10', {}, ['test.igra', 'test.syphilis'], adultVaccines],
    ['day before 25', '2001-02-11', '2026-02-10', {}, ['test.igra', 'test.syphilis', 'test.gonorrhea'], adultVaccines],
    ['45th birthday', '1981-02-10', '2026-02-10', {}, ['test.igra'], adultVaccines],
    ['day before 45', '1981-02-11', '2026-02-10', {}, ['test.igra', 'test.syphilis'], adultVaccines],
    ['60th birthday', '1966-02-10', '2026-02-10', {}, ['test.igra'], ['tdTdap', 'polio', 'mmr', 'varicella', 'influenza']],
    ['day before 60', '1966-02-11', '2026-02-10', {}, ['test.igra'], adultVaccines],
    ['7th birthday', '2019-02-10', '2026-02-10', {}, ['test.igra'], adultVaccines.concat('hepatitisA')],
    ['day before 7', '2019-02-11', '2026-02-10', {}, ['test.igra'],
      ['dtp', 'polio', 'mmr', 'hepatitisA', 'hepatitisB', 'varicella', 'influenza']],
    ['second birthday', '2024-02-10', '2026-02-10', {}, ['test.igra'],
      ['dtp', 'polio', 'mmr', 'hib', 'hepatitisA', 'hepatitisB', 'varicella', 'pneumococcal', 'influenza']],
    ['day before 2', '2024-02-11', '2026-02-10', {}, [],
      ['dtp', 'polio', 'mmr', 'hib', 'hepatitisA', 'hepatitisB', 'varicella', 'pneumococcal', 'influenza']],
    ['baby of 4 months in June', '2026-02-01', '2026-06-01', {}, [], ['dtp', 'polio', 'hib', 'hepatitisB', 'rotavirus', 'pneumococcal']],
    ['born 1956, 70 in October', '1956-03-01', '2026-10-05', {}, ['test.igra'],
      ['tdTdap', 'polio', 'varicella', 'pneumococcal', 'influenza']],
    // The X-ray follows the findings, not the age.
    ['child of 10, positive IGRA', '2016-05-01', '2026-05-01', { 'findings.tb.igraResult': 'positive' }, ['test.chestXray'],
      ['tdTdap', 'polio', 'mmr', 'hepatitisA', 'hepatitisB', 'varicella']],
    ['baby of 1 with known HIV', '2025-01-01', '2026-01-10', { 'findings.tb.hiv': 'known' }, ['test.chestXray'],
      ['dtp', 'polio', 'mmr', 'hib', 'hepatitisA', 'hepatitisB', 'varicella', 'pneumococcal', 'influenza']],
    ['adult with signs of tuberculosis', '1991-04-15', '2026-02-10', { 'findings.tb.symptoms': 'present' },
      ['test.chestXray', 'test.igra', 'test.syphilis'], adultVaccines],
    ['adult, indeterminate IGRA', '1991-04-15', '2026-02-10', { 'findings.tb.igraResult': 'indeterminate' },
      ['test.syphilis'], adultVaccines],
    ['adult, negative IGRA, no HIV, no signs', '1991-04-15', '2026-02-10',
      { 'findings.tb.igraResult': 'negative', 'findings.tb.hiv': 'notKnown', 'findings.tb.symptoms': 'none' },
      ['test.syphilis'], adultVaccines],
    ['"Not required" does not count as done', '2006-01-01', '2026-07-01',
      { 'findings.tb.igraResult': 'notRequired', 'findings.gonorrhea.result': 'notRequired' },
      ['test.igra', 'test.syphilis', 'test.gonorrhea'], ['tdTdap', 'polio', 'mmr', 'hepatitisB', 'varicella']],
  ];
  for (const [what, dob, exam, findings, tests, vaccines] of cases) {
    win.newRecord();
    setFields(win, Object.assign({ 'applicant.dateOfBirth': dob, 'summary.examDate': exam }, findings));
    eq(dueTests(win), tests.slice().sort(), what + ', tests');
    eq(applyingVaccines(win), vaccines.slice().sort(), what + ', vaccines');
  }
});

test('a vaccine counts as recorded only with what it accepts', (win) => {
  const cases = [
    // [what, vaccine, values of its row, recorded]
    ['nothing', 'mmr', {}, false],
    ['waived', 'polio', { waiver: 'contraindication' }, true],
    ['given here', 'tdTdap', { 'dose1.date': '2026-02-10', 'dose1.source': 'given' }, true],
    ['doses from the record, not completed', 'polio', { 'dose1.date': '1991-01-01', 'dose1.source': 'record' }, false],
    ['completed with its doses', 'mmr', { 'dose1.date': '1992-01-01', 'dose1.source': 'record', completed: true }, true],
    ['completed without a dose', 'mmr', { completed: true }, false],
    ['MMR laboratory evidence as a dose', 'mmr', { 'dose1.date': '2026-02-10', 'dose1.source': 'lab' }, false],
    ['MMR immune to two of three', 'mmr', { immuneMeasles: true, immuneMumps: true }, false],
    ['MMR immune to all three', 'mmr', { immuneMeasles: true, immuneMumps: true, immuneRubella: true }, true],
    ['varicella laboratory evidence', 'varicella', { 'dose1.date': '2026-02-10', 'dose1.source': 'lab' }, true],
    ['varicella history of disease', 'varicella', { history: true }, true],
    ['hepatitis B laboratory evidence', 'hepatitisB', { 'dose1.date': '2026-02-10', 'dose1.source': 'lab' }, true],
    ['Td laboratory evidence', 'tdTdap', { 'dose1.date': '2026-02-10', 'dose1.source': 'lab' }, false],
    ['polio laboratory evidence', 'polio', { 'dose1.date': '2026-02-10', 'dose1.source': 'lab' }, false],
  ];
  for (const [what, vaccine, row, recorded] of cases) {
    win.newRecord();
    const values = Object.assign({}, ADULT);
    for (const [name, value] of Object.entries(row)) values['vaccination.' + vaccine + '.' + name] = value;
    setFields(win, values);
    eq(!hintIds(win).includes('vaccine.' + vaccine), recorded, what);
  }
});

test('without both dates the page asks for them instead of guessing the age', (win) => {
  setFields(win, { 'applicant.dateOfBirth': '1990-01-01' });
  const ids = hintIds(win);
  ok(ids.includes('age.unknown'));
  ok(!ids.some((id) => id.startsWith('test.') || id.startsWith('vaccine.')));
});

test('consistency checks: summary against findings, findings against their class', (win) => {
  const cases = [
    // [values, the consistency rules that fire]
    [{ 'summary.classification': 'none' }, []],
    [{ 'summary.classification': 'none', 'findings.tb.class': 'B', 'findings.tb.classB': 'B2' }, ['consistency.noneButFindings']],
    [{ 'summary.classification': 'none', 'findings.otherClassB': 'Hearing loss' }, ['consistency.noneButFindings']],
    [{ 'summary.classification': 'A', 'findings.tb.class': 'B', 'findings.tb.classB': 'B2' }, ['consistency.classAMissing']],
    [{ 'summary.classification': 'A', 'findings.substance.class': 'A' }, []],
    [{ 'summary.classification': 'B', 'findings.syphilis.class': 'none' }, ['consistency.classBMissing']],
    [{ 'summary.classification': 'B', 'findings.mental.class': 'A', 'findings.tb.class': 'B', 'findings.tb.classB': 'B1pulmonary' },
      ['consistency.classAUnderB']],
    [{ 'findings.hansens.class': 'A' }, ['consistency.findingsWithoutSummary']],
    [{ 'findings.tb.igraResult': 'positive' }, ['consistency.tbResultWithoutClass']],
    [{ 'findings.tb.igraResult': 'positive', 'findings.tb.class': 'none' }, ['consistency.tbResultWithoutClass']],
    [{ 'findings.tb.cxrResult': 'otherAbnormal', 'findings.tb.class': 'none' }, ['consistency.tbResultWithoutClass']],
    [{ 'findings.tb.igraResult': 'positive', 'findings.tb.class': 'B', 'findings.tb.classB': 'B2', 'summary.classification': 'B' }, []],
    [{ 'findings.tb.class': 'B', 'findings.tb.classB': 'B3', 'summary.classification': 'B' }, ['consistency.tbClassBDetail']],
    [{ 'findings.tb.cxrResult': 'suggestsTb', 'findings.tb.class': 'B', 'findings.tb.classB': 'B1pulmonary', 'summary.classification': 'B' },
      ['consistency.tbXrayWithoutReferral']],
    [{ 'findings.tb.cxrResult': 'suggestsTb', 'findings.tb.class': 'B', 'findings.tb.classB': 'B1pulmonary',
      'summary.classification': 'B', 'findings.tb.referralDate': '2026-02-11' }, []],
    [{ 'findings.syphilis.screenResult': 'reactive', 'findings.syphilis.class': 'none', 'findings.syphilis.treatment': 'Penicillin' },
      ['consistency.syphilisUntreated']],
    [{ 'findings.syphilis.screenResult': 'reactive', 'findings.syphilis.class': 'B', 'summary.classification': 'B' },
      ['consistency.syphilisUntreated']],
    [{ 'findings.syphilis.screenResult': 'reactive', 'findings.syphilis.confirmResult': 'nonreactive', 'findings.syphilis.class': 'none' }, []],
    [{ 'findings.syphilis.screenResult': 'reactive', 'findings.syphilis.class': 'B', 'findings.syphilis.treatment': 'Penicillin',
      'summary.classification': 'B' }, []],
    [{ 'findings.gonorrhea.result': 'positive', 'findings.gonorrhea.class': 'none', 'findings.gonorrhea.treatment': 'Ceftriaxone' },
      ['consistency.gonorrheaUntreated']],
    [{ 'findings.gonorrhea.result': 'positive', 'findings.gonorrhea.class': '' }, ['consistency.gonorrheaUntreated']],
    [{ 'findings.gonorrhea.result': 'negative', 'findings.gonorrhea.testType': 'other' }, ['consistency.gonorrheaNotNaat']],
    [{ 'findings.gonorrhea.result': 'negative', 'findings.gonorrhea.testType': 'naat' }, []],
    // "Not required for the age" where the age requires the test (the applicant is 34).
    [{ 'findings.tb.igraResult': 'notRequired' }, ['consistency.notRequiredButDue']],
    [{ 'findings.syphilis.screenResult': 'notRequired' }, ['consistency.notRequiredButDue']],
    [{ 'findings.gonorrhea.result': 'notRequired' }, []],
    [{ 'findings.tb.symptoms': 'present', 'findings.tb.cxrResult': 'notRequired' }, ['consistency.notRequiredButDue']],
    [{ 'vaccination.dtp.dose1.date': '1992-01-01', 'vaccination.dtp.dose1.source': 'lab' }, ['consistency.labEvidenceNotAccepted']],
    [{ 'vaccination.mmr.dose1.date': '1992-01-01', 'vaccination.mmr.dose1.source': 'lab' }, ['consistency.labEvidenceNotAccepted']],
    [{ 'vaccination.hepatitisB.dose1.date': '1992-01-01', 'vaccination.hepatitisB.dose1.source': 'lab' }, []],
    [{ 'vaccination.polio.completed': true }, ['consistency.completedWithoutDoses']],
  ];
  for (const [values, expected] of cases) {
    win.newRecord();
    setFields(win, Object.assign({}, ADULT, values));
    eq(hintIds(win).filter((id) => id.startsWith('consistency.')).sort(), expected.slice().sort(), JSON.stringify(values));
  }
});

test('test data is consistent and complete, so it raises no hints', (win) => {
  win.fillTestData();
  eq(hintIds(win), []);
});

test('a blank form is quiet: one note, no lists of empty fields, yet required fields are marked', (win) => {
  win.renderHints();
  eq(hintIds(win), ['age.unknown']);
  eq(win.document.querySelectorAll('.hints li').length, 1, 'hint items shown');
  const family = win.document.querySelector('[name="applicant.familyName"]');
  eq(family.getAttribute('aria-required'), 'true');
  ok(family.closest('label').classList.contains('required'), 'label marked');
  for (const box of win.document.querySelectorAll('[data-hints]')) {
    eq(box.getAttribute('aria-live'), 'polite', box.dataset.hints + ' hints are a polite live region');
    ok(win.getComputedStyle(box).display !== 'none', box.dataset.hints + ' hint box stays in the page to be announced');
  }
});

test('required fields are listed once their section is started, conditional ones when they apply', (win) => {
  const required = (values) => {
    win.newRecord();
    setFields(win, values);
    win.renderHints();
    const result = win.evaluateHints();
    return Object.values(result.bySection).flat().filter((h) => h.kind === 'required').map((h) => h.id).sort();
  };
  eq(required({ 'applicant.familyName': 'X' }), ['required.applicant']);
  eq(required({ 'statement.language': 'english' }), ['required.statement']);
  eq(required({ 'statement.language': 'interpreter' }),
    ['required.interpreter', 'required.statement', 'required.statementInterpreter']);
  eq(required({ 'identification.type': 'passport' }), ['required.identification']);
  eq(required({ 'identification.type': 'otherPhotoId' }), ['required.identification', 'required.identificationOther']);
  eq(required({ 'identification.type': 'otherPhotoId', 'identification.typeOther': 'Consular card', 'identification.number': '1' }), []);
  eq(required({ 'findings.tb.class': 'B' }), ['required.findings', 'required.tbClassB']);
  eq(required({ 'findings.tb.igraResult': 'negative' }), ['required.findings', 'required.igraType']);
  eq(required({ 'referral.to': 'specialist' }), ['required.referral']);
  eq(required({ 'referral.to': 'none' }), []);

  win.newRecord();
  setFields(win, { 'statement.language': 'interpreter' });
  win.renderHints();
  eq(win.document.querySelector('[name="interpreter.familyName"]').getAttribute('aria-required'), 'true', 'interpreter marked required');
  setFields(win, { 'statement.language': 'english' });
  win.renderHints();
  eq(win.document.querySelector('[name="interpreter.familyName"]').getAttribute('aria-required'), null, 'and unmarked again');

  // Leaving a field of an empty section counts as starting it.
  win.newRecord();
  const zip = win.document.querySelector('[name="surgeon.address.zip"]');
  zip.focus();
  zip.blur();
  win.renderHints();
  ok(hintIds(win).includes('required.surgeon'), 'a visited section lists its empty fields');
  win.newRecord();
  ok(!hintIds(win).includes('required.surgeon'), 'newRecord forgets the visit');
});

test('a vaccination-record-only case needs no findings and no tests', (win) => {
  setFields(win, { 'applicant.vaccinationOnly': true, 'applicant.dateOfBirth': '1990-01-01', 'summary.examDate': '2026-01-10',
    'findings.tb.igraResult': 'notRequired' });
  win.renderHints();
  const ids = hintIds(win);
  ok(!ids.includes('required.findings') && !ids.includes('required.summary'), 'findings not required');
  ok(!ids.some((id) => id.startsWith('test.')), 'no tests due');
  ok(!ids.includes('consistency.notRequiredButDue'), 'no test is due, so "not required" is right');
  ok(ids.includes('vaccine.mmr'), 'vaccines still apply');
  eq(win.document.querySelector('[name="findings.tb.class"]').getAttribute('aria-required'), null);
  ok(!win.document.querySelector('[data-hints="findings"] li'), 'findings hint box cleared');
});

test('every hint rule names its source', (win) => {
  for (const rule of HINT_RULES) {
    ok(typeof rule.source === 'string' && /\S/.test(rule.source), rule.id + ' has a source');
  }
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

const SIGNERS = [
  // [signer, its section's number, its printed name in the test data, its date]
  ['Applicant', '2', 'Fictitia Sample TESTPATIENT', '02/10/2026'],
  ['Interpreter', '3', 'Imaginary TESTINTERPRETER', '02/10/2026'],
  ['Preparer', '4', 'Pretend TESTPREPARER', '02/10/2026'],
  ['Civil surgeon', '7', 'Sample TESTDOCTOR', '03/03/2026'],
  ['Health department or specialist', '8', 'Placeholder TESTSPECIALIST', '03/02/2026'],
];

// The section a node of the packet belongs to: the last section title before it on its sheet,
// or the section its sheet continues.
function sectionOf(node) {
  const sheet = node.closest('.sheet');
  let section = null;
  for (const title of sheet.querySelectorAll('h2.psection')) {
    if (title.compareDocumentPosition(node) & 4) section = title.textContent.split('.')[0];
  }
  return section;
}

function within(inner, outer) {
  const a = inner.getBoundingClientRect();
  const b = outer.getBoundingClientRect();
  return a.top >= b.top - 0.5 && a.bottom <= b.bottom + 0.5 && a.left >= b.left - 0.5 && a.right <= b.right + 0.5;
}

// Every signer has one whole block, on a sheet of its own section, with the wording, a line to
// sign on, the printed name and the date; the preparer's section is on one sheet.
function checkSignatures(win, where, withValues) {
  const blocks = Array.from(win.document.querySelectorAll('#printPacket .psign'));
  eq(blocks.map((b) => b.dataset.signer), SIGNERS.map(([signer]) => signer), where + ', signature blocks');
  blocks.forEach((block, index) => {
    const [signer, section, name, date] = SIGNERS[index];
    ok(within(block, block.closest('.sheet-body')), where + ': ' + signer + ' block is whole on its sheet');
    eq(sectionOf(block), section, where + ': ' + signer + ' block is in its section');
    ok(/certify/.test(block.querySelector('.psign-text').textContent), where + ': ' + signer + ' certification wording');
    const signature = block.querySelector('.psign-signature .psign-value');
    eq(signature.textContent, '', where + ': ' + signer + ' signature line is left blank');
    ok(signature.getBoundingClientRect().height >= 0.3 * INCH, where + ': ' + signer + ' has room to sign');
    if (withValues) {
      eq(block.querySelector('.psign-name .psign-value').textContent, name, signer + ' printed name');
      eq(block.querySelector('.psign-date .psign-value').textContent, date, signer + ' date');
    }
  });
  const preparerSheets = new Set(Array.from(win.document.querySelectorAll('#printPacket h2.psection'))
    .filter((h) => h.textContent.startsWith('4. Preparer')).map((h) => h.closest('.sheet')));
  eq(preparerSheets.size, 1, where + ': the preparer section is on one sheet');
  ok(!Array.from(win.document.querySelectorAll('#printPacket h2')).some((h) => h.textContent === '4. Preparer (continued)'),
    where + ': the preparer section is not continued');
}

test('print packet: signature blocks of every signer on the sheets of their sections', (win) => {
  win.fillTestData();
  win.preparePrintPacket();
  checkSignatures(win, 'test data', true);
  win.newRecord();
  const count = win.preparePrintPacket();
  checkSheets(win, count, '(no name given)', 'none');
  checkSignatures(win, 'blank form', false);
});

test('signature blocks and the preparer section stay whole wherever a sheet ends', (win) => {
  win.fillTestData();
  // A longer and longer name in care of moves everything after it down, line by line, through
  // a whole sheet.
  // (Up to about three quarters of a sheet: one field taller than a sheet cannot fit anywhere.)
  for (let lines = 0; lines <= 56; lines += 2) {
    setFields(win, { 'applicant.inCareOf': 'Example care of line. '.repeat(lines * 3) });
    const count = win.preparePrintPacket();
    checkSheets(win, count, 'TESTPATIENT, Fictitia Sample', 'A-000-000-000');
    checkSignatures(win, lines + ' lines', true);
  }
});

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
    const text = (n) => Array.from({ length: n }, (_, i) => 'Outcome line ' + i).join('\n');
    setFields(win, { 'referral.outcome': text(lines), 'applicant.address.street': 'x'.repeat(lines * 12) });
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
    checkSignatures(win, lines + ' lines', true);
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
  win.closePrintPacket();
  const field = win.document.querySelector('[name="findings.tb.igraDate"]');
  field.focus();
  win.preparePrintPacket();
  win.preparePrintPacket();
  win.closePrintPacket();
  eq(win.document.activeElement, field, 'focus back on the field that had it');
  const tool = win.document.querySelector('.toolbar a[href="tolv:preview"]');
  tool.focus();
  win.preparePrintPacket();
  win.document.getElementById('packetBack').click();
  eq(win.document.activeElement, tool, 'focus back on the command that asked for the packet');
  field.focus();
  win.preparePrintPacket();
  win.dispatchEvent(new win.Event('afterprint'));
  return new Promise((resolve) => setTimeout(resolve, 50)).then(() => {
    ok(!win.document.body.classList.contains('packet-mode'), 'back to the editing view');
    ok(win.getComputedStyle(win.document.getElementById('editor')).display !== 'none', 'form visible');
    ok(win.document.body.classList.contains('has-packet'), 'packet still printable');
    eq(win.document.activeElement, field, 'focus back in the form, on its field');
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
  ok(links.every((a) => a.getAttribute('role') === 'button'), 'buttons to assistive technology');
});

test('toolbar commands work with Space as buttons do, by the same command link', (win) => {
  const doc = win.document;
  const followed = [];
  // Stands in for the host, which cancels the navigation.
  const catcher = (event) => {
    const link = event.target.closest && event.target.closest('a[href^="tolv:"]');
    if (link) {
      followed.push(link.href);
      event.preventDefault();
    }
  };
  doc.addEventListener('click', catcher, true);
  try {
    for (const link of doc.querySelectorAll('.toolbar a.tool')) {
      link.focus();
      const down = new win.KeyboardEvent('keydown', { key: ' ', bubbles: true, cancelable: true });
      link.dispatchEvent(down);
      ok(down.defaultPrevented, link.textContent + ': Space does not scroll the page');
      link.dispatchEvent(new win.KeyboardEvent('keyup', { key: ' ', bubbles: true, cancelable: true }));
      link.dispatchEvent(new win.KeyboardEvent('keyup', { key: 'a', bubbles: true, cancelable: true }));
    }
  } finally {
    doc.removeEventListener('click', catcher, true);
  }
  eq(followed, Array.from(doc.querySelectorAll('.toolbar a.tool'), (a) => 'tolv:' + a.getAttribute('href').slice(5)));
});

test('dose fields grow as doses are entered; all five stay in the record', (win) => {
  const shown = (key) => Array.from(win.document.querySelectorAll('[data-vaccine="' + key + '"] .dose'))
    .filter((cell) => !cell.hidden && cell.getBoundingClientRect().height > 0).length;
  for (const vaccine of win.VACCINES || VACCINES) eq(shown(vaccine.key), 1, vaccine.key + ' on a blank form');
  const date = win.document.querySelector('[name="vaccination.polio.dose1.date"]');
  date.value = '1991-01-01';
  date.dispatchEvent(new win.Event('input', { bubbles: true }));
  eq(shown('polio'), 2, 'typing a dose shows the next one');
  win.fillTestData();
  eq([shown('dtp'), shown('polio'), shown('mmr'), shown('hib')], [5, 5, 3, 1], 'after loading the test data');
  setFields(win, { 'vaccination.hib.dose4.date': '2026-01-01' });
  eq(shown('hib'), 5, 'a later dose shows the ones before it');
  win.newRecord();
  eq(shown('dtp'), 1, 'a new record starts short again');
  ok('vaccination.dtp.dose5.source' in fieldsOf(win), 'hidden doses are still fields of the record');
});

test('the sticky toolbar never hides the field that gets focus', (win) => {
  const doc = win.document;
  const toolbar = doc.querySelector('.toolbar');
  eq(win.getComputedStyle(toolbar).position, 'sticky');
  const padding = parseFloat(win.getComputedStyle(doc.documentElement).scrollPaddingTop);
  ok(padding >= toolbar.getBoundingClientRect().height, 'scroll padding ' + padding + ' covers the toolbar');
  const stops = Array.from(doc.querySelectorAll('#form input, #form select, #form textarea'))
    .filter((c) => c.getBoundingClientRect().height > 0);
  const hidden = [];
  for (let i = stops.length - 1; i >= 0; i -= 7) {
    const control = stops[i];
    // As after Shift+Tab from further down: the control sits just under the toolbar.
    win.scrollTo(0, control.getBoundingClientRect().top + win.scrollY - 8);
    control.focus();
    if (control.getBoundingClientRect().top < toolbar.getBoundingClientRect().bottom - 0.5) hidden.push(control.name);
  }
  eq(hidden, [], 'focused controls under the toolbar');
  win.scrollTo(0, 0);
});

// ----------------------------------------------------------------------------------------------
// Records saved before this page's second round of fields

test('records saved by the earlier page open unchanged and save back every field', (win) => {
  const names = new Set(controls(win).map((c) => c.name));
  for (const [which, text] of Object.entries(SAVED_RECORDS)) {
    const old = JSON.parse(text);
    win.loadRecord(text);
    const saved = JSON.parse(win.collectRecord());
    eq([saved.format, saved.version, saved.edition], [old.format, old.version, old.edition], which + ' envelope');
    for (const [name, value] of Object.entries(old.fields)) {
      ok(names.has(name), which + ': ' + name + ' is still a field of the page');
      eq(saved.fields[name], value, which + ': ' + name);
    }
    const added = Object.keys(saved.fields).filter((name) => !(name in old.fields));
    eq(added.filter((name) => !isEmpty(saved.fields[name])), [], which + ': new fields start empty');
    const again = win.collectRecord();
    win.newRecord();
    win.loadRecord(again);
    eq(win.collectRecord(), again, which + ': saved again unchanged');
  }
  win.loadRecord(SAVED_RECORDS.olderChoices);
  ok(hintIds(win).includes('consistency.tbClassBDetail'), 'an old B3 class is loaded and questioned');
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

// ----------------------------------------------------------------------------------------------
// Narrow pass: the runners load the suite 320 px wide.

function sidewaysOverflow(win) {
  const doc = win.document;
  const width = doc.documentElement.clientWidth;
  const out = Array.from(doc.querySelectorAll('body *')).filter((e) => {
    if (e.closest('.sr-only, .skip-link, #packetView')) return false;
    const r = e.getBoundingClientRect();
    return r.width > 0 && (r.right > width + 0.5 || r.left < -0.5);
  }).slice(0, 5).map((e) => e.tagName + (e.name ? '[' + e.name + ']' : '.' + e.className));
  win.scrollTo(200, win.scrollY);
  if (win.scrollX !== 0) out.push('the page scrolls sideways by ' + win.scrollX + ' px');
  win.scrollTo(0, 0);
  return out;
}

test('at 320 px the page reflows without sideways scrolling', (win) => {
  eq(win.innerWidth, 320, 'the runner gives a 320 px viewport');
  const cases = [
    ['blank form', () => win.newRecord()],
    ['test data', () => win.fillTestData()],
    ['every hint showing', () => {
      win.newRecord();
      setFields(win, Object.assign({}, ADULT, { 'summary.classification': 'none', 'findings.tb.class': 'B', 'findings.tb.igraResult': 'positive',
        'findings.tb.cxrResult': 'otherAbnormal', 'statement.language': 'interpreter', 'identification.type': 'otherPhotoId',
        'referral.to': 'specialist', 'vaccination.dtp.dose1.source': 'lab', 'findings.tb.symptoms': 'present' }));
      win.renderHints();
    }],
  ];
  for (const [what, prepare] of cases) {
    prepare();
    eq(sidewaysOverflow(win), [], what);
  }
  eq(win.getComputedStyle(win.document.querySelector('.toolbar')).position, 'static', 'the toolbar scrolls away');
}, { pass: 'narrow' });

test('at 320 px every control and its label stay inside the window', (win) => {
  win.fillTestData();
  const width = win.document.documentElement.clientWidth;
  const outside = controls(win).filter((c) => {
    const r = (c.closest('label') || c).getBoundingClientRect();
    return r.width > 0 && (r.left < 0 || r.right > width);
  }).map((c) => c.name);
  eq(outside, []);
}, { pass: 'narrow' });
})();

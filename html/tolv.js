'use strict';

// The form page of Form Tolv. The host drives it through the global functions newRecord,
// loadRecord, collectRecord, collectPrefix, applyPartial, fillTestData, preparePrintPacket and
// showToast, and exchanges text through the hidden textarea #nativeBuffer. Everything here is
// synchronous: the host runs each call and reads the result right after it returns.

const FORM_EDITION = '02/27/26';
const RECORD_FORMAT = 'praxora-tolv-record';
const FIELDS_FORMAT = 'praxora-tolv-fields';
const RECORD_VERSION = 1;

const VACCINES = [
  { key: 'dtp', name: 'Diphtheria, tetanus, pertussis (DTaP, DT, Tdap, Td)' },
  { key: 'polio', name: 'Polio (IPV or OPV)' },
  { key: 'mmr', name: 'Measles, mumps, rubella (MMR)' },
  { key: 'hib', name: 'Haemophilus influenzae type b (Hib)' },
  { key: 'hepatitisA', name: 'Hepatitis A' },
  { key: 'hepatitisB', name: 'Hepatitis B' },
  { key: 'rotavirus', name: 'Rotavirus' },
  { key: 'meningococcal', name: 'Meningococcal (MenACWY)' },
  { key: 'varicella', name: 'Varicella' },
  { key: 'pneumococcal', name: 'Pneumococcal' },
  { key: 'influenza', name: 'Influenza' },
];
const DOSES_PER_VACCINE = 5;
const DOSE_SOURCES = [
  ['', ''],
  ['record', 'R: record'],
  ['given', 'G: given here'],
  ['lab', 'L: lab immunity'],
];
const WAIVER_REASONS = [
  ['', ''],
  ['notAgeAppropriate', 'Not age appropriate'],
  ['contraindication', 'Contraindication'],
  ['insufficientInterval', 'Insufficient time interval'],
  ['notAvailable', 'Not routinely available'],
  ['notFluSeason', 'Not flu season'],
  ['beliefs', 'Applicant objects (religious or moral convictions)'],
];

// Fields of a loaded record that this page has no control for, and other members of its top
// level, kept so that the next collectRecord writes them back unchanged.
let keptFields = Object.create(null);
let keptMembers = Object.create(null);
let fieldIndex = null;

function byId(id) {
  return document.getElementById(id);
}

function element(tag, className, text) {
  const node = document.createElement(tag);
  if (className) node.className = className;
  if (text !== undefined) node.textContent = text;
  return node;
}

function isPlainObject(value) {
  return value !== null && typeof value === 'object' && !Array.isArray(value);
}

// ---------------------------------------------------------------------------------------------
// Vaccination rows are the same for every vaccine, so they are made from VACCINES once.

function buildVaccineRows() {
  const holder = byId('vaccineRows');
  if (!holder || holder.childElementCount) return;
  const fragment = document.createDocumentFragment();
  for (const vaccine of VACCINES) {
    const prefix = 'vaccination.' + vaccine.key + '.';
    const box = element('fieldset', 'vaccine');
    box.dataset.vaccine = vaccine.key;
    const legend = element('legend', '', vaccine.name);
    legend.appendChild(element('span', 'badge'));
    box.appendChild(legend);
    const doses = element('div', 'doses');
    for (let dose = 1; dose <= DOSES_PER_VACCINE; dose++) {
      const cell = element('div', 'dose');
      const dateLabel = element('label', 'field');
      dateLabel.appendChild(element('span', 'lt', 'Dose ' + dose + ' date'));
      const date = element('input');
      date.type = 'date';
      date.name = prefix + 'dose' + dose + '.date';
      dateLabel.appendChild(date);
      const sourceLabel = element('label', 'field');
      sourceLabel.appendChild(element('span', 'lt', 'Dose ' + dose + ' source'));
      sourceLabel.appendChild(makeSelect(prefix + 'dose' + dose + '.source', DOSE_SOURCES));
      cell.append(dateLabel, sourceLabel);
      doses.appendChild(cell);
    }
    box.appendChild(doses);
    const tail = element('div', 'grid');
    const completed = element('label', 'check');
    const box2 = element('input');
    box2.type = 'checkbox';
    box2.name = prefix + 'completed';
    completed.append(box2, ' ', element('span', 'lt', 'Series completed'));
    const waiver = element('label', 'field');
    waiver.append(element('span', 'lt', 'Waiver reason'), makeSelect(prefix + 'waiver', WAIVER_REASONS));
    tail.append(completed, waiver);
    box.appendChild(tail);
    fragment.appendChild(box);
  }
  holder.appendChild(fragment);
}

function makeSelect(name, options) {
  const select = element('select');
  select.name = name;
  for (const [value, text] of options) {
    const option = element('option', '', text);
    option.value = value;
    select.appendChild(option);
  }
  return select;
}

// ---------------------------------------------------------------------------------------------
// Fields. A field is one name: a text-like control, a checkbox, a select or a radio group.

function fields() {
  if (fieldIndex) return fieldIndex;
  buildVaccineRows();
  const byName = new Map();
  const list = [];
  for (const control of byId('form').querySelectorAll('input[name], select[name], textarea[name]')) {
    let field = byName.get(control.name);
    if (!field) {
      field = { name: control.name, kind: fieldKind(control), controls: [] };
      byName.set(control.name, field);
      list.push(field);
    }
    field.controls.push(control);
  }
  fieldIndex = { list, byName };
  return fieldIndex;
}

function fieldKind(control) {
  if (control.tagName === 'SELECT') return 'select';
  if (control.type === 'checkbox') return 'checkbox';
  if (control.type === 'radio') return 'radio';
  if (control.type === 'date') return 'date';
  return 'text';
}

function readField(field) {
  switch (field.kind) {
    case 'checkbox': return field.controls[0].checked;
    case 'radio': {
      const chosen = field.controls.find((c) => c.checked);
      return chosen ? chosen.value : '';
    }
    default: return field.controls[0].value;
  }
}

function writeField(field, value) {
  switch (field.kind) {
    case 'checkbox': field.controls[0].checked = value; break;
    case 'radio': for (const c of field.controls) c.checked = c.value === value; break;
    default: field.controls[0].value = value;
  }
}

function emptyValue(field) {
  return field.kind === 'checkbox' ? false : '';
}

function choicesOf(field) {
  if (field.kind === 'radio') return field.controls.map((c) => c.value);
  return Array.from(field.controls[0].options, (o) => o.value);
}

function isIsoDate(text) {
  const m = /^(\d{4})-(\d{2})-(\d{2})$/.exec(text);
  if (!m) return false;
  const d = new Date(Date.UTC(+m[1], +m[2] - 1, +m[3]));
  return d.getUTCFullYear() === +m[1] && d.getUTCMonth() === +m[2] - 1 && d.getUTCDate() === +m[3];
}

// Returns null when the value suits the field, else why it does not. Values that a control
// would silently change or drop are refused, so that a record never loses data on its way in.
function valueProblem(field, value) {
  if (field.kind === 'checkbox') return typeof value === 'boolean' ? null : 'must be true or false';
  if (typeof value !== 'string') return 'must be a text';
  if (value === '') return null;
  if (field.kind === 'date') return isIsoDate(value) ? null : 'is not a date (YYYY-MM-DD)';
  if (field.kind === 'select' || field.kind === 'radio') {
    return choicesOf(field).includes(value) ? null : 'is not one of the choices';
  }
  return null;
}

// Checks every member first and only then writes, so a bad text leaves the form unchanged.
function checkedFieldValues(fieldsObject) {
  const { byName } = fields();
  const known = [];
  const unknown = Object.create(null);
  for (const name of Object.keys(fieldsObject)) {
    const value = fieldsObject[name];
    const field = byName.get(name);
    if (!field) {
      unknown[name] = value;
      continue;
    }
    const problem = valueProblem(field, value === null ? emptyValue(field) : value);
    if (problem) throw new Error('Field "' + name + '" ' + problem + '.');
    known.push([field, value === null ? emptyValue(field) : value]);
  }
  return { known, unknown };
}

function parseJsonObject(text, what) {
  if (typeof text !== 'string' || text.trim() === '') throw new Error('The ' + what + ' is empty.');
  let parsed;
  try {
    parsed = JSON.parse(text);
  } catch (error) {
    throw new Error('The ' + what + ' is not JSON: ' + error.message);
  }
  if (!isPlainObject(parsed)) throw new Error('The ' + what + ' is not a Form Tolv record.');
  return parsed;
}

function checkEnvelope(object, formats, what) {
  if (!formats.includes(object.format)) throw new Error('The ' + what + ' is not a Form Tolv record.');
  if (object.version !== undefined && !(Number.isInteger(object.version) && object.version >= 1)) {
    throw new Error('The ' + what + ' has an unreadable format version.');
  }
  if (Number.isInteger(object.version) && object.version > RECORD_VERSION) {
    throw new Error('The ' + what + ' was written by a newer version of the program.');
  }
  if (!isPlainObject(object.fields)) throw new Error('The ' + what + ' holds no fields.');
}

function clearForm() {
  for (const field of fields().list) writeField(field, emptyValue(field));
}

// ---------------------------------------------------------------------------------------------
// The host's functions.

function newRecord() {
  clearForm();
  keptFields = Object.create(null);
  keptMembers = Object.create(null);
  formChanged();
}

function collectRecord() {
  const record = {
    format: RECORD_FORMAT,
    version: RECORD_VERSION,
    edition: FORM_EDITION,
    fields: collectFields(''),
  };
  for (const key of Object.keys(keptMembers)) {
    if (!Object.prototype.hasOwnProperty.call(record, key)) setOwn(record, key, keptMembers[key]);
  }
  return JSON.stringify(record, null, 2);
}

// Plain assignment would treat a member named "__proto__" as the prototype and drop it.
function setOwn(object, key, value) {
  Object.defineProperty(object, key, { value, enumerable: true, writable: true, configurable: true });
}

function collectFields(prefix) {
  const out = {};
  for (const field of fields().list) {
    if (field.name.startsWith(prefix)) out[field.name] = readField(field);
  }
  for (const name of Object.keys(keptFields)) {
    if (name.startsWith(prefix) && !Object.prototype.hasOwnProperty.call(out, name)) setOwn(out, name, keptFields[name]);
  }
  return out;
}

function collectPrefix(prefix) {
  const selected = typeof prefix === 'string' ? prefix : '';
  return JSON.stringify({
    format: FIELDS_FORMAT,
    version: RECORD_VERSION,
    edition: FORM_EDITION,
    prefix: selected,
    fields: collectFields(selected),
  }, null, 2);
}

function loadRecord(text) {
  const record = parseJsonObject(text, 'record');
  checkEnvelope(record, [RECORD_FORMAT], 'record');
  const { known, unknown } = checkedFieldValues(record.fields);

  clearForm();
  for (const [field, value] of known) writeField(field, value);
  keptFields = unknown;
  keptMembers = Object.create(null);
  for (const key of Object.keys(record)) {
    if (!['format', 'version', 'edition', 'fields'].includes(key)) keptMembers[key] = record[key];
  }
  formChanged();
}

// Sets the fields the text holds and keeps all others: the clinic defaults, or any part of a
// record. Fields this page does not know are ignored. An empty text changes nothing.
function applyPartial(text) {
  if (typeof text !== 'string' || text.trim() === '') return;
  const object = parseJsonObject(text, 'text');
  checkEnvelope(object, [FIELDS_FORMAT, RECORD_FORMAT], 'text');
  const { known } = checkedFieldValues(object.fields);
  for (const [field, value] of known) writeField(field, value);
  formChanged();
}

function showToast(message) {
  const toast = byId('toast');
  if (!toast) return;
  clearTimeout(showToast.timer);
  toast.textContent = String(message);
  toast.classList.add('shown');
  showToast.timer = setTimeout(() => {
    toast.classList.remove('shown');
    toast.textContent = '';
  }, 4000);
}

// ---------------------------------------------------------------------------------------------
// Test data: one clearly fictitious patient that touches every section.

function testDataValues() {
  const values = {
    'applicant.familyName': 'TESTPATIENT',
    'applicant.givenName': 'Fictitia',
    'applicant.middleName': 'Sample',
    'applicant.inCareOf': 'Example Care Of',
    'applicant.address.street': '123 Example Street',
    'applicant.address.unit': 'Apt 4B',
    'applicant.address.city': 'Anytown',
    'applicant.address.state': 'ZZ',
    'applicant.address.zip': '00000',
    'applicant.address.province': 'Test Province',
    'applicant.address.postalCode': 'T0T 0T0',
    'applicant.address.country': 'United States',
    'applicant.sex': 'female',
    'applicant.dateOfBirth': '1990-04-15',
    'applicant.birthCity': 'Exampleville',
    'applicant.birthCountry': 'Testland',
    'applicant.aNumber': 'A-000-000-000',
    'applicant.uscisAccount': '000000000000',
    'applicant.vaccinationOnly': false,
    'statement.language': 'interpreter',
    'statement.interpreterLanguage': 'Esperanto',
    'statement.phoneDaytime': '555-0100',
    'statement.phoneMobile': '555-0101',
    'statement.email': 'fictitia.testpatient@example.test',
    'statement.signatureDate': '2026-02-10',
    'interpreter.familyName': 'TESTINTERPRETER',
    'interpreter.givenName': 'Imaginary',
    'interpreter.organization': 'Example Language Services (test data)',
    'interpreter.address.street': '200 Sample Avenue',
    'interpreter.address.unit': 'Suite 2',
    'interpreter.address.city': 'Anytown',
    'interpreter.address.state': 'ZZ',
    'interpreter.address.zip': '00000',
    'interpreter.address.province': '',
    'interpreter.address.postalCode': '',
    'interpreter.address.country': 'United States',
    'interpreter.phoneDaytime': '555-0110',
    'interpreter.phoneMobile': '555-0111',
    'interpreter.email': 'interpreter@example.test',
    'interpreter.language': 'Esperanto',
    'interpreter.signatureDate': '2026-02-10',
    'preparer.familyName': 'TESTPREPARER',
    'preparer.givenName': 'Pretend',
    'preparer.organization': 'Example Clinic Front Desk (test data)',
    'preparer.address.street': '300 Placeholder Road',
    'preparer.address.unit': 'Floor 3',
    'preparer.address.city': 'Anytown',
    'preparer.address.state': 'ZZ',
    'preparer.address.zip': '00000',
    'preparer.address.province': '',
    'preparer.address.postalCode': '',
    'preparer.address.country': 'United States',
    'preparer.phoneDaytime': '555-0120',
    'preparer.phoneMobile': '555-0121',
    'preparer.email': 'preparer@example.test',
    'preparer.signatureDate': '2026-02-10',
    'identification.type': 'passport',
    'identification.typeOther': '',
    'identification.number': 'TEST0000000',
    'summary.classification': 'B',
    'summary.examDate': '2026-02-10',
    'summary.followUp1Date': '2026-02-17',
    'summary.followUp2Date': '2026-03-03',
    'surgeon.familyName': 'TESTDOCTOR',
    'surgeon.givenName': 'Sample',
    'surgeon.practiceName': 'Example Civil Surgeon Practice (test data)',
    'surgeon.address.street': '400 Fictional Boulevard',
    'surgeon.address.unit': 'Suite 400',
    'surgeon.address.city': 'Anytown',
    'surgeon.address.state': 'ZZ',
    'surgeon.address.zip': '00000',
    'surgeon.phone': '555-0130',
    'surgeon.email': 'civil.surgeon@example.test',
    'surgeon.licenseNumber': 'TEST-LICENSE-0000',
    'surgeon.licenseState': 'ZZ',
    'surgeon.licenseExpiry': '2027-12-31',
    'surgeon.designation': 'Civil surgeon designation (test data)',
    'surgeon.signatureDate': '2026-03-03',
    'referral.to': 'healthDepartment',
    'referral.name': 'Anytown Example Health Department (test data)',
    'referral.date': '2026-02-11',
    'referral.reason': 'Positive IGRA; evaluation for latent tuberculosis infection',
    'referral.outcomeDate': '2026-03-02',
    'referral.outcome': 'Evaluated by the test health department.\nLatent infection, no active disease; treatment offered.',
    'findings.tb.igraDate': '2026-02-10',
    'findings.tb.igraResult': 'positive',
    'findings.tb.cxrDate': '2026-02-12',
    'findings.tb.cxrResult': 'otherAbnormal',
    'findings.tb.cxr.granuloma': true,
    'findings.tb.cxr.pleuralThickening': true,
    'findings.tb.referralDate': '2026-02-11',
    'findings.tb.class': 'B',
    'findings.tb.classB': 'B2',
    'findings.syphilis.screenTest': 'nontreponemal',
    'findings.syphilis.screenDate': '2026-02-10',
    'findings.syphilis.screenResult': 'nonreactive',
    'findings.syphilis.confirmDate': '',
    'findings.syphilis.confirmResult': '',
    'findings.syphilis.treatment': 'None needed',
    'findings.syphilis.treatmentDate': '',
    'findings.syphilis.class': 'none',
    'findings.gonorrhea.testDate': '2026-02-10',
    'findings.gonorrhea.result': 'notRequired',
    'findings.gonorrhea.treatment': 'None needed',
    'findings.gonorrhea.class': 'none',
    'findings.hansens.notes': 'No signs or symptoms',
    'findings.hansens.class': 'none',
    'findings.mental.notes': 'No disorder with harmful behavior found',
    'findings.mental.class': 'none',
    'findings.substance.notes': 'No substance use disorder found',
    'findings.substance.class': 'none',
    'findings.otherClassB': '',
    'findings.remarks': 'TEST DATA: this record describes a fictitious person for trying out the program.',
    'additional.text': 'Section 9, tuberculosis: fictitious follow-up note for testing.\nSection 10: fictitious vaccination history copied from a sample card.',
  };
  const doses = {
    dtp: ['1990-06-15', '1990-08-15', '1990-10-15', '1991-10-15', '1995-04-15'],
    polio: ['1990-06-15', '1990-08-15', '1991-01-15', '1995-04-15'],
    mmr: ['1991-04-15', '1995-04-15'],
    hepatitisB: ['1990-04-16', '1990-06-15', '1990-12-15'],
    varicella: ['lab'],
    influenza: ['given'],
  };
  for (const vaccine of VACCINES) {
    const prefix = 'vaccination.' + vaccine.key + '.';
    const list = doses[vaccine.key] || [];
    list.forEach((date, index) => {
      const dose = prefix + 'dose' + (index + 1) + '.';
      if (date === 'lab') {
        values[dose + 'date'] = '2026-02-10';
        values[dose + 'source'] = 'lab';
      } else if (date === 'given') {
        values[dose + 'date'] = '2026-02-10';
        values[dose + 'source'] = 'given';
      } else {
        values[dose + 'date'] = date;
        values[dose + 'source'] = 'record';
      }
    });
    values[prefix + 'completed'] = list.length > 0;
    if (!list.length) values[prefix + 'waiver'] = 'notAgeAppropriate';
  }
  return values;
}

function fillTestData() {
  clearForm();
  keptFields = Object.create(null);
  keptMembers = Object.create(null);
  const { known } = checkedFieldValues(testDataValues());
  for (const [field, value] of known) writeField(field, value);
  formChanged();
}

// ---------------------------------------------------------------------------------------------
// Hints: the rules live in HINT_RULES (tolv-rules.js); this only evaluates and shows them.

function parseIsoDate(text) {
  return isIsoDate(text) ? new Date(text + 'T00:00:00Z') : null;
}

function addAge(date, age) {
  const m = /^(\d+)([dwmy])$/.exec(age);
  if (!m) throw new Error('Bad age "' + age + '" in the hint rules.');
  const n = +m[1];
  const y = date.getUTCFullYear();
  const mo = date.getUTCMonth();
  const d = date.getUTCDate();
  if (m[2] === 'd') return new Date(Date.UTC(y, mo, d + n));
  if (m[2] === 'w') return new Date(Date.UTC(y, mo, d + 7 * n));
  const months = m[2] === 'm' ? n : 12 * n;
  const lastDay = new Date(Date.UTC(y, mo + months + 1, 0)).getUTCDate();
  return new Date(Date.UTC(y, mo + months, Math.min(d, lastDay)));
}

function ageInRanges(dob, exam, ranges) {
  return ranges.some(([from, until]) => addAge(dob, from) <= exam && (until === null || exam < addAge(dob, until)));
}

function describeAge(dob, exam) {
  let years = exam.getUTCFullYear() - dob.getUTCFullYear();
  if (addAge(dob, years + 'y') > exam) years--;
  if (years >= 2) return years + ' years';
  let months = 0;
  while (addAge(dob, (months + 1) + 'm') <= exam) months++;
  if (months >= 1) return months + (months === 1 ? ' month' : ' months');
  const days = Math.round((exam - dob) / 86400000);
  return Math.floor(days / 7) + ' weeks';
}

function fieldLabel(name) {
  const field = fields().byName.get(name);
  if (!field) return name;
  const control = field.controls[0];
  if (field.kind === 'radio') return control.closest('fieldset').querySelector('legend').textContent.trim();
  const label = control.closest('label');
  const text = label && label.querySelector('.lt');
  return (text || label || control).textContent.trim();
}

function hintContext() {
  const { byName } = fields();
  const value = (name) => {
    const field = byName.get(name);
    return field ? readField(field) : '';
  };
  const dob = parseIsoDate(value('applicant.dateOfBirth'));
  const exam = parseIsoDate(value('summary.examDate'));
  const classA = [];
  const classB = [];
  for (const select of byId('form').querySelectorAll('[data-class-field]')) {
    const group = select.closest('fieldset').querySelector('legend').textContent.trim();
    if (select.value === 'A') classA.push(group);
    if (select.value === 'B') classB.push(group);
  }
  if (value('findings.otherClassB').trim() !== '') classB.push('other Class B conditions');
  return {
    value,
    dob,
    exam,
    birthYear: dob ? dob.getUTCFullYear() : NaN,
    examMonth: exam ? exam.getUTCMonth() + 1 : NaN,
    vaccinationOnly: value('applicant.vaccinationOnly') === true,
    classA,
    classB,
  };
}

function vaccineRecorded(context, key) {
  const prefix = 'vaccination.' + key + '.';
  if (context.value(prefix + 'completed') === true || context.value(prefix + 'waiver') !== '') return true;
  for (let dose = 1; dose <= DOSES_PER_VACCINE; dose++) {
    if (context.value(prefix + 'dose' + dose + '.source') === 'lab') return true;
  }
  return false;
}

// Returns the hints as { section: [{ id, kind, text }] } plus the vaccines that apply and the
// fields that are required, so the page can mark them.
function evaluateHints() {
  const context = hintContext();
  const bySection = Object.create(null);
  const add = (section, id, kind, text) => (bySection[section] = bySection[section] || []).push({ id, kind, text });
  const vaccines = Object.create(null);
  const required = new Set();
  const knowsAge = context.dob && context.exam && context.dob <= context.exam;
  const ageText = knowsAge ? describeAge(context.dob, context.exam) : '';
  let askedForAge = false;

  for (const rule of (typeof HINT_RULES === 'undefined' ? [] : HINT_RULES)) {
    if (rule.skipVaccinationOnly && context.vaccinationOnly) continue;
    if (rule.kind === 'test' || rule.kind === 'vaccine') {
      if (!knowsAge) {
        if (!askedForAge) {
          add('applicant', 'age.unknown', 'info', 'Enter the date of birth and the date of the examination (section 6) '
            + 'to see the tests and vaccines that apply for the age.');
          askedForAge = true;
        }
        continue;
      }
      const applies = ageInRanges(context.dob, context.exam, rule.ages) && (!rule.also || rule.also(context));
      if (rule.kind === 'vaccine') vaccines[rule.vaccine] = applies;
      if (!applies) continue;
      const done = rule.kind === 'vaccine' ? vaccineRecorded(context, rule.vaccine) : rule.done(context.value);
      if (!done) {
        add(rule.section, rule.id, rule.kind, rule.text + ' Age on the examination date: ' + ageText + '. Not recorded yet.');
      }
    } else if (rule.kind === 'consistency') {
      const message = rule.check(context);
      if (message) add(rule.section, rule.id, 'warning', message);
    } else if (rule.kind === 'required') {
      const missing = [];
      for (const name of rule.fields) {
        required.add(name);
        const v = context.value(name);
        if (v === '' || v === false) missing.push(fieldLabel(name));
      }
      if (missing.length) add(rule.section, rule.id, 'required', 'Still empty: ' + missing.join('; ') + '.');
    }
  }
  return { bySection, vaccines, required, ageText };
}

const HINT_KIND_LABELS = {
  info: 'Note', test: 'Test due', vaccine: 'Vaccine due', warning: 'Check', required: 'Required',
};

function renderHints() {
  const result = evaluateHints();
  for (const box of document.querySelectorAll('[data-hints]')) {
    const hints = result.bySection[box.dataset.hints] || [];
    const signature = hints.map((h) => h.id + '|' + h.text).join('\n');
    if (box.dataset.signature === signature) continue;
    box.dataset.signature = signature;
    box.textContent = '';
    box.classList.toggle('empty', hints.length === 0);
    if (!hints.length) continue;
    box.appendChild(element('p', 'hints-title', 'Advisory hints'));
    const list = element('ul');
    for (const hint of hints) {
      const item = element('li', 'hint hint-' + hint.kind);
      item.dataset.rule = hint.id;
      item.append(element('strong', '', HINT_KIND_LABELS[hint.kind] + ': '), hint.text);
      list.appendChild(item);
    }
    box.appendChild(list);
  }
  for (const row of document.querySelectorAll('fieldset.vaccine')) {
    const badge = row.querySelector('.badge');
    const applies = result.vaccines[row.dataset.vaccine];
    const text = applies === undefined ? '' : applies ? 'applies at this age' : 'not routine at this age';
    if (badge.textContent !== text) badge.textContent = text;
    row.classList.toggle('applies', applies === true);
  }
  markRequired(result.required);
  return result;
}

function markRequired(required) {
  for (const field of fields().list) {
    const on = required.has(field.name);
    for (const control of field.controls) {
      if (on) control.setAttribute('aria-required', 'true');
      else control.removeAttribute('aria-required');
    }
    const holder = field.kind === 'radio'
      ? field.controls[0].closest('fieldset').querySelector('legend')
      : field.controls[0].closest('label');
    if (holder) holder.classList.toggle('required', on);
  }
}

// Typing re-evaluates the hints once the keys pause for a moment, not on every key.
let hintsTimer = 0;
function scheduleHints() {
  clearTimeout(hintsTimer);
  hintsTimer = setTimeout(renderHints, 120);
}

// After any change made by the host: hints follow the new values and a prepared packet is stale.
function formChanged() {
  discardPrintPacket();
  renderHints();
}

// ---------------------------------------------------------------------------------------------
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
  for (const child of container.children) {
    if (child.classList.contains('screen-only') || child.classList.contains('hints')) continue;
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
  heads.push('Completed', 'Waiver');
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
  row.appendChild(element('div', 'vcell', waiver ? waiver[1] : ''));
  return row;
}

function sectionTitle(text, continued) {
  return element('h2', 'psection', continued ? text + ' (continued)' : text);
}

function buildPacket(packet) {
  const pager = new Pager(packet, applicantHeader());
  pager.newSheet();
  pager.place([element('h1', 'ptitle', 'Report of Immigration Medical Examination and Vaccination Record')]);
  for (const section of byId('form').querySelectorAll(':scope > fieldset.section')) {
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
  }
  pager.finish();
  return pager.sheets.length;
}

// Lays the form out as the print packet and shows it; returns the number of sheets. Calling it
// again rebuilds the packet from the current values.
let editorScrollY = 0;

function preparePrintPacket() {
  const packet = byId('printPacket');
  packet.textContent = '';
  if (!document.body.classList.contains('packet-mode')) editorScrollY = window.scrollY;
  document.body.classList.add('packet-mode', 'has-packet');
  const count = buildPacket(packet);
  window.scrollTo(0, 0);
  // Keyboard users land on the way back, since the field they were in is now hidden.
  byId('packetBack').focus({ preventScroll: true });
  return count;
}

// Back to the editing view. The packet stays printable until the form changes, in case the
// engine still renders pages after its print event.
function closePrintPacket() {
  if (!document.body.classList.contains('packet-mode')) return;
  document.body.classList.remove('packet-mode');
  window.scrollTo(0, editorScrollY);
  if (document.activeElement === byId('packetBack')) byId('form').querySelector('[name]').focus({ preventScroll: true });
}

function discardPrintPacket() {
  closePrintPacket();
  document.body.classList.remove('has-packet');
  byId('printPacket').textContent = '';
}

// ---------------------------------------------------------------------------------------------

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

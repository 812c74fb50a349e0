'use strict';

// Form Tolv page, the fields: the vaccination rows made from one table, and reading, writing
// and checking field values. The host drives the page through the functions of
// tolv-record.js; every script here is a classic deferred script sharing one global scope.

const FORM_EDITION = '02/27/26';

// labEvidence: a dose may be laboratory evidence of immunity (only these diseases accept it);
// extras: checkboxes of the row, [field, label].
const VACCINES = [
  { key: 'dtp', name: 'DTaP or DT (children under 7 years)' },
  { key: 'tdTdap', name: 'Td or Tdap (7 years and older)' },
  { key: 'polio', name: 'Polio (IPV or OPV)' },
  { key: 'mmr', name: 'Measles, mumps, rubella (MMR)',
    extras: [['immuneMeasles', 'Laboratory evidence of immunity to measles'],
      ['immuneMumps', 'Laboratory evidence of immunity to mumps'],
      ['immuneRubella', 'Laboratory evidence of immunity to rubella']] },
  { key: 'hib', name: 'Haemophilus influenzae type b (Hib)' },
  { key: 'hepatitisA', name: 'Hepatitis A', labEvidence: true },
  { key: 'hepatitisB', name: 'Hepatitis B', labEvidence: true },
  { key: 'rotavirus', name: 'Rotavirus' },
  { key: 'meningococcal', name: 'Meningococcal (MenACWY)' },
  { key: 'varicella', name: 'Varicella', labEvidence: true,
    extras: [['history', 'Documented history of varicella (chickenpox)']] },
  { key: 'pneumococcal', name: 'Pneumococcal' },
  { key: 'influenza', name: 'Influenza' },
];
const DOSES_PER_VACCINE = 5;
const DOSE_SOURCES = [
  ['', ''],
  ['record', 'R: record'],
  ['given', 'G: given'],
  ['lab', 'L: lab'],
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
// Vaccination rows are the same for every vaccine, so they are made from VACCINES once. All
// five doses exist as fields (records keep them all); only the first empty one is shown.

function checkbox(name, text) {
  const label = element('label', 'check');
  const input = element('input');
  input.type = 'checkbox';
  input.name = name;
  label.append(input, ' ', element('span', 'lt', text));
  return label;
}

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
      cell.dataset.dose = String(dose);
      const dateLabel = element('label', 'field');
      dateLabel.appendChild(element('span', 'lt', 'Dose ' + dose + ' date'));
      const date = element('input');
      date.type = 'date';
      date.name = prefix + 'dose' + dose + '.date';
      dateLabel.appendChild(date);
      const sourceLabel = element('label', 'field');
      sourceLabel.appendChild(element('span', 'lt', 'Dose ' + dose + ' source'));
      const source = makeSelect(prefix + 'dose' + dose + '.source', DOSE_SOURCES);
      // Older records may hold laboratory evidence for any vaccine, so the choice stays valid
      // but is offered only where it counts.
      if (!vaccine.labEvidence) source.querySelector('option[value="lab"]').hidden = true;
      sourceLabel.appendChild(source);
      cell.append(dateLabel, sourceLabel);
      doses.appendChild(cell);
    }
    const tail = element('div', 'grid vaccine-tail');
    tail.appendChild(checkbox(prefix + 'completed', 'Series completed'));
    const waiver = element('label', 'field');
    waiver.append(element('span', 'lt', 'Waiver reason'), makeSelect(prefix + 'waiver', WAIVER_REASONS));
    tail.appendChild(waiver);
    for (const [name, text] of vaccine.extras || []) tail.appendChild(checkbox(prefix + name, text));
    const body = element('div', 'vaccine-body');
    body.append(doses, tail);
    box.appendChild(body);
    fragment.appendChild(box);
  }
  holder.appendChild(fragment);
}

// Shows every dose that holds something and the first empty one after them.
function updateDoseVisibility() {
  for (const doses of document.querySelectorAll('#vaccineRows .doses')) {
    let lastFilled = 0;
    for (const cell of doses.children) {
      const filled = Array.from(cell.querySelectorAll('[name]')).some((c) => c.value !== '');
      if (filled) lastFilled = +cell.dataset.dose;
    }
    for (const cell of doses.children) {
      const show = +cell.dataset.dose <= lastFilled + 1;
      if (cell.hidden === show) {
        // Focus never stays in a dose that disappears.
        if (!show && cell.contains(document.activeElement)) continue;
        cell.hidden = !show;
      }
    }
  }
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

function clearForm() {
  for (const field of fields().list) writeField(field, emptyValue(field));
}


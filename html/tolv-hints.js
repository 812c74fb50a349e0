'use strict';

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
  const knowsAge = Boolean(dob && exam && dob <= exam);
  const classA = [];
  const classB = [];
  for (const select of byId('form').querySelectorAll('[data-class-field]')) {
    const group = select.closest('fieldset').querySelector('legend').textContent.trim();
    if (select.value === 'A') classA.push(group);
    if (select.value === 'B') classB.push(group);
  }
  if (value('findings.otherClassB').trim() !== '') classB.push('other Class B conditions');
  const doses = (key) => Array.from({ length: DOSES_PER_VACCINE }, (_, i) => ({
    date: value('vaccination.' + key + '.dose' + (i + 1) + '.date'),
    source: value('vaccination.' + key + '.dose' + (i + 1) + '.source'),
  }));
  return {
    value,
    dob,
    exam,
    knowsAge,
    birthYear: dob ? dob.getUTCFullYear() : NaN,
    examMonth: exam ? exam.getUTCMonth() + 1 : NaN,
    vaccinationOnly: value('applicant.vaccinationOnly') === true,
    classA,
    classB,
    doses,
    ageIn: (ranges) => knowsAge && ageInRanges(dob, exam, ranges),
    // Why a chest X-ray is due, if it is.
    xrayReasons: () => {
      const reasons = [];
      if (value('findings.tb.igraResult') === 'positive') reasons.push('a positive IGRA');
      if (value('findings.tb.symptoms') === 'present') reasons.push('signs or symptoms of tuberculosis');
      if (value('findings.tb.hiv') === 'known') reasons.push('known HIV infection');
      return reasons;
    },
    labDosesNotAccepted: () => VACCINES.filter((v) => !v.labEvidence && doses(v.key).some((d) => d.source === 'lab'))
      .map((v) => v.name),
    completedWithoutDoses: () => VACCINES.filter((v) => value('vaccination.' + v.key + '.completed') === true
      && !doses(v.key).some((d) => d.date !== '')).map((v) => v.name),
  };
}

// Evidence of immunity that the vaccine accepts.
function vaccineImmune(context, vaccine) {
  const prefix = 'vaccination.' + vaccine.key + '.';
  if (vaccine.key === 'mmr') {
    return ['immuneMeasles', 'immuneMumps', 'immuneRubella'].every((name) => context.value(prefix + name) === true);
  }
  if (vaccine.key === 'varicella' && context.value(prefix + 'history') === true) return true;
  return Boolean(vaccine.labEvidence) && context.doses(vaccine.key).some((d) => d.source === 'lab');
}

// A vaccine that applies is recorded once it was waived, given here, completed with its doses,
// or the applicant is immune by evidence it accepts.
function vaccineRecorded(context, key) {
  const vaccine = VACCINES.find((v) => v.key === key);
  const prefix = 'vaccination.' + key + '.';
  const doses = context.doses(key);
  if (context.value(prefix + 'waiver') !== '') return true;
  if (doses.some((d) => d.source === 'given')) return true;
  if (context.value(prefix + 'completed') === true && doses.some((d) => d.date !== '')) return true;
  return vaccineImmune(context, vaccine);
}

// Sections the user has left a field of since the record was opened; a section's list of
// empty required fields waits until then, or until the section holds a value.
let touchedSections = new Set();

function sectionStarted(context, section) {
  if (touchedSections.has(section)) return true;
  const holder = document.querySelector('[data-section="' + section + '"]');
  if (!holder) return true;
  return Array.from(holder.querySelectorAll('[name]')).some((control) => {
    const v = context.value(control.name);
    return v !== '' && v !== false;
  });
}

// Returns the hints as { section: [{ id, kind, text }] } plus the vaccines that apply and the
// fields that are required, so the page can mark them.
function evaluateHints() {
  const context = hintContext();
  const bySection = Object.create(null);
  const add = (section, id, kind, text) => (bySection[section] = bySection[section] || []).push({ id, kind, text });
  const vaccines = Object.create(null);
  const required = new Set();
  const knowsAge = context.knowsAge;
  const ageText = knowsAge ? describeAge(context.dob, context.exam) : '';
  let askedForAge = false;
  const textOf = (rule) => (typeof rule.text === 'function' ? rule.text(context) : rule.text);

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
        add(rule.section, rule.id, rule.kind, textOf(rule) + ' Age on the examination date: ' + ageText + '. '
          + (rule.kind === 'vaccine' ? 'Neither given nor waived yet.' : 'Not recorded yet.'));
      }
    } else if (rule.kind === 'consistency') {
      const message = rule.check(context);
      if (message) add(rule.section, rule.id, 'warning', message);
    } else if (rule.kind === 'required') {
      if (rule.when && !rule.when(context)) continue;
      const missing = [];
      for (const name of rule.fields) {
        required.add(name);
        const v = context.value(name);
        if (v === '' || v === false) missing.push(fieldLabel(name));
      }
      if (missing.length && (rule.when || sectionStarted(context, rule.section))) {
        add(rule.section, rule.id, 'required', 'Still empty: ' + missing.join('; ') + '.');
      }
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


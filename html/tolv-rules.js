'use strict';

// Advisory hints shown beside the form. They are reminders for the civil surgeon, never checks
// that block saving or printing, and the current instructions for civil surgeons always take
// precedence over them. When those instructions change, update this table only: the code in
// tolv-hints.js evaluates the rules generically.
//
// Every rule has:
//   id       stable name (tests and the page refer to rules by it)
//   kind     'test'        a test due for the applicant's age on the examination date
//            'vaccine'     a vaccine that applies for the age on the examination date
//            'consistency' two parts of the form disagree
//            'required'    fields that must be filled in
//   section  the form section whose hint box shows the hint
//   source   where the rule comes from and the date of that source. A value that could not be
//            confirmed against the instructions in force says so in its hint text ("check the
//            current instructions") instead of guessing.
// and, by kind:
//   ages     [[from, until], ...] age ranges on the examination date, from inclusive and until
//            exclusive; an age is '6w', '12m' or '18y'; until may be null (no upper limit)
//   skipVaccinationOnly  the rule is off in a vaccination-record-only case
//   done(v)  for tests: true when the form already records it (v reads a field)
//   also(c)  for tests and vaccines: extra condition on the context (born after, season...)
//   check(c) for consistency rules: a message when the rule fires, else null
//   fields   for required rules: the field names that must not be empty
//   when(c)  for required rules: the fields are required only while this holds
//   text     the advisory message, or a function of the context that gives it
//
// Sources (CDC = Centers for Disease Control and Prevention, TI = Technical Instructions for
// Civil Surgeons; ACIP = the Advisory Committee on Immunization Practices). Checked 2026-12.
const TI_TB = 'CDC TI, Tuberculosis, in force since 2018-10-01';
const TI_SYPHILIS = 'CDC TI, Syphilis, in force since 2021-09-01';
const TI_GONORRHEA = 'CDC TI, Gonorrhea, in force since 2021-09-01 (effective date not confirmed)';
const TI_VACCINATION = 'CDC TI, Vaccination, with its table of age-appropriate vaccines (ACIP schedules)';
const TI_POLIO_ADULTS = TI_VACCINATION + '; IPV for unvaccinated or incompletely vaccinated adults in force since 2024-05-01';
const FORM_INSTRUCTIONS = 'Form Tolv instructions, edition 02/27/26';

// Results that count as a test done; "Not required for the age" does not.
const resultGiven = (value) => value !== '' && value !== 'notRequired';

const HINT_RULES = [
  // Tests due for the age.
  {
    id: 'test.igra', kind: 'test', section: 'findings', ages: [['2y', null]], skipVaccinationOnly: true,
    source: TI_TB,
    done: (v) => resultGiven(v('findings.tb.igraResult')),
    text: 'Tuberculosis: an IGRA blood test is due for applicants aged 2 years or older.',
  },
  {
    // Not the overseas rule (an X-ray for everyone from 15): a civil surgeon orders it for these
    // reasons only, at any age. An indeterminate IGRA needs neither a repeat nor an X-ray.
    id: 'test.chestXray', kind: 'test', section: 'findings', ages: [['0d', null]], skipVaccinationOnly: true,
    source: TI_TB,
    also: (c) => c.xrayReasons().length > 0,
    done: (v) => ['normal', 'suggestsTb', 'otherAbnormal'].includes(v('findings.tb.cxrResult')),
    text: (c) => 'Tuberculosis: a chest X-ray is due at any age after ' + c.xrayReasons().join(', ') + '.',
  },
  {
    id: 'test.syphilis', kind: 'test', section: 'findings', ages: [['18y', '45y']], skipVaccinationOnly: true,
    source: TI_SYPHILIS,
    done: (v) => resultGiven(v('findings.syphilis.screenResult')),
    text: 'Syphilis: a screening test is due for applicants aged 18 through 44 years '
      + '(other ages only when there is reason to suspect infection).',
  },
  {
    id: 'test.gonorrhea', kind: 'test', section: 'findings', ages: [['18y', '25y']], skipVaccinationOnly: true,
    source: TI_GONORRHEA,
    done: (v) => resultGiven(v('findings.gonorrhea.result')),
    text: 'Gonorrhea: a nucleic acid amplification test (NAAT) is due for applicants aged 18 through 24 years; '
      + 'check the current instructions.',
  },

  // Vaccines that apply for the age. A vaccine counts as recorded once a waiver reason is chosen,
  // a dose was given here, the series is marked completed with its doses, or there is evidence
  // of immunity that the vaccine accepts (see VACCINES in tolv-fields.js).
  { id: 'vaccine.dtp', kind: 'vaccine', section: 'vaccination', vaccine: 'dtp', ages: [['6w', '7y']],
    source: TI_VACCINATION,
    text: 'DTaP or DT vaccine applies from 6 weeks through 6 years of age.' },
  { id: 'vaccine.tdTdap', kind: 'vaccine', section: 'vaccination', vaccine: 'tdTdap', ages: [['7y', null]],
    source: TI_VACCINATION,
    text: 'Td or Tdap vaccine applies from 7 years of age.' },
  { id: 'vaccine.polio', kind: 'vaccine', section: 'vaccination', vaccine: 'polio', ages: [['6w', null]],
    source: TI_POLIO_ADULTS,
    text: 'Polio vaccine applies from 6 weeks of age; adults who are unvaccinated or incompletely '
      + 'vaccinated are due IPV.' },
  { id: 'vaccine.mmr', kind: 'vaccine', section: 'vaccination', vaccine: 'mmr', ages: [['12m', null]],
    source: TI_VACCINATION,
    also: (c) => c.birthYear >= 1957,
    text: 'Measles, mumps and rubella vaccine applies from 12 months of age for those born in 1957 or later; '
      + 'laboratory evidence counts only with immunity to all three.' },
  { id: 'vaccine.hib', kind: 'vaccine', section: 'vaccination', vaccine: 'hib', ages: [['6w', '5y']],
    source: TI_VACCINATION,
    text: 'Hib vaccine applies from 6 weeks through 4 years of age.' },
  { id: 'vaccine.hepatitisA', kind: 'vaccine', section: 'vaccination', vaccine: 'hepatitisA', ages: [['12m', '19y']],
    source: TI_VACCINATION,
    text: 'Hepatitis A vaccine applies from 12 months through 18 years of age.' },
  { id: 'vaccine.hepatitisB', kind: 'vaccine', section: 'vaccination', vaccine: 'hepatitisB', ages: [['0d', '60y']],
    source: TI_VACCINATION + ' (ACIP universal adult vaccination through 59 years, 2022; date of the TI table not confirmed)',
    text: 'Hepatitis B vaccine applies from birth through 59 years of age; check the current instructions.' },
  { id: 'vaccine.rotavirus', kind: 'vaccine', section: 'vaccination', vaccine: 'rotavirus', ages: [['6w', '8m']],
    source: TI_VACCINATION,
    text: 'Rotavirus vaccine applies from 6 weeks through 7 months of age.' },
  { id: 'vaccine.meningococcal', kind: 'vaccine', section: 'vaccination', vaccine: 'meningococcal', ages: [['11y', '19y']],
    source: TI_VACCINATION,
    text: 'Meningococcal vaccine applies from 11 through 18 years of age.' },
  { id: 'vaccine.varicella', kind: 'vaccine', section: 'vaccination', vaccine: 'varicella', ages: [['12m', null]],
    source: TI_VACCINATION,
    text: 'Varicella vaccine applies from 12 months of age unless there is laboratory evidence of immunity '
      + 'or a documented history of the disease.' },
  { id: 'vaccine.pneumococcal', kind: 'vaccine', section: 'vaccination', vaccine: 'pneumococcal', ages: [['6w', '5y'], ['65y', null]],
    source: TI_VACCINATION + ' (adult age not confirmed: ACIP lowered it in 2024)',
    text: 'Pneumococcal vaccine applies from 6 weeks through 4 years and for older adults (here from 65 years); '
      + 'check the current instructions for the adult age.' },
  { id: 'vaccine.influenza', kind: 'vaccine', section: 'vaccination', vaccine: 'influenza', ages: [['6m', null]],
    source: TI_VACCINATION,
    also: (c) => c.examMonth >= 10 || c.examMonth <= 3,
    text: 'Influenza vaccine applies from 6 months of age during the flu season (October 1 to March 31).' },

  // Section 6 against section 9.
  {
    id: 'consistency.noneButFindings', kind: 'consistency', section: 'summary', source: FORM_INSTRUCTIONS,
    check: (c) => (c.value('summary.classification') === 'none' && (c.classA.length || c.classB.length)
      ? 'The summary says no Class A or B condition, but section 9 records: ' + c.classA.concat(c.classB).join(', ') + '.'
      : null),
  },
  {
    id: 'consistency.classAMissing', kind: 'consistency', section: 'summary', source: FORM_INSTRUCTIONS,
    check: (c) => (c.value('summary.classification') === 'A' && !c.classA.length
      ? 'The summary says Class A, but no finding in section 9 is Class A.' : null),
  },
  {
    id: 'consistency.classBMissing', kind: 'consistency', section: 'summary', source: FORM_INSTRUCTIONS,
    check: (c) => (c.value('summary.classification') === 'B' && !c.classB.length
      ? 'The summary says Class B, but no finding in section 9 is Class B.' : null),
  },
  {
    id: 'consistency.classAUnderB', kind: 'consistency', section: 'summary', source: FORM_INSTRUCTIONS,
    check: (c) => (c.value('summary.classification') === 'B' && c.classA.length
      ? 'Section 9 records a Class A condition (' + c.classA.join(', ') + '); the summary says Class B.' : null),
  },
  {
    id: 'consistency.findingsWithoutSummary', kind: 'consistency', section: 'summary', source: FORM_INSTRUCTIONS,
    check: (c) => (c.value('summary.classification') === '' && (c.classA.length || c.classB.length)
      ? 'Section 9 records a Class A or B condition; choose the classification of the summary.' : null),
  },

  // Findings against their own classification.
  {
    id: 'consistency.tbResultWithoutClass', kind: 'consistency', section: 'findings', source: TI_TB,
    skipVaccinationOnly: true,
    check: (c) => {
      const reasons = [];
      if (c.value('findings.tb.igraResult') === 'positive') reasons.push('a positive IGRA');
      if (['suggestsTb', 'otherAbnormal'].includes(c.value('findings.tb.cxrResult'))) reasons.push('an abnormal chest X-ray');
      return reasons.length && !['A', 'B'].includes(c.value('findings.tb.class'))
        ? 'Tuberculosis: ' + reasons.join(' and ') + ' with no Class A or B; check the classification.' : null;
    },
  },
  {
    id: 'consistency.tbClassBDetail', kind: 'consistency', section: 'findings', source: TI_TB,
    check: (c) => {
      // Kept loadable for older records; a missing detail is a required field instead.
      return c.value('findings.tb.classB') === 'B3'
        ? 'Tuberculosis: B3 (contact) is not a class civil surgeons use; choose B1 or B2.' : null;
    },
  },
  {
    id: 'consistency.tbXrayWithoutReferral', kind: 'consistency', section: 'findings', source: TI_TB,
    check: (c) => (c.value('findings.tb.cxrResult') === 'suggestsTb' && c.value('findings.tb.referralDate') === ''
      ? 'Tuberculosis: an X-ray that suggests tuberculosis calls for a referral to the health department; '
        + 'enter the date of referral.' : null),
  },
  {
    id: 'consistency.syphilisUntreated', kind: 'consistency', section: 'findings', source: TI_SYPHILIS,
    check: (c) => {
      const reactive = c.value('findings.syphilis.screenResult') === 'reactive'
        && c.value('findings.syphilis.confirmResult') !== 'nonreactive';
      const unclassified = ['', 'none'].includes(c.value('findings.syphilis.class'));
      const untreated = c.value('findings.syphilis.treatment').trim() === '';
      return reactive && (unclassified || untreated)
        ? 'Syphilis: a reactive test is recorded ' + (unclassified ? 'with no Class A or B' : 'without treatment')
          + '; check the classification and the treatment.' : null;
    },
  },
  {
    id: 'consistency.gonorrheaUntreated', kind: 'consistency', section: 'findings', source: TI_GONORRHEA,
    check: (c) => {
      if (c.value('findings.gonorrhea.result') !== 'positive') return null;
      const unclassified = ['', 'none'].includes(c.value('findings.gonorrhea.class'));
      const untreated = c.value('findings.gonorrhea.treatment').trim() === '';
      return unclassified || untreated
        ? 'Gonorrhea: a positive test is recorded ' + (unclassified ? 'with no Class A or B' : 'without treatment')
          + '; check the classification and the treatment.' : null;
    },
  },
  {
    id: 'consistency.gonorrheaNotNaat', kind: 'consistency', section: 'findings', source: TI_GONORRHEA,
    check: (c) => (resultGiven(c.value('findings.gonorrhea.result')) && c.value('findings.gonorrhea.testType') === 'other'
      ? 'Gonorrhea: the instructions ask for a nucleic acid amplification test (NAAT).' : null),
  },
  {
    id: 'consistency.notRequiredButDue', kind: 'consistency', section: 'findings', source: TI_TB + '; ' + TI_SYPHILIS,
    skipVaccinationOnly: true,
    check: (c) => {
      const wrong = [];
      if (c.value('findings.tb.igraResult') === 'notRequired' && c.ageIn([['2y', null]])) wrong.push('the IGRA');
      if (c.value('findings.tb.cxrResult') === 'notRequired' && c.xrayReasons().length) wrong.push('the chest X-ray');
      if (c.value('findings.syphilis.screenResult') === 'notRequired' && c.ageIn([['18y', '45y']])) wrong.push('the syphilis test');
      if (c.value('findings.gonorrhea.result') === 'notRequired' && c.ageIn([['18y', '25y']])) wrong.push('the gonorrhea test');
      return wrong.length ? '"Not required" is recorded for ' + wrong.join(', ') + ', but it is due for this applicant.' : null;
    },
  },

  // The vaccination record against itself.
  {
    id: 'consistency.labEvidenceNotAccepted', kind: 'consistency', section: 'vaccination', source: TI_VACCINATION,
    check: (c) => {
      const names = c.labDosesNotAccepted();
      return names.length
        ? 'Laboratory evidence of immunity counts only for measles, mumps, rubella (use the boxes of each disease), '
          + 'varicella, hepatitis A and hepatitis B; it is recorded as a dose of: ' + names.join(', ') + '.' : null;
    },
  },
  {
    id: 'consistency.completedWithoutDoses', kind: 'consistency', section: 'vaccination', source: TI_VACCINATION,
    check: (c) => {
      const names = c.completedWithoutDoses();
      return names.length ? 'Series marked completed with no dose date: ' + names.join(', ') + '.' : null;
    },
  },

  // Required fields. Those of a whole section are listed once the section has been started.
  { id: 'required.applicant', kind: 'required', section: 'applicant', source: FORM_INSTRUCTIONS,
    fields: ['applicant.familyName', 'applicant.givenName', 'applicant.address.street', 'applicant.address.city',
      'applicant.address.country', 'applicant.sex', 'applicant.dateOfBirth', 'applicant.birthCity',
      'applicant.birthCountry'] },
  { id: 'required.statement', kind: 'required', section: 'statement', source: FORM_INSTRUCTIONS,
    fields: ['statement.language', 'statement.signatureDate'] },
  { id: 'required.statementInterpreter', kind: 'required', section: 'statement', source: FORM_INSTRUCTIONS,
    when: (c) => c.value('statement.language') === 'interpreter',
    fields: ['statement.interpreterLanguage'] },
  { id: 'required.interpreter', kind: 'required', section: 'interpreter', source: FORM_INSTRUCTIONS,
    when: (c) => c.value('statement.language') === 'interpreter',
    fields: ['interpreter.familyName', 'interpreter.givenName', 'interpreter.language', 'interpreter.signatureDate'] },
  { id: 'required.identification', kind: 'required', section: 'identification', source: FORM_INSTRUCTIONS,
    fields: ['identification.type', 'identification.number'] },
  { id: 'required.identificationOther', kind: 'required', section: 'identification', source: FORM_INSTRUCTIONS,
    when: (c) => c.value('identification.type') === 'otherPhotoId',
    fields: ['identification.typeOther'] },
  { id: 'required.summary', kind: 'required', section: 'summary', skipVaccinationOnly: true, source: FORM_INSTRUCTIONS,
    fields: ['summary.classification', 'summary.examDate'] },
  { id: 'required.surgeon', kind: 'required', section: 'surgeon', source: FORM_INSTRUCTIONS,
    fields: ['surgeon.familyName', 'surgeon.givenName', 'surgeon.practiceName', 'surgeon.address.street',
      'surgeon.address.city', 'surgeon.address.state', 'surgeon.address.zip', 'surgeon.phone',
      'surgeon.licenseNumber', 'surgeon.licenseState', 'surgeon.signatureDate'] },
  { id: 'required.referral', kind: 'required', section: 'referral', source: FORM_INSTRUCTIONS,
    when: (c) => ['healthDepartment', 'specialist'].includes(c.value('referral.to')),
    fields: ['referral.name', 'referral.date', 'referral.reason'] },
  { id: 'required.findings', kind: 'required', section: 'findings', skipVaccinationOnly: true, source: FORM_INSTRUCTIONS,
    fields: ['findings.tb.class', 'findings.syphilis.class', 'findings.gonorrhea.class',
      'findings.hansens.class', 'findings.mental.class', 'findings.substance.class'] },
  { id: 'required.tbClassB', kind: 'required', section: 'findings', skipVaccinationOnly: true, source: TI_TB,
    when: (c) => c.value('findings.tb.class') === 'B',
    fields: ['findings.tb.classB'] },
  { id: 'required.igraType', kind: 'required', section: 'findings', skipVaccinationOnly: true, source: TI_TB,
    when: (c) => resultGiven(c.value('findings.tb.igraResult')),
    fields: ['findings.tb.igraType'] },
];

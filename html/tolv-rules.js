'use strict';

// Advisory hints shown beside the form. They are reminders for the civil surgeon, never checks
// that block saving or printing, and the current instructions for civil surgeons always take
// precedence over them. When those instructions change, update this table only: the code in
// tolv.js evaluates the rules generically.
//
// Every rule has:
//   id       stable name (tests and the page refer to rules by it)
//   kind     'test'        a test due for the applicant's age on the examination date
//            'vaccine'     a vaccine that applies for the age on the examination date
//            'consistency' the summary of section 6 disagrees with the findings of section 9
//            'required'    fields that must be filled in
//   section  the form section whose hint box shows the hint
// and, by kind:
//   ages     [[from, until], ...] age ranges on the examination date, from inclusive and until
//            exclusive; an age is '6w', '12m' or '18y'; until may be null (no upper limit)
//   skipVaccinationOnly  the rule is off in a vaccination-record-only case
//   done(v)  for tests and vaccines: true when the form already records it (v reads a field)
//   also(c)  for tests and vaccines: extra condition on the context (born after, season...)
//   check(c) for consistency rules: a message when the rule fires, else null
//   fields   for required rules: the field names that must not be empty
//   text     the advisory message

const HINT_RULES = [
  // Tests due for the age.
  {
    id: 'test.igra', kind: 'test', section: 'findings', ages: [['2y', null]], skipVaccinationOnly: true,
    done: (v) => v('findings.tb.igraResult') !== '',
    text: 'Tuberculosis: an IGRA blood test is due for applicants aged 2 years or older.',
  },
  {
    id: 'test.chestXray', kind: 'test', section: 'findings', ages: [['15y', null]], skipVaccinationOnly: true,
    done: (v) => v('findings.tb.cxrResult') !== '',
    text: 'Tuberculosis: a chest X-ray is due for applicants aged 15 years or older.',
  },
  {
    id: 'test.chestXrayAfterIgra', kind: 'test', section: 'findings', ages: [['0d', '15y']], skipVaccinationOnly: true,
    also: (c) => c.value('findings.tb.igraResult') === 'positive',
    done: (v) => v('findings.tb.cxrResult') !== '',
    text: 'Tuberculosis: a positive IGRA calls for a chest X-ray at any age.',
  },
  {
    id: 'test.syphilis', kind: 'test', section: 'findings', ages: [['18y', null]], skipVaccinationOnly: true,
    done: (v) => v('findings.syphilis.screenResult') !== '',
    text: 'Syphilis: a screening test is due for applicants aged 18 years or older.',
  },
  {
    id: 'test.gonorrhea', kind: 'test', section: 'findings', ages: [['18y', '25y']], skipVaccinationOnly: true,
    done: (v) => v('findings.gonorrhea.result') !== '',
    text: 'Gonorrhea: a test is due for applicants aged 18 to 24 years.',
  },

  // Vaccines that apply for the age. A vaccine counts as recorded once its series is marked
  // completed, a waiver reason is chosen, or a dose shows laboratory evidence of immunity.
  { id: 'vaccine.dtp', kind: 'vaccine', section: 'vaccination', vaccine: 'dtp', ages: [['6w', null]],
    text: 'Diphtheria, tetanus and pertussis vaccines apply from 6 weeks of age.' },
  { id: 'vaccine.polio', kind: 'vaccine', section: 'vaccination', vaccine: 'polio', ages: [['6w', '18y']],
    text: 'Polio vaccine applies from 6 weeks through 17 years of age.' },
  { id: 'vaccine.mmr', kind: 'vaccine', section: 'vaccination', vaccine: 'mmr', ages: [['12m', null]],
    also: (c) => c.birthYear >= 1957,
    text: 'Measles, mumps and rubella vaccine applies from 12 months of age for those born in 1957 or later.' },
  { id: 'vaccine.hib', kind: 'vaccine', section: 'vaccination', vaccine: 'hib', ages: [['6w', '5y']],
    text: 'Hib vaccine applies from 6 weeks through 4 years of age.' },
  { id: 'vaccine.hepatitisA', kind: 'vaccine', section: 'vaccination', vaccine: 'hepatitisA', ages: [['12m', '19y']],
    text: 'Hepatitis A vaccine applies from 12 months through 18 years of age.' },
  { id: 'vaccine.hepatitisB', kind: 'vaccine', section: 'vaccination', vaccine: 'hepatitisB', ages: [['0d', '19y']],
    text: 'Hepatitis B vaccine applies from birth through 18 years of age.' },
  { id: 'vaccine.rotavirus', kind: 'vaccine', section: 'vaccination', vaccine: 'rotavirus', ages: [['6w', '8m']],
    text: 'Rotavirus vaccine applies from 6 weeks through 7 months of age.' },
  { id: 'vaccine.meningococcal', kind: 'vaccine', section: 'vaccination', vaccine: 'meningococcal', ages: [['11y', '19y']],
    text: 'Meningococcal vaccine applies from 11 through 18 years of age.' },
  { id: 'vaccine.varicella', kind: 'vaccine', section: 'vaccination', vaccine: 'varicella', ages: [['12m', null]],
    text: 'Varicella vaccine applies from 12 months of age unless there is evidence of immunity.' },
  { id: 'vaccine.pneumococcal', kind: 'vaccine', section: 'vaccination', vaccine: 'pneumococcal', ages: [['6w', '5y'], ['65y', null]],
    text: 'Pneumococcal vaccine applies from 6 weeks through 4 years and from 65 years of age.' },
  { id: 'vaccine.influenza', kind: 'vaccine', section: 'vaccination', vaccine: 'influenza', ages: [['6m', null]],
    also: (c) => c.examMonth >= 10 || c.examMonth <= 3,
    text: 'Influenza vaccine applies from 6 months of age during the flu season (October 1 to March 31).' },

  // Section 6 against section 9.
  {
    id: 'consistency.noneButFindings', kind: 'consistency', section: 'summary',
    check: (c) => (c.value('summary.classification') === 'none' && (c.classA.length || c.classB.length)
      ? 'The summary says no Class A or B condition, but section 9 records: ' + c.classA.concat(c.classB).join(', ') + '.'
      : null),
  },
  {
    id: 'consistency.classAMissing', kind: 'consistency', section: 'summary',
    check: (c) => (c.value('summary.classification') === 'A' && !c.classA.length
      ? 'The summary says Class A, but no finding in section 9 is Class A.' : null),
  },
  {
    id: 'consistency.classBMissing', kind: 'consistency', section: 'summary',
    check: (c) => (c.value('summary.classification') === 'B' && !c.classB.length
      ? 'The summary says Class B, but no finding in section 9 is Class B.' : null),
  },
  {
    id: 'consistency.classAUnderB', kind: 'consistency', section: 'summary',
    check: (c) => (c.value('summary.classification') === 'B' && c.classA.length
      ? 'Section 9 records a Class A condition (' + c.classA.join(', ') + '); the summary says Class B.' : null),
  },
  {
    id: 'consistency.findingsWithoutSummary', kind: 'consistency', section: 'summary',
    check: (c) => (c.value('summary.classification') === '' && (c.classA.length || c.classB.length)
      ? 'Section 9 records a Class A or B condition; choose the classification of the summary.' : null),
  },

  // Required fields.
  { id: 'required.applicant', kind: 'required', section: 'applicant',
    fields: ['applicant.familyName', 'applicant.givenName', 'applicant.address.street', 'applicant.address.city',
      'applicant.address.country', 'applicant.sex', 'applicant.dateOfBirth', 'applicant.birthCity',
      'applicant.birthCountry'] },
  { id: 'required.statement', kind: 'required', section: 'statement',
    fields: ['statement.language', 'statement.signatureDate'] },
  { id: 'required.identification', kind: 'required', section: 'identification',
    fields: ['identification.type', 'identification.number'] },
  { id: 'required.summary', kind: 'required', section: 'summary', skipVaccinationOnly: true,
    fields: ['summary.classification', 'summary.examDate'] },
  { id: 'required.surgeon', kind: 'required', section: 'surgeon',
    fields: ['surgeon.familyName', 'surgeon.givenName', 'surgeon.practiceName', 'surgeon.address.street',
      'surgeon.address.city', 'surgeon.address.state', 'surgeon.address.zip', 'surgeon.phone',
      'surgeon.licenseNumber', 'surgeon.licenseState', 'surgeon.signatureDate'] },
  { id: 'required.findings', kind: 'required', section: 'findings', skipVaccinationOnly: true,
    fields: ['findings.tb.class', 'findings.syphilis.class', 'findings.gonorrhea.class',
      'findings.hansens.class', 'findings.mental.class', 'findings.substance.class'] },
];

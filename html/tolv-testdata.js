'use strict';

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
    'referral.evaluator.familyName': 'TESTSPECIALIST',
    'referral.evaluator.givenName': 'Placeholder',
    'referral.evaluator.title': 'Tuberculosis clinic physician (test data)',
    'referral.evaluator.phone': '555-0140',
    'referral.evaluator.treatmentDate': '',
    'referral.evaluator.signatureDate': '2026-03-02',
    'referral.outcome': 'Evaluated by the test health department.\nLatent infection, no active disease; treatment offered.',
    'findings.tb.symptoms': 'none',
    'findings.tb.hiv': 'notKnown',
    'findings.tb.igraType': 'qftPlus',
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
    'findings.gonorrhea.testType': '',
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
    tdTdap: ['2008-04-15', 'given'],
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
    values[prefix + 'completed'] = list.length > 0 && vaccine.key !== 'tdTdap';
    if (!list.length) values[prefix + 'waiver'] = 'notAgeAppropriate';
  }
  return values;
}

function fillTestData() {
  clearForm();
  touchedSections = new Set();
  keptFields = Object.create(null);
  keptMembers = Object.create(null);
  const { known } = checkedFieldValues(testDataValues());
  for (const [field, value] of known) writeField(field, value);
  formChanged();
}


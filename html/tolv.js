'use strict';

const RECORD_FORMAT = 'praxora-tolv-record';

function formFields() {
  return Array.from(document.querySelectorAll('input[name], select[name], textarea[name]'));
}

function newRecord() {
  for (const field of formFields()) field.value = '';
}

function collectPrefix(prefix) {
  const fields = {};
  for (const field of formFields()) {
    if (field.name.startsWith(prefix)) fields[field.name] = field.value;
  }
  return JSON.stringify(fields);
}

function collectRecord() {
  return JSON.stringify({ format: RECORD_FORMAT, version: 1, fields: JSON.parse(collectPrefix('')) });
}

function loadRecord(text) {
  const record = JSON.parse(text);
  if (!record || record.format !== RECORD_FORMAT || typeof record.fields !== 'object') {
    throw new Error('Not a Form Tolv record');
  }
  newRecord();
  applyFields(record.fields);
}

function applyFields(fields) {
  for (const field of formFields()) {
    if (Object.prototype.hasOwnProperty.call(fields, field.name)) field.value = fields[field.name];
  }
}

function applyPartial(text) {
  if (!text) return;
  applyFields(JSON.parse(text));
}

function fillTestData() {
  applyFields({
    'applicant.familyName': 'Testperson',
    'applicant.givenName': 'Example',
    'applicant.dateOfBirth': '1990-01-01',
  });
}

function preparePrintPacket() {}

function showToast(message) {
  const toast = document.getElementById('toast');
  toast.textContent = message;
  setTimeout(() => { if (toast.textContent === message) toast.textContent = ''; }, 4000);
}

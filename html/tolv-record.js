'use strict';

// The host's side of the page: newRecord, loadRecord, collectRecord, collectPrefix,
// applyPartial and showToast, and text passed through the hidden textarea #nativeBuffer.
// Everything is synchronous: the host runs each call and reads the result right after it.

const RECORD_FORMAT = 'praxora-tolv-record';
const FIELDS_FORMAT = 'praxora-tolv-fields';
const RECORD_VERSION = 1;

// Fields of a loaded record that this page has no control for, and other members of its top
// level, kept so that the next collectRecord writes them back unchanged.
let keptFields = Object.create(null);
let keptMembers = Object.create(null);

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

// ---------------------------------------------------------------------------------------------
// The host's functions.

function newRecord() {
  clearForm();
  touchedSections = new Set();
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
  touchedSections = new Set();
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

// After any change made by the host: hints follow the new values and a prepared packet is stale.
function formChanged() {
  discardPrintPacket();
  updateDoseVisibility();
  renderHints();
}


'use strict';

// A small test harness: test(name, fn) registers a test, fn gets the page's window. Results
// go to #results and to pageTestReport(), which the engine runners read.

const registeredTests = [];
let finalReport = '';

function test(name, fn) {
  registeredTests.push({ name, fn });
}

class AssertionFailed extends Error {}

function show(value) {
  if (typeof value === 'string') return JSON.stringify(value.length > 200 ? value.slice(0, 200) + '…' : value);
  try {
    const text = JSON.stringify(value);
    return text && text.length > 200 ? text.slice(0, 200) + '…' : String(text);
  } catch (error) {
    return String(value);
  }
}

function ok(condition, message) {
  if (!condition) throw new AssertionFailed(message || 'expected a true condition');
}

function eq(actual, expected, message) {
  const same = typeof actual === 'object' || typeof expected === 'object'
    ? JSON.stringify(actual) === JSON.stringify(expected)
    : actual === expected;
  if (!same) throw new AssertionFailed((message ? message + ': ' : '') + 'got ' + show(actual) + ', expected ' + show(expected));
}

function throwsError(fn, message) {
  try {
    fn();
  } catch (error) {
    return error;
  }
  throw new AssertionFailed((message ? message + ': ' : '') + 'expected an exception');
}

function pageTestReport() {
  return finalReport;
}

function waitForPage(frame) {
  return new Promise((resolve, reject) => {
    const started = Date.now();
    const poll = () => {
      const win = frame.contentWindow;
      let ready = false;
      try {
        ready = win && win.document.readyState === 'complete' && typeof win.newRecord === 'function';
      } catch (error) {
        reject(new Error('cannot reach the page in its frame: ' + error.message));
        return;
      }
      if (ready) resolve(win);
      else if (Date.now() - started > 30000) reject(new Error('the page did not load'));
      else setTimeout(poll, 20);
    };
    poll();
  });
}

async function runRegisteredTests() {
  const lines = [];
  let passed = 0;
  let failed = 0;
  let win = null;
  try {
    win = await waitForPage(document.getElementById('page'));
  } catch (error) {
    lines.push('FAIL page load: ' + error.message);
    failed++;
  }
  if (win) {
    for (const { name, fn } of registeredTests) {
      try {
        win.newRecord();
        await fn(win);
        passed++;
      } catch (error) {
        failed++;
        lines.push('FAIL ' + name + ': ' + (error instanceof AssertionFailed ? error.message : String(error && error.stack || error)));
      }
    }
    win.newRecord();
  }
  lines.push(passed + ' passed, ' + failed + ' failed');
  const results = document.getElementById('results');
  results.textContent = lines.join('\n');
  results.dataset.state = 'done';
  finalReport = lines.join('\n') + '\n';
}

window.addEventListener('load', () => setTimeout(runRegisteredTests, 0));

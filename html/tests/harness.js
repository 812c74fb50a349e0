'use strict';

// A small test harness that runs inside the form page itself: the suite page is the form page
// with the test scripts added (tests/page/make-suite.cmake), so the tests need no access from
// one file to another, which the program's engine settings refuse. test(name, fn, options)
// registers a test; fn gets the page's window. Results go to #results and to pageTestReport(),
// which the engine runners read.
//
// A run is one pass: the default pass, or "narrow" (suite.html?pass=narrow), which the runners
// load in a 320 px wide window for the tests registered with { pass: 'narrow' }.

const registeredTests = [];
let finalReport = '';

function test(name, fn, options) {
  registeredTests.push({ name, fn, pass: (options && options.pass) || 'default' });
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

function currentPass() {
  const match = /[?&]pass=([a-z]+)/.exec(window.location.search);
  return match ? match[1] : 'default';
}

async function runRegisteredTests() {
  const lines = [];
  let passed = 0;
  let failed = 0;
  const pass = currentPass();
  const win = window;
  if (typeof win.newRecord !== 'function') {
    lines.push('FAIL page load: the page scripts did not run');
    failed++;
  } else {
    for (const { name, fn } of registeredTests.filter((t) => t.pass === pass)) {
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
  let results = document.getElementById('results');
  if (!results) {
    results = document.createElement('pre');
    results.id = 'results';
    results.hidden = true;
    document.body.appendChild(results);
  }
  results.textContent = lines.join('\n');
  results.dataset.state = 'done';
  finalReport = lines.join('\n') + '\n';
}

window.addEventListener('load', () => setTimeout(runRegisteredTests, 0));

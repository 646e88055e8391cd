// The GL layer's own cases (gl/layer_test.cpp) in headless Chromium: each prints what OpenGL 1.x
// gives by hand and what the layer gave; the tolerances for each kind are here.
import assert from 'node:assert/strict';
import {after, before, test} from 'node:test';

import {launchChromium, openPage, serve} from './harness/browser.mjs';

const PAGE = process.env.ORVANE_WEB_LAYER_TEST;

const TOLERANCE = {
  // Levels of 255. The shader works in single precision and WebGL rounds to 8 bits: half a level
  // of rounding plus float error. Measured: at most 0.5 over the cases.
  colour: 1,
  // Matrices are kept in single precision, as in Mesa: a few units in the last place of a float.
  // Measured: at most 1.1e-7 over the entries.
  matrix: 1e-6,
  // Error codes and stack depths.
  exact: 0,
};

let server;
let chromium;

before(async () => {
  server = await serve(PAGE);
  chromium = await launchChromium();
});

after(async () => {
  await chromium?.close();
  await server?.close();
});

async function run(query) {
  const session = await openPage(chromium.browser, server.url + query);
  return session;
}

test('the layer gives what OpenGL 1.x gives, case by case', async (t) => {
  const {page, console, errors} = await run('');
  await waitFor(() => console.some((m) => m.text === 'done'));
  const cases = console.filter((m) => m.text.startsWith('{')).map((m) => JSON.parse(m.text));
  assert.ok(cases.length > 0, "no cases reported");
  for (const {name, kind, expected, actual} of cases) {
    await t.test(name, () => {
      assert.equal(actual.length, expected.length);
      const worst = Math.max(...expected.map((value, i) => Math.abs(value - actual[i])));
      assert.ok(worst <= TOLERANCE[kind],
                `expected ${expected.join(', ')}, got ${actual.join(', ')}`);
    });
  }
  assert.deepEqual(errors.map(String), []);
  await page.close();
});

const OUTSIDE_THE_SUBSET = [
  {call: 'unsupported', says: /glBegin: 0x0005 is outside the subset/},
  {call: 'too-many-corners', says: /glEnd: a polygon of 16385 corners \(at most 16384\) is outside/},
];

test('a call outside the subset stops a debug build, saying what it was', async (t) => {
  for (const {call, says} of OUTSIDE_THE_SUBSET) {
    await t.test(call, async () => {
      const {page, console, errors} = await run(`?${call}`);
      await waitFor(() => errors.length > 0);
      assert.match(String(errors[0]), /abort/i);
      assert.ok(console.some((m) => says.test(m.text)), 'the console does not say what it was');
      assert.ok(!console.some((m) => /still running/.test(m.text)));
      await page.close();
    });
  }
});

async function waitFor(condition, timeoutMs = 20000) {
  const start = Date.now();
  while (!condition()) {
    assert.ok(Date.now() - start < timeoutMs, 'timed out');
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

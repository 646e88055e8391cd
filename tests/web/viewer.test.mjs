// The viewer's page in headless Chromium, driven with real keys and drags, each state's canvas
// compared with the native viewer's picture of the same state on Mesa (native_frames.cpp writes
// the pictures and the table of states); then the page's own parts, and Q.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import {after, before, test} from 'node:test';

import {canvasPixels, framesSettled, launchChromium, openPage, serve} from './browser.mjs';
import {compare, readPpm} from './pictures.mjs';

const SITE = process.env.ORVANE_WEB_SITE;
const FRAMES = process.env.ORVANE_WEB_FRAMES;
const WINDOW_TITLE = 'Orvane Assignment 3';

// Tolerances, from the 15 states below against Mesa 22.3.6's llvmpipe, in Chromium 156 on ANGLE
// and SwiftShader, on this machine (measured maxima in brackets).
//
// Lighting must not differ: inside polygons, where neither picture moves by more than one level
// (of 255) between neighbouring pixels, no channel may differ by more than INSIDE_LEVELS. The
// pictures differed there by at most 1 [1], one rounding step of single-precision lighting; the
// second step leaves room for another CPU's rounding.
const SMOOTH_LEVELS = 1;
const INSIDE_LEVELS = 2;
// Rasterisers differ on edges: the share of all pixels that may differ by more than EDGE_LEVELS
// (6 %), by polygon mode. Filled frames differed on polygon edges [0.13 %]; lines and points
// land on other pixels where they fall between two [0.71 %, 0.69 %]. About twice the maxima.
const EDGE_LEVELS = 15;
const EDGE_SHARE = {fill: 0.003, line: 0.015, point: 0.015};

const MOUSE_BUTTONS = ['left', 'middle', 'right']; // GLUT's numbering
const DRAG_STEPS = 6;

const {states} = JSON.parse(fs.readFileSync(`${FRAMES}/states.json`, 'utf8'));
const stateNamed = (name) => states.find((state) => state.name === name);
let server;
let chromium;
let session;

before(async () => {
  server = await serve(SITE);
  chromium = await launchChromium();
  session = await startViewer();
});

after(async () => {
  await chromium?.close();
  await server?.close();
});

// A fresh page with the viewer started; `prepare` runs in the page before any of its scripts.
async function startViewer(prepare) {
  const opened = await openPage(chromium.browser, 'about:blank');
  if (prepare) {
    await opened.page.evaluateOnNewDocument(prepare);
  }
  await opened.page.goto(server.url);
  await opened.page.waitForFunction((title) => document.title === title, {}, WINDOW_TITLE);
  await framesSettled(opened.page);
  return opened;
}

// Runs `use` on a viewer of its own, then closes it: only the page in front draws frames, so the
// main session's page must be in front again afterwards.
async function onOwnViewer(prepare, use) {
  const opened = await startViewer(prepare);
  try {
    await use(opened);
  } finally {
    await opened.page.close();
    await session.page.bringToFront();
  }
}

// Keys, then a drag as a person makes it: press, move in steps, release. The drag is given in
// canvas pixels and made wherever the canvas is on the screen, at whatever size.
async function giveInput(page, {keys, drag}) {
  for (const key of keys) {
    await page.keyboard.press(key);
  }
  if (drag) {
    const box = await (await page.$('#canvas')).boundingBox();
    const scale = box.width / (await page.$eval('#canvas', (canvas) => canvas.width));
    const at = ([x, y]) => [box.x + x * scale, box.y + y * scale];
    await page.mouse.move(...at(drag.from));
    await page.mouse.down({button: MOUSE_BUTTONS[drag.button]});
    await page.mouse.move(...at(drag.to), {steps: DRAG_STEPS});
    await page.mouse.up({button: MOUSE_BUTTONS[drag.button]});
  }
}

async function settledCanvas(page) {
  await framesSettled(page);
  return canvasPixels(page);
}

// Fails unless the canvas looks as the native viewer drew the state, within the tolerances above.
function assertLooksNative(state, canvas) {
  const reference = readPpm(`${FRAMES}/${state.name}.ppm`);
  const seen = compare(reference, canvas, {fuzz: EDGE_LEVELS, smooth: SMOOTH_LEVELS});
  assert.ok(seen.worstInside <= INSIDE_LEVELS,
            `inside polygons a channel differs by ${seen.worstInside} levels`);
  assert.ok(seen.differing <= EDGE_SHARE[state.polygonMode],
            `${(100 * seen.differing).toFixed(3)} % of the pixels differ`);
}

function bytesDiffering(a, b) {
  return a.rgba.reduce((count, value, i) => count + (value === b.rgba[i] ? 0 : 1), 0);
}

test('the page shows the window title, a canvas of its size, and the usage text as printed',
     async () => {
       const {page, console} = session;
       const usage = fs.readFileSync(`${FRAMES}/usage.txt`, 'utf8');
       const reference = readPpm(`${FRAMES}/${states[0].name}.ppm`);
       assert.equal(await page.$eval('#title', (heading) => heading.textContent), WINDOW_TITLE);
       assert.deepEqual(await page.$eval('#canvas', (c) => [c.width, c.height]),
                        [reference.width, reference.height]);
       assert.equal(await page.$eval('#usage', (pre) => pre.textContent), usage);
       const logged = console.filter((m) => m.type === 'log').map((m) => m.text + '\n');
       assert.equal(logged.join(''), usage);
     });

test('the canvas takes the keyboard when clicked', async () => {
  const {page} = session;
  await page.click('#title');
  assert.notEqual(await page.evaluate(() => document.activeElement.id), 'canvas');
  await page.click('#canvas');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'canvas');
});

test('each state looks as the native viewer draws it on Mesa', async (t) => {
  const {page} = session;
  // Right and middle drags must not open a context menu on the way.
  await page.evaluate(() => {
    window.menusShown = 0;
    document.addEventListener('contextmenu', (event) => {
      window.menusShown += event.defaultPrevented ? 0 : 1;
    });
  });
  for (const state of states) {
    await t.test(state.name, async () => {
      await giveInput(page, state);
      assertLooksNative(state, await settledCanvas(page));
    });
  }
  assert.equal(await page.evaluate(() => window.menusShown), 0);
});

test('on a canvas the page shows at half size, drags still count in canvas pixels', async () => {
  await onOwnViewer(null, async ({page}) => {
    await page.$eval('#canvas', (canvas) => {
      canvas.style.width = '300px';
    });
    const turned = states.indexOf(stateNamed('sphere-turned'));
    for (const state of states.slice(0, turned + 1)) {
      await giveInput(page, state);
    }
    await page.$eval('#canvas', (canvas) => {
      canvas.style.width = '';
    });
    assertLooksNative(states[turned], await settledCanvas(page));
  });
});

// The layer draws with 16-bit indices only: a browser without 32-bit ones (OES_element_index_uint)
// draws the tree, over 65,536 vertices, the same.
test('without 32-bit indices the tree still looks as the native viewer draws it', async () => {
  const withoutWideIndices = () => {
    const getExtension = WebGLRenderingContext.prototype.getExtension;
    WebGLRenderingContext.prototype.getExtension = function (name) {
      return name === 'OES_element_index_uint' ? null : getExtension.call(this, name);
    };
  };
  await onOwnViewer(withoutWideIndices, async ({page}) => {
    const tree = stateNamed('tree-flat');
    await giveInput(page, tree);
    assertLooksNative(tree, await settledCanvas(page));
  });
});

test('without WebGL the page says why the viewer ended, and nothing is thrown', async () => {
  const {page, errors} = await openPage(chromium.browser, 'about:blank');
  try {
    await page.evaluateOnNewDocument(() => {
      const getContext = HTMLCanvasElement.prototype.getContext;
      HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
        return type === 'webgl' ? null : getContext.call(this, type, ...rest);
      };
    });
    await page.goto(server.url);
    await page.waitForSelector('#status.ended');
    const status = await page.$eval('#status', (line) => line.textContent);
    assert.match(status, /no WebGL 1 context/);
    assert.match(status, /viewer has ended \(exit status 1\)/);
    assert.deepEqual(errors.map(String), []);
  } finally {
    await page.close();
    await session.page.bringToFront();
  }
});

test('a key button on the page acts as its key', async () => {
  const {page} = session;
  const before = await settledCanvas(page);
  await page.click('#keys button[data-key="s"]');
  assert.notEqual(bytesDiffering(await settledCanvas(page), before), 0);
  await page.click('#keys button[data-key="s"]');
  assert.equal(bytesDiffering(await settledCanvas(page), before), 0);
});

test('Q ends the viewer: the page says so and how to start again, input stops, nothing thrown',
     async () => {
       const {page, console, errors} = session;
       await giveInput(page, {keys: 'q'});
       await page.waitForSelector('#status.ended');
       const status = await page.$eval('#status', (line) => line.textContent);
       assert.match(status, /viewer has ended \(exit status 0\)/);
       assert.match(status, /Reload the page to start it again/);
       assert.ok(await page.$eval('#keys button', (button) => button.disabled));

       const ended = await settledCanvas(page);
       await giveInput(page, {keys: '2w', drag: {button: 0, from: [300, 300], to: [400, 380]}});
       assert.equal(bytesDiffering(await settledCanvas(page), ended), 0);
       assert.deepEqual(errors.map(String), []);
       assert.deepEqual(console.filter((m) => m.type === 'error').map((m) => m.text), []);
     });

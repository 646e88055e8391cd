// The viewer's page in one browser engine (ORVANE_WEB_ENGINE: chromium, the default, firefox or
// webkit), driven with real keys and drags, each state's canvas compared with the native viewer's
// picture of the same state on Mesa (native_frames.cpp writes the pictures and the table of
// states); then the page's own parts, and Q. The cases are a table: each names the engines it
// runs in and is skipped, saying so, in the others.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, before, test} from 'node:test';
import {pathToFileURL} from 'node:url';

import {ENGINES, decodedPng, framesSettled, launchBrowser, serve} from './harness/browser.mjs';
import {WINDOW_TITLE, bytesDiffering, canvasPlaces, click, giveInput, onViewer, openViewer,
        penDrag, press, settledCanvas, touchDrag, touchScreen, viewerStarted}
  from './harness/page.mjs';
import {lessonNumbers} from './harness/lessons.mjs';
import {looksNative, readPpm} from './harness/pictures.mjs';
import {axeViolations, hasAccessibleName} from './harness/accessibility.mjs';

const SITE = process.env.ORVANE_WEB_SITE;
const FRAMES = process.env.ORVANE_WEB_FRAMES;
const ENGINE = process.env.ORVANE_WEB_ENGINE ?? 'chromium';
// Phones as Chromium emulates them: touch, and a page laid out for the screen's width.
const PHONE = {width: 360, height: 740, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
const WIDER_PHONE = {...PHONE, width: 412, height: 915, deviceScaleFactor: 2.6};
// The page's size in WebKit, whose driver gives all cases one window: room for the canvas whole.
const WEBKIT_VIEWPORT = {width: 1200, height: 1000};

const {states} = JSON.parse(fs.readFileSync(`${FRAMES}/states.json`, 'utf8'));
const outsideViews = JSON.parse(fs.readFileSync(`${FRAMES}/outside.json`, 'utf8')).views;
const SECOND = '#second-view';
const keyboardStates = JSON.parse(fs.readFileSync(`${FRAMES}/keyboard.json`, 'utf8')).states;
const stateNamed = (name) => states.find((state) => state.name === name);
let server;
let browser;
let session;
// The zip the site is handed out in, unpacked as a student would, and its page's address.
const unpacked = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-zip-'));
let unpackedSite;

before(async () => {
  const [zip] = fs.readdirSync(SITE).filter((name) => /^orvane-viewer-.*-web\.zip$/.test(name));
  execFileSync(process.env.CMAKE_COMMAND ?? 'cmake', ['-E', 'tar', 'xf', path.resolve(SITE, zip)],
               {cwd: unpacked});
  unpackedSite = pathToFileURL(path.join(unpacked, zip.replace(/\.zip$/, ''), 'index.html')).href;
  server = await serve(SITE);
  browser = await launchBrowser(ENGINE);
  session = await openViewer(browser, server.url);
});

after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(unpacked, {recursive: true, force: true});
});

// The picture lit per pixel against the picture, where they must agree and where they must not.
async function perPixelAgainstPicture({page}) {
  await page.evaluate(() => {
    orvane.lab.set('LIGHT_POSITION', [-1, 1, 1, 0]);
    orvane.perPixel.open(true);
  });
  const rows = [{keys: '', agree: true}, {keys: 'h', agree: true}, {keys: '4', agree: true},
                {keys: '1s', lab: {LIGHT_POSITION: [-100, 100, 100, 1]}, agree: false}];
  for (const {keys, lab = {}, agree} of rows) {
    await page.evaluate((numbers) => Object.entries(numbers).forEach(
      ([name, value]) => orvane.lab.set(name, value)), lab);
    await giveInput(page, {keys});
    const picture = await settledCanvas(page);
    const perPixel = await settledCanvas(page, SECOND);
    if (agree) {
      assert.ok(largestOff(picture.rgba, perPixel.rgba) <= 1,
                `after "${keys}": per pixel differs from the picture`);
    } else {
      const corner = highlightShape(picture);
      const pixel = highlightShape(perPixel);
      assert.ok(pixel.peak >= corner.peak, `peaks ${pixel.peak} and ${corner.peak}`);
      assert.ok(pixel.roundness >= corner.roundness + 0.1,
                `roundness ${pixel.roundness} per pixel, ${corner.roundness} per corner`);
    }
  }
}

// Runs `use` on a viewer of its own at `address` (the viewer's page by default), then closes it;
// `prepare` runs in the page before any of its scripts. Only the page in front draws frames, so
// the main session's page must be in front again afterwards. WebKit's driver holds one page at a
// time: there the session's page goes to `address` and back to where it was.
async function onOwnViewer(prepare, use, address = '') {
  if (ENGINE === 'webkit') {
    const back = await session.page.evaluate(() => location.href);
    await session.page.goto(server.url + address);
    await viewerStarted(session.page);
    try {
      await use(session);
    } finally {
      await session.page.setViewport(WEBKIT_VIEWPORT);
      await session.page.goto(back);
      await viewerStarted(session.page);
    }
    return;
  }
  try {
    await onViewer(browser, server.url + address, use, prepare);
  } finally {
    await session.page.bringToFront();
  }
}

// Runs `use` on the lessons page, its viewer started, then closes it.
async function onLessonsPage(use) {
  const {page} = await browser.newPage();
  try {
    // Tall enough for the picture beside the lessons to be shown at its own size.
    await page.setViewport({width: 1400, height: 1100, deviceScaleFactor: 1});
    await page.goto(server.url + 'lessons.html');
    await viewerStarted(page);
    await use(page);
  } finally {
    await page.close();
    await session.page.bringToFront();
  }
}

// Fails unless the canvas looks as the native viewer drew the state, within the tolerances of
// pictures.mjs. Returns the differences seen, for the test's log.
function assertLooksNative(state, canvas) {
  const {ok, said} = looksNative(readPpm(`${FRAMES}/${state.name}.ppm`), canvas,
                                 state.polygonMode);
  assert.ok(ok, said);
  return said;
}

// The words the picture's name must have for what the native viewer shows (keyboard.json).
const MODEL_NAMES = ['Sphere', 'Cylinder', 'Twisted ladder', 'Branching tree'];
const MODE_NAMES = {fill: 'filled', line: 'wireframe', point: 'points'};
function pictureName({model, smoothShading, highlight, polygonMode, angleX, angleY, zoom}) {
  return `${MODEL_NAMES[model]}, ${smoothShading ? 'smooth' : 'flat'} normals, highlight ` +
         `${highlight ? 'on' : 'off'}, ${MODE_NAMES[polygonMode]}; turned ${angleY}\u00b0 about y ` +
         `and ${angleX}\u00b0 about x; zoom ${zoom.toFixed(2)}`;
}

// Opens the second view showing the model alone, from the eye ('fromEye') or from `camera`.
async function openModelAlone(page, camera) {
  await page.evaluate((wanted) => {
    orvane.outside.open(true);
    ['eye', 'light', 'cone', 'normals', 'vectors'].forEach((part) => orvane.outside.show(part, false));
    if (wanted === 'fromEye') {
      orvane.outside.fromEye();
    } else {
      orvane.outside.setCamera(wanted);
    }
  }, camera);
}

// Where eye position `p` lies in a view of `size` pixels through column-major `matrix`.
const clipOf = (matrix, [x, y, z]) => [0, 1, 2, 3].map((row) => matrix[row] * x +
  matrix[4 + row] * y + matrix[8 + row] * z + matrix[12 + row]);

function throughMatrix(matrix, at, size = 600) {
  const clip = clipOf(matrix, at);
  return [(clip[0] / clip[3] + 1) * size / 2, (1 - clip[1] / clip[3]) * size / 2];
}

const largestOff = (a, b) => a.reduce((most, v, i) => Math.max(most, Math.abs(v - b[i])), 0);

// The highlight on the sphere (pixels whose red, which its colours leave unclipped, lies within
// HIGHLIGHT_LEVELS of its brightest), and how round it is: its area over the circle about its
// middle that holds it, 1 for a disc.
const HIGHLIGHT_LEVELS = 10;
function highlightShape({width, rgba}) {
  const onSphere = (i) => rgba[i] < 250; // the white background is not
  let peak = 0;
  for (let i = 0; i < rgba.length; i += 4) {
    peak = onSphere(i) ? Math.max(peak, rgba[i]) : peak;
  }
  const lit = [];
  for (let i = 0; i < rgba.length; i += 4) {
    if (onSphere(i) && rgba[i] >= peak - HIGHLIGHT_LEVELS) {
      lit.push([(i / 4) % width, Math.floor(i / 4 / width)]);
    }
  }
  const middle = [0, 1].map((k) => lit.reduce((sum, p) => sum + p[k], 0) / lit.length);
  const reach = lit.reduce((most, [x, y]) => Math.max(most, Math.hypot(x - middle[0],
                                                                        y - middle[1])), 0);
  return {peak, roundness: lit.length / (Math.PI * reach * reach)};
}

// Presses Tab until the element `selector` has the focus; how many presses it took.
async function tabTo(page, selector, most = 60) {
  for (let presses = 1; presses <= most; ++presses) {
    await press(page, 'Tab');
    if (await page.evaluate((wanted) => document.activeElement === document.querySelector(wanted),
                            selector)) {
      return presses;
    }
  }
  throw new Error(`${most} presses of Tab did not reach ${selector}`);
}

// Where a case cannot run: WebDriver cannot record what the page logs while it loads, run a
// script before the page's own, or hold a second window beside the first.
const EVERY_ENGINE = ENGINES;
const PUPPETEER_ENGINES = ['chromium', 'firefox'];

const cases = [
  {
    name: 'the page shows the window title, a canvas of its size, and the usage text as printed',
    engines: PUPPETEER_ENGINES,
    run: async () => {
      const {page, console} = session;
      const usage = fs.readFileSync(`${FRAMES}/usage.txt`, 'utf8');
      const reference = readPpm(`${FRAMES}/${states[0].name}.ppm`);
      assert.equal(await page.$eval('#title', (heading) => heading.textContent), WINDOW_TITLE);
      assert.deepEqual(await page.$eval('#canvas', (c) => [c.width, c.height]),
                       [reference.width, reference.height]);
      assert.equal(await page.$eval('#usage', (pre) => pre.textContent), usage);
      const logged = console.filter((m) => m.type === 'log').map((m) => m.text + '\n');
      assert.equal(logged.join(''), usage);
    },
  },
  {
    name: 'the canvas takes the keyboard when clicked',
    engines: EVERY_ENGINE,
    run: async () => {
      const {page} = session;
      await click(page, '#title');
      assert.notEqual(await page.evaluate(() => document.activeElement.id), 'canvas');
      await click(page, '#canvas');
      assert.equal(await page.evaluate(() => document.activeElement.id), 'canvas');
    },
  },
  {
    // The viewer takes no wheel: over the picture it scrolls the page, as everywhere else.
    name: 'the wheel over the picture scrolls the page and leaves the picture as it was',
    engines: PUPPETEER_ENGINES,
    run: () => onOwnViewer(null, async ({page}) => {
      const before = await settledCanvas(page);
      await page.evaluate(() => window.scrollTo(0, 0));
      const [x, y] = (await canvasPlaces(page))([300, 300]);
      await page.mouse.move(x, y);
      await page.mouse.wheel({deltaY: 120});
      await page.waitForFunction(() => window.scrollY > 0);
      assert.equal(bytesDiffering(await settledCanvas(page), before), 0);
    }),
  },
  {
    // The second view, opened from the eye with only the model shown, is the picture itself.
    name: 'each state looks as the native viewer draws it on Mesa, in the picture and in the ' +
          'second view from the eye',
    engines: EVERY_ENGINE,
    run: async (t) => {
      const {page} = session;
      // Right and middle drags must not open a context menu on the way.
      await page.evaluate(() => {
        window.menusShown = 0;
        document.addEventListener('contextmenu', (event) => {
          window.menusShown += event.defaultPrevented ? 0 : 1;
        });
      });
      await openModelAlone(page, 'fromEye');
      for (const state of states) {
        await t.test(state.name, async (s) => {
          await giveInput(page, state);
          s.diagnostic(assertLooksNative(state, await settledCanvas(page)));
          s.diagnostic(`second view: ${assertLooksNative(state,
                                                         await settledCanvas(page, SECOND))}`);
        });
      }
      await page.evaluate(() => orvane.outside.open(false));
      assert.equal(await page.evaluate(() => window.menusShown), 0);
    },
  },
  {
    // Drawn natively through GLU's gluLookAt multiplied onto the viewer's own projection.
    name: 'from an outside camera the second view shows the model as the native viewer does',
    engines: EVERY_ENGINE,
    run: async (t) => {
      for (const view of outsideViews) {
        await t.test(view.name, (s) => onOwnViewer(null, async ({page}) => {
          await openModelAlone(page, view.camera);
          await giveInput(page, {keys: view.keys});
          s.diagnostic(assertLooksNative(view, await settledCanvas(page, SECOND)));
        }));
      }
    },
  },
  {
    name: "the eye's and the light's marks lie where camera().matrix puts them, and their handles " +
          'over them; a light the view cannot hold is named at its edge',
    engines: ['chromium'],
    run: () => onOwnViewer(null, async ({page}) => {
      await page.evaluate(() => {
        orvane.lab.set('LIGHT_POSITION', [2, 2, -3, 1]);
        orvane.lab.set('GL_LIGHT1', 1);
        orvane.lab.set('GL_LIGHT1_POSITION', [-2, 1, -4, 1]);
        orvane.lab.set('GL_LIGHT1_DIFFUSE', [0.2, 0.8, 0.2, 1]);
        orvane.outside.open(true);
        ['cone', 'vectors', 'normals'].forEach((part) => orvane.outside.show(part, false));
      });
      const {matrix} = await page.evaluate(() => orvane.outside.camera());
      const shot = await settledCanvas(page, SECOND);
      // Each row: a point in eye coordinates, the colour its mark has there, and its handle. Every
      // light on has a mark in its diffuse colour; only light 0's can be dragged.
      const rows = [{at: [0, 0, 0], colour: [26, 26, 26]},
                    {at: [2, 2, -3], colour: [204, 204, 204], handle: '#second-light'},
                    {at: [-2, 1, -4], colour: [51, 204, 51]}];
      for (const {at, colour, handle} of rows) {
        const [x, y] = throughMatrix(matrix, at);
        const i = 4 * (Math.floor(y) * shot.width + Math.floor(x));
        assert.ok(largestOff([...shot.rgba.subarray(i, i + 3)], colour) <= 3,
                  `${at}: ${[...shot.rgba.subarray(i, i + 3)]} at (${x}, ${y})`);
        if (handle) {
          const [hx, hy] = await page.$eval(handle, (h) => {
            const box = h.getBoundingClientRect();
            const view = document.querySelector('#second-view').getBoundingClientRect();
            return [box.left + box.width / 2 - view.left, box.top + box.height / 2 - view.top];
          });
          assert.ok(Math.hypot(hx - x, hy - y) <= 1.5, `${handle} at (${hx}, ${hy}), not (${x}, ${y})`);
        }
      }
      // A light behind the camera is named at the view's edge, on the side it lies across the line
      // of sight, and has no handle to drag.
      const away = [300, 0, -6];
      await page.evaluate((at) => orvane.lab.set('LIGHT_POSITION', [...at, 1]), away);
      await framesSettled(page);
      const [clipX, clipY, , clipW] = clipOf(matrix, away);
      assert.ok(clipW < 0, 'the row needs a light behind the camera');
      const seen = await page.evaluate(() => {
        const scale = document.querySelector('#second-view').getBoundingClientRect().width / 600;
        const label = [...document.querySelectorAll('#second-names span')]
          .find((span) => /\blight(?! \d)/.test(span.textContent));
        return {edge: label.classList.contains('edge'), x: parseFloat(label.style.left) / scale,
                y: parseFloat(label.style.top) / scale,
                handleHidden: document.querySelector('#second-light').hidden};
      });
      assert.ok(seen.edge && seen.handleHidden, JSON.stringify(seen));
      const [dx, dy] = [seen.x - 300, seen.y - 300];
      assert.ok(Math.abs(Math.atan2(dy, dx) - Math.atan2(-clipY, clipX)) < 1e-3,
                `named at (${seen.x}, ${seen.y}), not towards (${clipX}, ${-clipY})`);
      assert.ok(Math.abs(Math.max(Math.abs(dx), Math.abs(dy)) - (300 - 24)) < 0.5,
                `named at (${seen.x}, ${seen.y}), not 24 pixels inside the edge`);
    }),
  },
  {
    // Flat normals, a light at infinity, the viewer at infinity, no spot and no attenuation: every
    // term is the same across a facet, so lit per pixel or per corner it has one colour. Smooth,
    // per corner misses the highlight's shape between the corners.
    name: 'lit per pixel, a facet under a light at infinity is as the picture draws it; on the ' +
          'smooth sphere the highlight is rounder and at least as bright',
    engines: EVERY_ENGINE,
    run: () => onOwnViewer(null, perPixelAgainstPicture),
  },
  {
    name: 'the same where the browser lets no shader write two colours, and the picture lit per ' +
          'pixel is drawn after the picture',
    engines: ['chromium'],
    run: () => onOwnViewer(() => {
      const extension = WebGLRenderingContext.prototype.getExtension;
      WebGLRenderingContext.prototype.getExtension = function (name) {
        return name === 'WEBGL_draw_buffers' ? null : extension.call(this, name);
      };
    }, perPixelAgainstPicture),
  },
  {
    name: 'the second view shows the scene from outside or the picture lit per pixel: opening ' +
          'either closes the other, and closing the one not shown changes nothing',
    engines: ['chromium'],
    run: () => onOwnViewer(null, async ({page}) => {
      // Each row: a call, then whether each is open and the view's title.
      const rows = [
        {call: 'orvane.perPixel.open(true)', open: [false, true], title: 'The picture lit per pixel'},
        {call: 'orvane.outside.open(true)', open: [true, false], title: 'The scene from outside'},
        {call: 'orvane.perPixel.open(false)', open: [true, false], title: 'The scene from outside'},
        {call: 'orvane.perPixel.open(true)', open: [false, true], title: 'The picture lit per pixel'},
        {call: 'orvane.outside.open(false)', open: [false, true], title: 'The picture lit per pixel'},
        {call: 'orvane.perPixel.open(false)', open: [false, false]},
      ];
      for (const {call, open, title} of rows) {
        await page.evaluate(call);
        const seen = await page.evaluate(() => ({
          open: [orvane.outside.isOpen(), orvane.perPixel.isOpen()],
          switched: document.querySelector('#second-switch').checked,
          hidden: document.querySelector('#second').hidden,
          title: document.querySelector('#second-title').textContent,
        }));
        assert.deepEqual(seen.open, open, call);
        assert.equal(seen.switched, open.includes(true), call);
        assert.equal(seen.hidden, !open.includes(true), call);
        if (title) {
          assert.equal(seen.title, title, call);
        }
      }
    }),
  },
  {
    name: 'Save the picture saves what the canvases show, the second view beside the picture while ' +
          'it is open, under a name that says the model, the modes and whether the lab changed',
    engines: ['chromium'],
    run: () => onOwnViewer(null, async ({page}) => {
      const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-saved-'));
      const cdp = await page.createCDPSession();
      await cdp.send('Browser.setDownloadBehavior',
                     {behavior: 'allow', downloadPath: folder, eventsEnabled: true});
      const rows = [
        {keys: '4sw', canvases: ['#canvas'],
         name: 'orvane-tree-smooth-normals-highlight-off-wireframe.png'},
        {keys: 'h', lab: {HIGHLIGHT_SHININESS: 10}, second: 'outside', canvases: ['#canvas', SECOND],
         name: 'orvane-tree-smooth-normals-highlight-on-wireframe-lab-changed-and-outside.png'},
        {keys: 'p', second: 'perPixel', canvases: ['#canvas', SECOND],
         name: 'orvane-tree-smooth-normals-highlight-on-filled-lab-changed-and-per-pixel.png'},
      ];
      for (const {keys, lab = {}, second, canvases, name} of rows) {
        await giveInput(page, {keys});
        await page.evaluate((numbers, open) => {
          Object.entries(numbers).forEach(([number, value]) => orvane.lab.set(number, value));
          if (open) {
            orvane[open].open(true);
          }
        }, lab, second);
        let completed;
        const saved = new Promise((resolve) => {
          completed = (progress) => progress.state === 'completed' && resolve();
        });
        cdp.on('Browser.downloadProgress', completed);
        await click(page, '#save-picture');
        await saved;
        cdp.off('Browser.downloadProgress', completed);
        const file = path.join(folder, name);
        const picture = await decodedPng(page, fs.readFileSync(file).toString('base64'));
        fs.rmSync(file);
        const shown = [];
        for (const selector of canvases) {
          shown.push(await settledCanvas(page, selector));
        }
        assert.equal(picture.width, shown.reduce((sum, c) => sum + c.width, 0), name);
        let left = 0;
        for (const [i, canvas] of shown.entries()) {
          let worst = 0;
          for (let y = 0; y < canvas.height; ++y) {
            for (let x = 0; x < canvas.width; ++x) {
              const at = 4 * (y * canvas.width + x);
              const there = 4 * (y * picture.width + left + x);
              for (let c = 0; c < 3; ++c) {
                worst = Math.max(worst, Math.abs(canvas.rgba[at + c] - picture.rgba[there + c]));
              }
            }
          }
          assert.ok(worst <= 1, `${name}: ${canvases[i]} off by ${worst} levels`);
          left += canvas.width;
        }
      }
      fs.rmdirSync(folder);
    }),
  },
  {
    // On the sphere, 6 units in front of the eye: a normal a facet, from its first corner, or one
    // a corner, each pointing out of the sphere.
    name: 'normals() gives the normals the program sends, one a facet or one a corner',
    engines: ['chromium'],
    run: () => onOwnViewer(null, async ({page}) => {
      await page.evaluate(() => {
        orvane.outside.open(true);
        orvane.outside.show('normals', true);
      });
      // Degrees: a facet's normal is its middle's; a corner's is the corner's own, but for the
      // single precision GL works in.
      const rows = [{keys: '', count: 800, within: 10}, {keys: 's', count: 3200, within: 0.001}];
      for (const {keys, count, within} of rows) {
        await giveInput(page, {keys});
        await framesSettled(page);
        const normals = await page.evaluate(() => orvane.outside.normals());
        assert.equal(normals.length, count, `after "${keys}"`);
        for (const [x0, y0, z0, x1, y1, z1] of normals) {
          const out = [x0, y0, z0 + 6];
          const along = [x1 - x0, y1 - y0, z1 - z0];
          assert.ok(Math.abs(Math.hypot(...out) - 1) < 1e-5, `(${x0}, ${y0}, ${z0}) is off the sphere`);
          assert.ok(Math.abs(Math.hypot(...along) - 0.12) < 1e-5, 'not 0.12 long');
          // As atan2 of the cross and the dot product, which stays exact near 0.
          const cross = [out[1] * along[2] - out[2] * along[1], out[2] * along[0] - out[0] * along[2],
                         out[0] * along[1] - out[1] * along[0]];
          const angle = Math.atan2(Math.hypot(...cross),
                                   out.reduce((sum, v, i) => sum + v * along[i], 0)) * 180 / Math.PI;
          assert.ok(angle <= within, `${angle.toFixed(4)} degrees off the sphere's own normal`);
        }
      }
    }),
  },
  {
    // Each row: a spotlight at the eye, aimed off the sphere's centre, and by how many degrees it
    // misses the sphere's nearest corner, from the sphere's own corners (drawSphere: 20 bands of
    // 40 facets, 6 units in front of the eye), or null where it reaches the sphere.
    name: 'where the spot misses the model, the picture\'s name and the lab say so, and by how much',
    engines: ['chromium'],
    run: () => onOwnViewer(null, async ({page}) => {
      const PI_APPROX = 3.141592654;
      const corners = [];
      for (let i = 0; i <= 20; ++i) {
        for (let j = 0; j <= 40; ++j) {
          const [b, a] = [i * PI_APPROX / 20, j * PI_APPROX / 20];
          corners.push([Math.sin(b) * Math.cos(a), Math.cos(b) * Math.cos(a), Math.sin(a) - 6]);
        }
      }
      const aim = [0.5, 0, -1];
      const nearest = Math.min(...corners.map((c) => Math.acos(
        c.reduce((sum, v, k) => sum + v * aim[k], 0) / Math.hypot(...c) / Math.hypot(...aim)))) *
        180 / Math.PI;
      const rows = [{cutoff: 5, missesBy: nearest - 5}, {cutoff: 20, missesBy: null}];
      for (const {cutoff, missesBy} of rows) {
        await page.evaluate((numbers) => Object.entries(numbers).forEach(
          ([name, value]) => orvane.lab.set(name, value)),
        {LIGHT_POSITION: [0, 0, 0, 1], GL_SPOT_DIRECTION: aim, GL_SPOT_CUTOFF: cutoff});
        await framesSettled(page);
        const {name, lab} = await page.evaluate(() => ({
          name: document.querySelector('#canvas').getAttribute('aria-label'),
          lab: document.querySelector('#lab-spot').textContent}));
        const said = /the spotlight misses the model by ([\d.]+)°/.exec(name);
        if (missesBy === null) {
          assert.equal(said, null, name);
          assert.equal(lab, '');
        } else {
          assert.ok(said && Math.abs(Number(said[1]) - missesBy) <= 0.06,
                    `${name}: not ${missesBy.toFixed(2)}°`);
          assert.match(lab, /The spot misses the model/);
        }
      }
    }),
  },
  {
    name: 'the second view works from the keyboard: its keys turn and zoom the camera, and the ' +
          "light's handle moves the light",
    engines: EVERY_ENGINE,
    run: () => onOwnViewer(null, async ({page}) => {
      await page.evaluate(() => {
        orvane.lab.set('LIGHT_POSITION', [2, 2, -3, 1]);
        orvane.lab.set('GL_LIGHT1', 1);
        orvane.lab.set('GL_LIGHT1_POSITION', [-2, 1, -4, 1]);
        orvane.lab.set('GL_LIGHT1_DIFFUSE', [0.2, 0.8, 0.2, 1]);
        orvane.outside.open(true);
      });
      await page.evaluate(() => document.querySelector('#second-view').focus());
      // Each row: a key, and what the camera or the light must then be.
      const rows = [{key: 'ArrowRight', camera: {yaw: 45, pitch: 25, distance: 20}},
                    {key: 'Shift+ArrowUp', camera: {yaw: 45, pitch: 24, distance: 20}},
                    {key: '+', camera: {yaw: 45, pitch: 24, distance: 20 / 1.1}},
                    {tab: '#second-light', key: 'ArrowUp', lightRises: true},
                    {from: '#canvas', tab: '[name="second-shows"]:checked', key: 'ArrowRight',
                     perPixel: true}];
      for (const {key, from, tab, camera, lightRises, perPixel} of rows) {
        if (from) {
          await page.evaluate((selector) => document.querySelector(selector).focus(), from);
        }
        if (tab) {
          await tabTo(page, tab);
        }
        const before = await page.evaluate(() => orvane.lab.get('LIGHT_POSITION'));
        await press(page, key);
        if (camera) {
          const seen = await page.evaluate(() => orvane.outside.camera());
          for (const [part, value] of Object.entries(camera)) {
            assert.ok(Math.abs(seen[part] - value) < 1e-6, `${key}: ${part} ${seen[part]}`);
          }
        }
        if (lightRises) {
          const after = await page.evaluate(() => orvane.lab.get('LIGHT_POSITION'));
          assert.ok(after[1] > before[1], `${key}: the light at ${after}, not above ${before}`);
        }
        if (perPixel) {
          assert.ok(await page.evaluate(() => orvane.perPixel.isOpen()), `${key}: not per pixel`);
        }
      }
    }),
  },
  {
    name: 'on a canvas the page shows at half size, drags still count in canvas pixels',
    engines: PUPPETEER_ENGINES,
    run: () => onOwnViewer(null, async ({page}) => {
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
    }),
  },
  {
    // The layer draws with 16-bit indices only: a browser without 32-bit ones
    // (OES_element_index_uint) draws the tree, over 65,536 vertices, the same.
    name: 'without 32-bit indices the tree still looks as the native viewer draws it',
    engines: PUPPETEER_ENGINES,
    run: () => {
      const withoutWideIndices = () => {
        const getExtension = WebGLRenderingContext.prototype.getExtension;
        WebGLRenderingContext.prototype.getExtension = function (name) {
          return name === 'OES_element_index_uint' ? null : getExtension.call(this, name);
        };
      };
      return onOwnViewer(withoutWideIndices, async ({page}) => {
        const tree = stateNamed('tree-flat');
        await giveInput(page, tree);
        assertLooksNative(tree, await settledCanvas(page));
      });
    },
  },
  {
    name: 'a key button on the page acts as its key',
    engines: EVERY_ENGINE,
    run: async () => {
      const {page} = session;
      const before = await settledCanvas(page);
      await click(page, '#keys button[data-key="s"]');
      assert.notEqual(bytesDiffering(await settledCanvas(page), before), 0);
      await click(page, '#keys button[data-key="s"]');
      assert.equal(bytesDiffering(await settledCanvas(page), before), 0);
    },
  },
  {
    // Each way of dragging walks the states as far as the middle button's zoom, and every state a
    // drag makes must look as the native viewer's mouse drag drew it.
    name: 'one finger turns and two fingers pinch as the mouse drags do; a pen drags as the mouse',
    engines: ['chromium'],
    run: async (t) => {
      const last = states.indexOf(stateNamed('tree-zoomed-in'));
      const ways = {
        'touch': (page, drag) => touchDrag(page, drag),
        'touch, a third finger wandering':
          (page, drag) => touchDrag(page, drag, {extraFinger: true}),
        'pen': penDrag,
      };
      for (const [way, dragWith] of Object.entries(ways)) {
        await t.test(way, (w) => onOwnViewer(null, async ({page, errors}) => {
          for (const state of states.slice(0, last + 1)) {
            await giveInput(page, {keys: state.keys});
            if (state.drag) {
              await dragWith(page, state.drag);
              w.diagnostic(`${state.name}: ${assertLooksNative(state, await settledCanvas(page))}`);
            }
          }
          assert.deepEqual(errors.map(String), []);
        }));
      }
    },
  },
  {
    name: 'touches the browser cancels, and any touches at all, leave no drag behind',
    engines: ['chromium'],
    run: async (t) => {
      const turned = states.indexOf(stateNamed('sphere-turned'));
      await t.test('a cancelled touch ends its drag', () => onOwnViewer(null, async ({page}) => {
        for (const state of states.slice(0, turned)) {
          await giveInput(page, state);
        }
        // Half of sphere-turned's drag, cancelled; then the other half with a new finger, which
        // must turn the model rather than pinch with the one the browser cancelled.
        const fingers = await touchScreen(page);
        await fingers.down([[300, 300]]);
        await fingers.move([[280, 320]]);
        await fingers.cancel();
        await touchDrag(page, {button: 0, from: [280, 320], to: [260, 350]});
        assertLooksNative(states[turned], await settledCanvas(page));
      }));
      await t.test('random touches, then the viewer still answers',
                   () => onOwnViewer(null, async ({page, errors}) => {
        const fingers = await touchScreen(page);
        let seed = 20261209;
        const random = (n) => (seed = (seed * 1103515245 + 12345) % 2147483648) % n;
        // Fingers come and go in any number and order; a touch screen starts with one down.
        const steps = [fingers.down, fingers.move, fingers.lift, fingers.cancel];
        let down = false;
        for (let i = 0; i < 120; ++i) {
          const points = Array.from({length: 1 + random(4)},
                                    () => [random(640) - 20, random(640) - 20]);
          const step = down ? random(steps.length) : 0;
          await steps[step](points);
          down = step < 2;
        }
        await fingers.lift();
        // A finger's drag, then the mouse's drag back, must leave the picture as it was: no
        // finger is left down to make the drag a pinch, and nothing turns the model behind it.
        const before = await settledCanvas(page);
        await touchDrag(page, {button: 0, from: [300, 300], to: [350, 260]});
        assert.notEqual(bytesDiffering(await settledCanvas(page), before), 0);
        await giveInput(page, {keys: '', drag: {button: 0, from: [350, 260], to: [300, 300]}});
        assert.equal(bytesDiffering(await settledCanvas(page), before), 0);
        assert.deepEqual(errors.map(String), []);
      }));
    },
  },
  {
    // Each row: a page at a screen's width (and its text at a size), and what it must show there:
    // the window's offset, the key buttons' least size, and whether the keys come straight under
    // the picture, with nothing cut off at the screen's edge.
    name: 'on each screen the page does not scroll sideways: on a phone the buttons fit a finger ' +
          'and the keys sit under the picture, also with text at 200 %; desktop keeps the offset',
    engines: ['chromium'],
    run: async (t) => {
      const PHONE_320 = {...PHONE, width: 320};
      const screens = [
        {name: 'phone, 360 px', viewport: PHONE, offset: 0, button: 44, numberBox: 24,
         editing: true},
        {name: 'phone, 412 px', viewport: WIDER_PHONE, offset: 0, button: 44, numberBox: 24},
        {name: 'desktop', viewport: {width: 1200, height: 900, deviceScaleFactor: 1}, offset: 50,
         button: 0, numberBox: 24},
        ...['', 'lessons.html'].flatMap((address) => ['100%', '200%'].map((text) => (
          {name: `${address || 'index.html'}, 320 px, text at ${text}`, viewport: PHONE_320,
           address, text, keysUnder: true}))),
        {name: 'index.html, 320 px, the second view open', viewport: PHONE_320, text: '100%',
         keysUnder: true, second: true},
      ];
      for (const screen of screens) {
        await t.test(screen.name, () => onOwnViewer(null, async ({page}) => {
          await page.setViewport(screen.viewport);
          // A phone's viewport loads the page again.
          await viewerStarted(page);
          await page.evaluate((size, second) => {
            document.documentElement.style.fontSize = size;
            if (second) {
              orvane.outside.open(true);
            }
          }, screen.text ?? '', screen.second ?? false);
          await framesSettled(page);
          const seen = await page.evaluate(() => {
            const box = (selector) => document.querySelector(selector).getBoundingClientRect();
            return {
              overflow: document.documentElement.scrollWidth - document.documentElement.clientWidth,
              offset: box('#canvas').left - box('main').left,
              canvasRight: box('#canvas').right,
              smallestButton: Math.min(...[...document.querySelectorAll('#keys button')].map(
                (button) => {
                  const {width, height} = button.getBoundingClientRect();
                  return Math.min(width, height);
                })),
              smallestNumberBox: Math.min(...[...document.querySelectorAll('.lab-number')].map(
                (input) => {
                  const {width, height} = input.getBoundingClientRect();
                  return Math.min(width, height);
                })),
              gap: box('#keys').top - box('#canvas').bottom - box('#controls-title').height,
              keysFirst: box('#keys').top < box('#probe').top && box('#probe').top < box('#lab').top,
              clipped: [...document.querySelectorAll('body *')].filter((e) =>
                e.getBoundingClientRect().right > innerWidth + 0.5 && !e.closest('.scrolls') &&
                e.getClientRects().length > 0).map((e) => e.tagName + ' ' +
                                                          e.textContent.slice(0, 40)),
            };
          });
          assert.equal(seen.overflow, 0);
          assert.ok(seen.canvasRight <= screen.viewport.width, `canvas ends at ${seen.canvasRight}`);
          if (screen.offset !== undefined) {
            assert.equal(seen.offset, screen.offset);
            assert.ok(seen.smallestButton >= screen.button,
                      `a button ${seen.smallestButton} px across`);
            assert.ok(seen.smallestNumberBox >= screen.numberBox,
                      `a lab number ${seen.smallestNumberBox} px across`);
          }
          if (screen.editing) {
            // Far below the picture, a lab number being edited has a copy of it in sight.
            await click(page, '#lab [data-name="HIGHLIGHT_SHININESS"] [data-part="0"]');
            await page.waitForFunction(() => {
              const inView = (e) => e.getClientRects().length > 0 &&
                e.getBoundingClientRect().bottom > 0 && e.getBoundingClientRect().top < innerHeight;
              return !inView(document.querySelector('#canvas')) &&
                inView(document.querySelector('#lab-preview'));
            });
          }
          if (screen.keysUnder) {
            t.diagnostic(`${screen.name}: the keys begin ${seen.gap} px below the picture, ` +
                         'their heading aside');
            assert.deepEqual(seen.clipped, []);
            assert.ok(seen.keysFirst, 'the keys do not come before the probe and the lab');
            // Nothing but their heading, and the margins about it, between the picture and them.
            assert.ok(seen.gap < 0.4 * parseFloat(screen.text),
                      `the keys begin ${seen.gap} px below`);
          }
        }, screen.address));
      }
    },
  },
  {
    name: 'a lost context comes back with the picture it had, twice, and input goes on meanwhile',
    engines: PUPPETEER_ENGINES,
    run: () => onOwnViewer(null, async ({page, errors}) => {
      const lit = states.indexOf(stateNamed('cylinder-turned-smooth-highlight'));
      for (const state of states.slice(0, lit + 1)) {
        await giveInput(page, state);
      }
      const shown = await settledCanvas(page);
      // Taken while the context is there: a lost context offers no extensions.
      await page.evaluate(() => {
        window.loseContext = document.querySelector('#canvas').getContext('webgl')
                               .getExtension('WEBGL_lose_context');
      });
      const context = (call) => page.evaluate((name) => window.loseContext[name](), call);
      for (const round of [1, 2]) {
        await context('loseContext');
        await page.waitForFunction(() => document.querySelector('#status.lost') !== null);
        assert.match(await page.$eval('#status', (line) => line.textContent),
                     /graphics context away/);
        await context('restoreContext');
        await page.waitForFunction(() => document.querySelector('#status').className === '');
        assert.equal(bytesDiffering(await settledCanvas(page), shown), 0, `after loss ${round}`);
      }
      // Keys and a drag while lost count, and the drag that spans the loss ends.
      const at = await canvasPlaces(page);
      await page.mouse.move(...at([300, 300]));
      await page.mouse.down();
      await context('loseContext');
      await page.waitForFunction(() => document.querySelector('#status.lost') !== null);
      await page.mouse.move(...at([300, 300]), {steps: 2});
      await page.mouse.up();
      await giveInput(page, states[lit + 1]);
      await context('restoreContext');
      assertLooksNative(states[lit + 1], await settledCanvas(page));
      assert.deepEqual(errors.map(String), []);
    }),
  },
  {
    name: "each lesson's button shows its step as the native viewer draws it, whatever was " +
          'shown before',
    engines: ['chromium'],
    run: (t) => onLessonsPage(async (page) => {
      const buttons = await page.$$eval('[data-try]', (all) => all.map(
        (b) => ({name: b.dataset.name, setsLab: b.dataset.try.includes('=')})));
      assert.ok(buttons.length >= 6, `only ${buttons.length} buttons`);
      const before = {
        'the viewer as it starts': [],
        'the tree as lines, turned and zoomed': [
          {keys: '4w', drag: {button: 0, from: [300, 300], to: [340, 250]}},
          {keys: '', drag: {button: 2, from: [300, 300], to: [300, 420]}},
        ],
        'a viewer ended with Q': [{keys: 'q'}],
        'the lab\'s numbers changed': [{lab: {GL_SHADE_MODEL: 'GL_FLAT', HIGHLIGHT_SHININESS: 3,
                                                LIGHT_DIFFUSE: [0.3, 0.3, 0.3, 1]}}],
      };
      const befores = Object.entries(before);
      // Each button that only types and drags, from every state before; each that also sets the
      // lab's numbers (drawn by a build with them in, lab_frames.cmake), from one, in turn.
      let turn = 0;
      for (const {name, setsLab} of buttons) {
        const step = {name: setsLab ? `lab/lesson-${name}/lesson-${name}` : `lesson-${name}`,
                      polygonMode: name === 'polygon-modes' ? 'line' : 'fill'};
        const from = setsLab ? [befores[turn++ % befores.length]] : befores.slice(0, 3);
        for (const [what, inputs] of from) {
          await t.test(`${name}, from ${what}`, async (s) => {
            for (const {lab, ...input} of inputs) {
              await (lab ? page.evaluate((numbers) => Object.entries(numbers).forEach(
                ([number, value]) => orvane.lab.set(number, value)), lab) : giveInput(page, input));
            }
            await Promise.all([page.waitForNavigation(), page.click(`[data-name="${name}"]`)]);
            await page.waitForFunction((shown) => document.body.dataset.shown === shown, {}, name);
            s.diagnostic(assertLooksNative(step, await settledCanvas(page)));
          });
        }
      }
    }),
  },
  {
    name: 'the lessons sit beside the viewer on a wide screen and under it on a phone, linked ' +
          'both ways',
    engines: ['chromium'],
    run: async (t) => {
      const screens = [
        {name: '1366 x 900', viewport: {width: 1366, height: 900, deviceScaleFactor: 1},
         beside: true, keepsProbe: true},
        {name: '1024 x 768', viewport: {width: 1024, height: 768, deviceScaleFactor: 1},
         beside: true},
        {name: 'phone, 360 px', viewport: PHONE, beside: false},
      ];
      for (const screen of screens) {
        await t.test(screen.name, () => onLessonsPage(async (page) => {
          await page.setViewport(screen.viewport);
          const box = (selector) => page.$eval(selector, (e) => e.getBoundingClientRect().toJSON());
          const [viewer, lessons] = [await box('#viewer'), await box('#lessons')];
          if (screen.beside) {
            assert.ok(viewer.left >= lessons.right,
                      `the viewer (${viewer.left}..${viewer.right}) is not beside the lessons ` +
                      `(${lessons.left}..${lessons.right})`);
            // Scrolled to the last lesson, the picture is still in view.
            await page.$eval('#lessons > :last-child', (last) => last.scrollIntoView());
            const canvas = await box('#canvas');
            assert.ok(canvas.top >= 0 && canvas.bottom <= screen.viewport.height,
                      `the canvas is at ${canvas.top}..${canvas.bottom}`);
            // Nothing lies under the picture: every control beside it, brought into view as Tab
            // brings it, is what a click there reaches.
            const hidden = await page.evaluate(() => [...document.querySelectorAll(
              '#viewer button, #viewer input, #viewer summary')].filter((control) => {
              if (!control.checkVisibility()) {
                return false;
              }
              control.scrollIntoView({block: 'nearest'});
              const {left, top, width, height} = control.getBoundingClientRect();
              return !control.contains(document.elementFromPoint(left + width / 2, top + height / 2));
            }).map((control) => control.id || control.dataset.key || control.textContent.trim()));
            assert.deepEqual(hidden, [], 'controls a click does not reach');
          }
          if (screen.keepsProbe) {
            // A lesson's button starts the viewer afresh, but keeps the probe's switch.
            await click(page, '#probe-switch');
            await Promise.all([page.waitForNavigation(), click(page, '[data-name="highlight"]')]);
            await page.waitForFunction(() => document.body.dataset.shown === 'highlight');
            assert.ok(await page.$eval('#probe-switch', (box) => box.checked), 'the probe is off');
          }
          if (!screen.beside) {
            assert.ok(viewer.bottom <= lessons.top, 'the viewer is not above the lessons');
            assert.equal(await page.evaluate(() => document.documentElement.scrollWidth -
                                                   document.documentElement.clientWidth), 0);
          }
          assert.ok(await page.$('a[href="index.html"]'), 'no link to the viewer on its own');
        }));
      }
      const {page} = session;
      assert.ok(await page.$('a[href="lessons.html"]'),
                'the viewer\'s page has no link to the lessons');
    },
  },
  {
    // docs/LESSONS.md quotes these numbers, which its drift test cannot check without a browser.
    // SwiftShader drew the same pixels run after run, so they must match exactly.
    name: "lesson 6's numbers are what this browser's picture of the highlighted sphere measures",
    engines: ['chromium'],
    run: () => onOwnViewer(null, async ({page}) => {
      const {shaderDifference} = await import('./harness/pictures.mjs');
      await giveInput(page, {keys: 'sh'});
      const {numbers} = shaderDifference(readPpm(`${FRAMES}/sphere-smooth-highlight.ppm`),
                                         await settledCanvas(page));
      const quoted = lessonNumbers();
      for (const [key, measured] of Object.entries(numbers)) {
        assert.equal(quoted.get(key), String(measured),
                     `${key}: the lessons say ${quoted.get(key)}, measured ${measured}; ` +
                     'run scripts/lessons.sh');
      }
    }),
  },
  {
    // On the suite's own page, since WebKit's driver holds one page at a time; Q then ends the
    // viewer opened from disk.
    name: 'the zip, unpacked, opens from disk: no server needed',
    engines: EVERY_ENGINE,
    run: async () => {
      const {page, errors} = session;
      await page.goto(unpackedSite);
      await page.waitForFunction((title) => document.title === title, {}, WINDOW_TITLE);
      assertLooksNative(states[0], await settledCanvas(page));
      assert.deepEqual(errors.map(String), []);
    },
  },
  {
    name: 'where the browser lacks WebGL or WebAssembly, the page says why, and nothing is thrown',
    engines: PUPPETEER_ENGINES,
    run: async (t) => {
      const lacking = [
        {
          what: 'WebGL',
          take: () => {
            const getContext = HTMLCanvasElement.prototype.getContext;
            HTMLCanvasElement.prototype.getContext = function (type, ...rest) {
              return type === 'webgl' ? null : getContext.call(this, type, ...rest);
            };
          },
          status: '#status.ended',
          says: [/no WebGL 1 context/, /viewer has ended \(exit status 1\)/],
        },
        {
          what: 'WebAssembly',
          take: () => {
            delete window.WebAssembly;
          },
          status: '#status.failed',
          says: [/runs no WebAssembly/],
        },
      ];
      for (const {what, take, status, says} of lacking) {
        await t.test(what, async () => {
          const {page, errors} = await browser.newPage();
          try {
            await page.evaluateOnNewDocument(take);
            await page.goto(server.url);
            await page.waitForSelector(status);
            const said = await page.$eval('#status', (line) => line.textContent);
            for (const words of says) {
              assert.match(said, words);
            }
            assert.deepEqual(errors.map(String), []);
          } finally {
            await page.close();
            await session.page.bringToFront();
          }
        });
      }
    },
  },
  {
    // Each row: a page, and what is done to it before axe-core looks.
    name: 'axe-core finds no violation of WCAG 2.1 A and AA or of best practice, on either page, ' +
          'in any state',
    engines: EVERY_ENGINE,
    run: async (t) => {
      const states = {
        'at start': async () => {},
        'after keys': (page) => giveInput(page, {keys: '4sh'}).then(() => press(page, 'ArrowRight')),
        'with the probe\'s panel open': async (page) => {
          await click(page, '#probe-switch');
          await page.evaluate(() => document.querySelector('#canvas').focus());
          await press(page, 'Enter');
          await page.waitForFunction(() => !document.querySelector('#probe-panel').hidden);
        },
        'with the lab open, a second light\'s lines among them': async (page) => {
          await page.evaluate(() => {
            document.querySelector('#lab-open').open = true;
            orvane.lab.set('GL_SPOT_CUTOFF', 30);
            orvane.lab.set('GL_LIGHT1', 1);
          });
          // The help box takes its height a frame after the lab opens, moving what is below it.
          await framesSettled(page);
          await click(page, '#lab-code');
        },
        'at 320 CSS px': (page) => page.setViewport({width: 320, height: 700}),
        'with the picture lit per pixel and the probe\'s panel open on it': async (page) => {
          await page.evaluate(() => orvane.perPixel.open(true));
          await click(page, '#probe-switch');
          await page.evaluate(() => document.querySelector('#canvas').focus());
          await press(page, 'Enter');
          await page.waitForFunction(() => !document.querySelector('#probe-panel').hidden);
        },
        'with the second view open on the probe\'s vectors': async (page) => {
          await page.evaluate(() => {
            orvane.outside.open(true);
            orvane.outside.show('normals', true);
            orvane.setProbing(true);
            orvane.lab.set('GL_SPOT_CUTOFF', 30);
          });
          await framesSettled(page);
        },
      };
      for (const address of ['', 'lessons.html']) {
        for (const [state, reach] of Object.entries(states)) {
          await t.test(`${address || 'index.html'}, ${state}`, (s) => onOwnViewer(null,
            async ({page}) => {
              await reach(page);
              await framesSettled(page);
              const violations = await axeViolations(page);
              s.diagnostic(`${violations.length} violations`);
              assert.deepEqual(violations, []);
            }, address));
        }
      }
    },
  },
  {
    name: 'from the keyboard alone: Tab reaches the picture, and its keys give the native ' +
          'viewer\'s pictures after the drags they stand for, each named and told as it changes',
    engines: EVERY_ENGINE,
    run: (t) => onOwnViewer(null, async ({page, errors}) => {
      t.diagnostic(`Tab pressed ${await tabTo(page, '#canvas')} times to reach the picture`);
      assert.ok(await hasAccessibleName(page, '#canvas', 'image', pictureName(
        {model: 0, smoothShading: false, highlight: false, polygonMode: 'fill', angleX: 0,
         angleY: 0, zoom: 1})), 'the picture\'s name as the viewer starts');
      for (const state of keyboardStates) {
        for (const key of [...state.keys, ...state.presses]) {
          await press(page, key);
        }
        const {said} = looksNative(readPpm(`${FRAMES}/${state.name}.ppm`),
                                   await settledCanvas(page), state.polygonMode);
        const name = pictureName(state.viewer);
        t.diagnostic(`${state.name}: ${said}; the picture is named "${name}"`);
        assertLooksNative(state, await settledCanvas(page));
        assert.ok(await hasAccessibleName(page, '#canvas', 'image', name),
                  `${state.name}: the picture is not named "${name}"`);
        // The buttons say which keys are on, and the live region what the keys changed.
        const pressed = await page.evaluate(() => [...document.querySelectorAll(
          '#keys [aria-pressed="true"]')].map((button) => button.dataset.key).join(''));
        const v = state.viewer;
        assert.equal(pressed, `${v.model + 1}${v.smoothShading ? 's' : ''}` +
                              `${v.highlight ? 'h' : ''}${{fill: 'p', line: 'w', point: 'v'}[
                                v.polygonMode]}`, state.name);
        const told = `turned ${v.angleY}\u00b0 about y and ${v.angleX}\u00b0 about x`;
        await page.waitForFunction((words) => document.querySelector('#said').textContent
          .toLowerCase().includes(words), {}, told);
      }
      assert.equal(await page.evaluate(() => document.activeElement.id), 'canvas');
      assert.deepEqual(errors.map(String), []);
    }),
  },
  {
    name: 'the Tab order follows the page and leaves the picture; nothing keeps the focus',
    engines: EVERY_ENGINE,
    run: () => onOwnViewer(null, async ({page}) => {
      const order = await page.evaluate(() => [...document.querySelectorAll(
        'a[href], button, input, [tabindex="0"], summary')].filter(
        (e) => !e.disabled && e.checkVisibility()).map((e) => e.id || e.dataset.key ||
                                                                  e.textContent.trim()));
      const reached = [];
      for (let i = 0; i < order.length; ++i) {
        await press(page, 'Tab');
        reached.push(await page.evaluate((e = document.activeElement) => e.id || e.dataset.key ||
                                                                          e.textContent.trim()));
      }
      assert.deepEqual(reached, order);
      await page.evaluate(() => document.querySelector('#canvas').focus());
      await press(page, 'Tab');
      assert.equal(await page.evaluate(() => document.activeElement.dataset.key), '1');
    }),
  },
  {
    // A pointer that cannot drag or pinch (one finger, a switch, a head pointer) clicks these.
    name: 'the turn and zoom buttons turn and zoom the model as the keys and drags do',
    engines: EVERY_ENGINE,
    run: () => onOwnViewer(null, async ({page}) => {
      const [turned] = keyboardStates;
      for (const key of turned.presses) {
        await click(page, `#keys button[data-key="${key}"]`);
      }
      assertLooksNative(turned, await settledCanvas(page));
    }),
  },
  {
    name: 'Q ends the viewer: the page says so and how to start again, input stops, nothing thrown',
    engines: EVERY_ENGINE,
    run: async () => {
      const {page, console, errors} = session;
      await giveInput(page, {keys: 'q'});
      await page.waitForFunction(() => document.querySelector('#status.ended') !== null);
      const status = await page.$eval('#status', (line) => line.textContent);
      assert.match(status, /viewer has ended \(exit status 0\)/);
      assert.match(status, /Reload the page to start it again/);
      assert.ok(await page.$eval('#keys button', (button) => button.disabled));

      const ended = await settledCanvas(page);
      await giveInput(page, {keys: '2w', drag: {button: 0, from: [300, 300], to: [400, 380]}});
      assert.equal(bytesDiffering(await settledCanvas(page), ended), 0);
      assert.deepEqual(errors.map(String), []);
      assert.deepEqual(console.filter((m) => m.type === 'error').map((m) => m.text), []);
    },
  },
];

for (const {name, engines, run} of cases) {
  test(name, {skip: !engines.includes(ENGINE) && `not run in ${ENGINE}`}, run);
}

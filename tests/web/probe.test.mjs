// The lighting probe on the viewer's page in headless Chromium: states reached with the viewer's own
// keys, the Probe switch clicked as a person clicks it, and orvane.probe(x, y) at a table of pixels.
// Each answer must agree with the screen (the colour its weights predict against the pixel read
// back) and with OpenGL 1.x's lighting equation, worked out here from each corner's position and
// normal and the light and materials the viewer sets (src/shell/lighting.cpp,
// src/geometry/materials.cpp); and, with the picture lit per pixel open beside it, so must its
// answer for the pixel itself, against that view.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import {after, before, test} from 'node:test';

import {canvasPixels, framesSettled, launchBrowser, serve} from './harness/browser.mjs';
import {colourAt, dot, faceMaterial, material, numbers, towardsLight, unit}
  from './harness/equation.mjs';
import {lessonNumbers} from './harness/lessons.mjs';
import {click, openViewer, placeOf, press} from './harness/page.mjs';

const SITE = process.env.ORVANE_WEB_SITE;

// Levels of 255. The pixel is the corners' colours interpolated by the GPU and rounded to 8 bits.
const PIXEL_LEVELS = 2;
// The probe works the equation in single precision, as the shader does; this test in double.
const CORNER_LEVELS = 0.05;

// gluPerspective(40, 1, 1, 80) on the 600-pixel canvas (src/shell/main.cpp).
const FOCAL = 1 / Math.tan((20 * Math.PI) / 180);
const CANVAS_SIZE = 600;
// Corners snap to 1/16 pixel before the rasteriser interpolates: the point the weights give lies
// that far from where the exact corners put it.
const CENTRE_PIXELS = 0.15;

// What the keys 1 2 3, S, H and P/W/V set; the viewer starts as the first.
const START = {model: '1', smooth: false, highlight: false, mode: 'p'};

// Canvas pixels from the top left, each with the material that must be under it. Most sit well
// inside a facet; the ones marked arbitrary were picked without looking at the facets.
const SPHERE_PIXELS = [
  [300, 300], [240, 230], [360, 360], [250, 350], [350, 250], [200, 300], [300, 200],
  [287, 313], [331, 271], [263, 339], [401, 322], // arbitrary
].map(([x, y]) => ({x, y, part: 'sphere'}));
// End on, the open cylinder is a ring 127 to 150 pixels from the centre: its inside wall.
const CYLINDER_PIXELS = [
  [300, 162], [300, 438], [162, 300], [438, 300], [202, 202], [398, 398],
  [205, 396], [397, 205], [171, 259], [430, 343], // arbitrary
].map(([x, y]) => ({x, y, part: 'cylinder'}));
// Rungs of the twisted ladder (thin rods, about 13 pixels across) near the middle of the picture.
const RUNG_PIXELS = [
  [368, 300], [368, 290], [403, 300], [437, 310], [371, 293], [405, 306], // last two arbitrary
].map(([x, y]) => ({x, y, part: 'cylinder'}));

const STATES = [];
for (const [model, pixels] of [['1', SPHERE_PIXELS], ['2', CYLINDER_PIXELS], ['3', RUNG_PIXELS]]) {
  for (const smooth of [false, true]) {
    for (const highlight of [false, true]) {
      STATES.push({model, smooth, highlight, mode: 'p', pixels});
    }
  }
}

let server;
let chromium;
let page;
let state = {...START};

before(async () => {
  server = await serve(SITE);
  chromium = await launchBrowser('chromium');
  ({page} = await openViewer(chromium, server.url));
});

after(async () => {
  await chromium?.close();
  await server?.close();
});

// Presses the keys that take the viewer from the state it is in to `wanted`; what `wanted` does
// not name stays as it is.
async function reach(change) {
  const wanted = {...state, ...change};
  const keys = [];
  if (wanted.model !== state.model) {
    keys.push(wanted.model);
  }
  if (wanted.smooth !== state.smooth) {
    keys.push('s');
  }
  if (wanted.highlight !== state.highlight) {
    keys.push('h');
  }
  if (wanted.mode !== state.mode) {
    keys.push(wanted.mode);
  }
  await page.focus('#canvas');
  for (const key of keys) {
    await page.keyboard.press(key);
  }
  state = wanted;
  await framesSettled(page);
}

async function setProbeSwitch(on) {
  if (await page.$eval('#probe-switch', (box) => box.checked) !== on) {
    await page.click('#probe-switch');
  }
  await framesSettled(page);
}

function probe(x, y) {
  return page.evaluate((px, py) => globalThis.orvane.probe(px, py), x, y);
}

// An eye-space point's place on the canvas, in pixels from the top left.
function onCanvas([x, y, z]) {
  const half = CANVAS_SIZE / 2;
  return [half * (1 + (FOCAL * x) / -z), half * (1 - (FOCAL * y) / -z)];
}

const largest = (a, b) => Math.max(...a.map((v, i) => Math.abs(v - b[i])));

// Twice the area of the polygon the corners make on the canvas: below 0 where GL, whose window
// y runs up, sees them counter-clockwise, the front.
function canvasArea(corners) {
  const at = corners.map((corner) => onCanvas(corner.position));
  return at.reduce((sum, [x, y], i) => {
    const [nextX, nextY] = at[(i + 1) % at.length];
    return sum + x * nextY - nextX * y;
  }, 0);
}

// The lab's parameter sets (references/lab_sets.json), each probed in the states above of the
// sphere and the end-on cylinder, whose inside wall shows its back faces.
const LAB_SETS = JSON.parse(fs.readFileSync(new URL('references/lab_sets.json', import.meta.url)))
  .sets;
const ROWS = [
  {name: 'the program\'s own numbers', values: {}, states: STATES},
  ...LAB_SETS.map(({name, values}) => ({name: `lab set ${name}`, values,
                                         states: STATES.filter((s) => s.model !== '3')})),
];

test('the probe agrees with the screen and with the lighting equation, per corner and per pixel',
     async (t) => {
  await setProbeSwitch(true);
  await page.evaluate(() => orvane.perPixel.open(true));
  let tried = 0;
  let worstPixel = 0;
  let worstCorner = 0;
  let worstPerPixel = 0;
  for (const row of ROWS) {
    await page.evaluate((values) => {
      orvane.lab.reset();
      Object.entries(values).forEach(([name, value]) => orvane.lab.set(name, value));
    }, row.values);
    const n = numbers(row.values);
    for (const wanted of row.states) {
      const {pixels, ...keys} = wanted;
      await reach(keys);
      const name = `${row.name}: model ${keys.model}, ${keys.smooth ? 'smooth' : 'flat'}, ` +
        `highlight ${keys.highlight ? 'on' : 'off'}`;
      await t.test(name, async () => {
        const perPixelView = await canvasPixels(page, '#second-view');
        for (const {x, y, part} of pixels) {
          const where = `${name}, pixel (${x}, ${y})`;
          const answer = await probe(x, y);
          assert.ok(answer, `${where}: no polygon found`);
          tried += 1;
          const {corners, weights, predicted, pixel} = answer;
          assert.equal(weights.length, corners.length, where);
          assert.ok(weights.every((w) => w >= 0), `${where}: weights ${weights}`);
          assert.ok(Math.abs(weights.reduce((a, b) => a + b) - 1) < 1e-4, `${where}: ${weights}`);
          assert.ok(weights.filter((w) => w > 0).length <= 3, `${where}: one triangle's weights`);

          // Interpolated with the weights, the corners' eye positions give the point the pixel
          // shows, which projects onto the pixel's centre only if the weights are
          // perspective-correct.
          const point = [0, 1, 2].map(
            (c) => corners.reduce((sum, corner, i) => sum + weights[i] * corner.position[c], 0));
          const [px, py] = onCanvas(point);
          assert.ok(Math.hypot(px - (x + 0.5), py - (y + 0.5)) <= CENTRE_PIXELS,
                    `${where}: the weights give the point at (${px}, ${py})`);

          const pixelOff = largest(predicted, pixel);
          worstPixel = Math.max(worstPixel, pixelOff);
          assert.ok(pixelOff <= PIXEL_LEVELS,
                    `${where}: predicted ${predicted}, on the screen ${pixel}`);

          const mixed = [0, 1, 2].map(
            (c) => corners.reduce((sum, corner, i) => sum + weights[i] * corner.colour[c], 0));
          assert.ok(largest(mixed, predicted) <= 0.5,
                    `${where}: ${predicted} is not the mix ${mixed}`);

          // Under GL_FLAT every corner is lit where the first one is.
          const back = canvasArea(corners) > 0;
          assert.equal(answer.face, back ? 'back' : 'front', where);
          const front = material(n, part, keys.highlight);
          for (const [i, corner] of corners.entries()) {
            const litAt = n.GL_SHADE_MODEL === 'GL_FLAT' ? corners[0] : corner;
            // Where the highlight hardly shows, the colour alone cannot tell whether it is on.
            assert.ok(largest(corner.specular.material, faceMaterial(n, front, back).specular) <
                      1e-6, `${where}: specular material ${corner.specular.material}`);
            const expected = colourAt(n, front, litAt.position, unit(litAt.normal), back);
            const off = largest(expected, corner.colour);
            worstCorner = Math.max(worstCorner, off);
            assert.ok(off <= CORNER_LEVELS,
                      `${where}, corner ${i + 1}: ${corner.colour}, by hand ${expected}`);
            // The terms add up to the colour, and the vectors are the equation's.
            const l = towardsLight(n, litAt.position);
            assert.ok(largest(corner.L, l) < 1e-4, `${where}, corner ${i + 1}: L ${corner.L}`);
            assert.ok(Math.abs(corner.nDotL - dot(unit(corner.normal), l)) < 1e-4, where);
            assert.ok(Math.abs(corner.nDotH - dot(unit(corner.normal), corner.H)) < 1e-4, where);
            const terms = [corner.emission.value, corner.ambient.value, corner.diffuse.value,
                           corner.specular.value, ...corner.otherLights.flatMap(
                             (light) => [light.ambient.value, light.diffuse.value,
                                         light.specular.value])];
            const summed = [0, 1, 2].map((c) => Math.min(Math.max(
              terms.reduce((sum, term) => sum + term[c], 0), 0), 255));
            assert.ok(largest(summed, corner.colour) < 0.01,
                      `${where}, corner ${i + 1}: the terms add up to ${summed}`);
          }
          // Per pixel: the equation at the point the weights give, with the corners' normals
          // blended by them (their own: GL_FLAT, which lights each corner with the first one's, is
          // ignored), as the view beside the picture shows it.
          const {perPixel} = answer;
          assert.ok(largest(perPixel.position, point) < 1e-4, `${where}: ${perPixel.position}`);
          if (n.GL_SHADE_MODEL !== 'GL_FLAT') {
            const blended = unit([0, 1, 2].map(
              (c) => corners.reduce((sum, corner, i) => sum + weights[i] * corner.normal[c], 0)));
            assert.ok(largest(perPixel.normal, blended) < 1e-4, `${where}: ${perPixel.normal}`);
          }
          const byHand = colourAt(n, front, perPixel.position, unit(perPixel.normal), back);
          assert.ok(largest(byHand, perPixel.colour) <= CORNER_LEVELS,
                    `${where}, per pixel: ${perPixel.colour}, by hand ${byHand}`);
          const i = 4 * (y * perPixelView.width + x);
          const shown = [...perPixelView.rgba.subarray(i, i + 3)];
          const perPixelOff = largest(perPixel.colour, shown);
          worstPerPixel = Math.max(worstPerPixel, perPixelOff);
          assert.ok(perPixelOff <= PIXEL_LEVELS,
                    `${where}: per pixel ${perPixel.colour}, in the view ${shown}`);

          // On the sphere, smooth normals point away from its centre, 6 in front of the eye.
          if (keys.model === '1' && keys.smooth && n.GL_SHADE_MODEL === 'GL_SMOOTH') {
            for (const corner of corners) {
              const outward = unit([corner.position[0], corner.position[1],
                                    corner.position[2] + 6]);
              assert.ok(largest(unit(corner.normal), outward) < 1e-4, `${where}: normal`);
            }
          }
        }
      });
    }
  }
  await page.evaluate(() => {
    orvane.lab.reset();
    orvane.perPixel.open(false);
  });
  t.diagnostic(`${tried} pixels; largest |predicted - pixel| ${worstPixel} levels; largest ` +
               `corner colour against the equation by hand ${worstCorner.toFixed(4)} levels; ` +
               `largest per-pixel colour against its view ${worstPerPixel.toFixed(2)} levels`);
});

test('at lesson 8\'s pixel the probe gives the weights and both colours the lesson works out',
     async () => {
  const quoted = lessonNumbers();
  const listed = (key) => quoted.get(key).split(', ').map(Number);
  const [x, y] = [Number(quoted.get('PER_PIXEL_X')), Number(quoted.get('PER_PIXEL_Y'))];
  await reach({model: '1', smooth: true, highlight: true, mode: 'p'});
  await setProbeSwitch(true);
  await page.evaluate(() => orvane.perPixel.open(true));
  await framesSettled(page);
  const {corners, weights, triangle, perPixel} = await probe(x, y);
  await page.evaluate(() => orvane.perPixel.open(false));
  // The lesson's weights are the triangle's, in its order from the polygon's first corner.
  assert.ok(largest(triangle.map((i) => weights[i]), listed('PER_PIXEL_WEIGHTS')) < 1e-3,
            `weights ${triangle.map((i) => weights[i])}`);
  const byCorner = [0, 1, 2].map(
    (c) => corners.reduce((sum, corner, i) => sum + weights[i] * corner.colour[c], 0));
  assert.ok(largest(byCorner, listed('PER_PIXEL_BY_CORNER_255')) <= CORNER_LEVELS,
            `per corner ${byCorner}`);
  assert.ok(largest(perPixel.colour, listed('PER_PIXEL_255')) <= CORNER_LEVELS,
            `per pixel ${perPixel.colour}`);
});

test('the probe answers null on the background and where the model is lines or points',
     async () => {
  await setProbeSwitch(true);
  const cases = [
    {keys: {model: '1', mode: 'p'}, pixels: [[5, 5], [590, 10], [300, 590], [300, 300 - 160]]},
    {keys: {model: '2', mode: 'p'}, pixels: [[300, 300], [10, 590]]}, // inside the ring
    {keys: {model: '1', mode: 'w'}, pixels: [[300, 300], [240, 230]]},
    {keys: {model: '1', mode: 'v'}, pixels: [[300, 300], [360, 360]]},
  ];
  for (const {keys, pixels} of cases) {
    await reach(keys);
    for (const [x, y] of pixels) {
      assert.equal(await probe(x, y), null, `${JSON.stringify(keys)} at (${x}, ${y})`);
    }
  }
  // The same pixel, filled again, has a polygon: null above came from the mode, not the place.
  await reach({model: '1', mode: 'p'});
  assert.ok(await probe(300, 300));
});

// With the switch on, the press and drag are the probe's: the model must not turn. Turned off, the
// same drag turns it, which shows that the drag reaches the canvas at all.
test('while the probe is on, a drag on the canvas does not turn the model', async () => {
  await reach({...START, model: '1'});
  // Not half a turn about y, after which the sphere looks the same; `back` turns it back.
  const drag = async (back = false) => {
    const box = await placeOf(page, '#canvas');
    const at = (step) => [box.x + box.width * (0.3 + (back ? 6 - step : step) * 0.025),
                          box.y + box.height * (0.5 + (back ? 6 - step : step) * 0.02)];
    await page.mouse.move(...at(0));
    await page.mouse.down();
    for (let step = 1; step <= 6; ++step) {
      await page.mouse.move(...at(step));
    }
    await page.mouse.up();
    await framesSettled(page);
  };
  await setProbeSwitch(true);
  const before = await canvasPixels(page);
  await drag();
  const during = await canvasPixels(page);
  assert.deepEqual(during.rgba, before.rgba, 'the picture changed while the probe was on');
  assert.equal(await page.$eval('#probe-panel', (panel) => panel.hidden), false,
               'the click showed no probe panel');

  await setProbeSwitch(false);
  await drag();
  const after = await canvasPixels(page);
  assert.notDeepEqual(after.rgba, before.rgba, 'the drag did not turn the model with the probe off');
  // The cases after this one start from the unturned sphere.
  await drag(true);
  assert.deepEqual((await canvasPixels(page)).rgba, before.rgba, 'the drag back did not undo it');
});

// A student toggles the highlight, or changes the lab's numbers, with the panel open: the panel must
// show the new frame's equation at the same pixel, not the old one, with every term in force.
test('with the panel open, a key or a number of the lab that changes the picture probes the ' +
     'same pixel again', async () => {
  await reach({...START, smooth: true});
  await setProbeSwitch(true);
  await click(page, null, [240, 240]);
  const panel = () => page.$eval('#probe-panel', (shown) => shown.textContent);
  const before = await panel();
  assert.match(before, /Pixel \(240, 240\)/);
  assert.match(before, /1 \(shininess 0\)/);
  await reach({highlight: true});
  const after = await panel();
  assert.match(after, /Pixel \(240, 240\)/);
  assert.match(after, /\(N·H\)\^100/);
  // Each row: the lab's numbers, the pixel clicked if not the one before, and what the panel must
  // then say.
  const rows = [
    {values: {HIGHLIGHT_SHININESS: 10}, says: [/\(N·H\)\^10\b/]},
    {values: {GL_LINEAR_ATTENUATION: 0.01},
     says: [/attenuation 1 \/ \(1 \+ 0\.01 d \+ 0 d²\)/, /attenuation at distance 17\d\.\d{4}/]},
    {values: {GL_SPOT_CUTOFF: 60, GL_SPOT_EXPONENT: 2},
     says: [/spot \(−L·D\)\^2 inside the cone of 60°/, /spot \(−L·D = 0\.\d{6}\)/]},
    {values: {GL_LIGHT_MODEL_LOCAL_VIEWER: 1}, says: [/the viewer is local/]},
    {values: {GL_SHADE_MODEL: 'GL_FLAT'}, says: [/every corner takes corner 1's colour/]},
    // The program sends half of the sphere's facets wound clockwise on the screen: the first such
    // pixel along the middle row is clicked.
    {values: {GL_LIGHT_MODEL_TWO_SIDE: 1}, onBackFace: true,
     says: [/a back face: its corners run clockwise on the screen/, /N turned round and the back/]},
  ];
  for (const {values, onBackFace, says} of rows) {
    await page.evaluate((numbers) => Object.entries(numbers).forEach(
      ([name, value]) => orvane.lab.set(name, value)), values);
    await framesSettled(page);
    await framesSettled(page);
    if (onBackFace) {
      const x = await page.evaluate(() => [...Array(600).keys()].find(
        (x) => orvane.probe(x, 300)?.face === 'back'));
      assert.ok(x !== undefined, 'no back face along the middle row');
      await click(page, null, [x, 300]);
    }
    const shown = await panel();
    for (const words of says) {
      assert.match(shown, words, JSON.stringify(values));
    }
  }
  await page.evaluate(() => orvane.lab.reset());
  await setProbeSwitch(false);
});

test('from the keyboard, the arrows move the crosshair, not the model, and Enter probes the ' +
     'pixel under it', async () => {
  await reach({...START});
  await setProbeSwitch(true);
  const before = await canvasPixels(page);
  await page.focus('#canvas');
  // Each row: a key, and where the crosshair is then, in canvas pixels.
  const rows = [
    {key: 'ArrowLeft', at: [290, 300]}, {key: 'ArrowLeft', at: [280, 300]},
    {key: 'ArrowUp', at: [280, 290]}, {key: 'Shift+ArrowDown', at: [280, 291]},
    {key: 'Shift+ArrowRight', at: [281, 291]},
  ];
  const box = await (await page.$('#canvas')).boundingBox();
  for (const {key, at} of rows) {
    await press(page, key);
    const cross = await (await page.$('#crosshair')).boundingBox();
    const centre = [cross.x + cross.width / 2 - box.x, cross.y + cross.height / 2 - box.y];
    assert.ok(Math.hypot(centre[0] - (at[0] + 0.5), centre[1] - (at[1] + 0.5)) <= 1,
              `${key}: the crosshair is at ${centre}, not over ${at}`);
  }
  await press(page, 'Enter');
  assert.match(await page.$eval('#probe-panel', (shown) => shown.textContent),
               /Pixel \(281, 291\)/);
  await framesSettled(page);
  assert.deepEqual((await canvasPixels(page)).rgba, before.rgba, 'the arrows turned the model');
  await setProbeSwitch(false);
});

// At 1366 x 900 the panel lies below the window when the page is at its top: a click brings its
// first lines into view beside the picture, which stays in sight, and they say what makes the
// pixel's colour.
test('a click brings the answer into view beside the picture, opened with what makes the colour',
     async () => {
  await page.setViewport({width: 1366, height: 900, deviceScaleFactor: 1});
  try {
    await reach({...START, smooth: true, highlight: true});
    await setProbeSwitch(true);
    await page.evaluate(() => window.scrollTo(0, 0));
    // On the highlight, which the light puts upper left.
    await click(page, null, [245, 235]);
    const seen = await page.evaluate(() => {
      const box = (selector) => document.querySelector(selector).getBoundingClientRect();
      return {panel: box('#probe-panel').top, canvas: [box('#canvas').top, box('#canvas').bottom],
              height: innerHeight,
              first: document.querySelector('#probe-panel p').textContent};
    });
    assert.ok(seen.panel >= 0 && seen.panel < seen.height / 2, `the panel starts at ${seen.panel}`);
    assert.ok(seen.canvas[0] >= 0 && seen.canvas[1] <= seen.height, `the canvas at ${seen.canvas}`);
    assert.match(seen.first, /^This pixel, \(\d+, \d+, \d+\), is mostly [a-z' ]+ \(/);
    assert.match(seen.first, /specular factors run from 0\.\d{6} to 0\.\d{6}: .* blotchy/);
  } finally {
    await setProbeSwitch(false);
    await page.setViewport({width: 1200, height: 900, deviceScaleFactor: 1});
  }
});

// The lighting lab on the viewer's page in one browser engine (ORVANE_WEB_ENGINE): each parameter
// set of references/lab_sets.json given to the page as a student or a teacher gives it (a link,
// orvane.lab.set, or typed into the panel's controls), then the browser suite's states walked with
// real keys and drags and held against the native viewer built with the set's numbers edited into
// src/ (lab_frames.cmake); the controls, the link, the code and what the lab refuses. The cases are
// a table: each names the engines it runs in.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import {after, before, test} from 'node:test';

import {ENGINES, launchBrowser, serve} from './harness/browser.mjs';
import {bytesDiffering, click, giveInput, onViewer, placeOf, press, settledCanvas}
  from './harness/page.mjs';
import {looksNative, readPpm} from './harness/pictures.mjs';

const SITE = process.env.ORVANE_WEB_SITE;
const FRAMES = process.env.ORVANE_WEB_FRAMES;
const ENGINE = process.env.ORVANE_WEB_ENGINE ?? 'chromium';

const {states} = JSON.parse(fs.readFileSync(`${FRAMES}/states.json`, 'utf8'));
const {sets} = JSON.parse(fs.readFileSync(new URL('references/lab_sets.json', import.meta.url)));

let server;
let browser;

before(async () => {
  server = await serve(SITE);
  browser = await launchBrowser(ENGINE);
});

after(async () => {
  await browser?.close();
  await server?.close();
});

// Runs `use` on a viewer of its own at `address` (the site's page, with a link's hash), then
// closes it: WebKit's driver holds one page at a time.
const onOwnViewer = (address, use) => onViewer(browser, server.url + address, use);

const labGet = (page, name) => page.evaluate((n) => orvane.lab.get(n), name);

// A set's value as a link writes it.
const linkValue = (value) => [value].flat().join(',');

// Gives the page a set's numbers the way the set says: typed into the panel's controls (each
// control clicked, which selects what it holds, then the value typed and Enter), by
// orvane.lab.set, or already in the address.
async function giveNumbers(page, {via, values}) {
  if (via === 'controls') {
    for (const [name, value] of Object.entries(values)) {
      for (const [part, v] of [value].flat().entries()) {
        await click(page, `#lab [data-name="${name}"] [data-part="${part}"]`);
        for (const key of String(v)) {
          await page.keyboard.press(key);
        }
        await page.keyboard.press('Enter');
      }
    }
  } else if (via === 'api') {
    await page.evaluate((numbers) => {
      Object.entries(numbers).forEach(([name, value]) => orvane.lab.set(name, value));
    }, values);
  }
  await page.evaluate(() => document.querySelector('#canvas').focus());
}

const cases = [
  {
    name: 'each parameter set looks as the native viewer built with its numbers in src/, ' +
          'and its code is what was pasted there',
    engines: ENGINES,
    run: async (t) => {
      for (const set of sets) {
        const address = set.via === 'link' ? '#' + Object.entries(set.values)
          .map(([name, value]) => `${name}=${linkValue(value)}`).join('&') : '';
        const given = async (s, {page, errors}) => {
          await giveNumbers(page, set);
          for (const [name, value] of Object.entries(set.values)) {
            assert.deepEqual(await labGet(page, name), value, name);
          }
          const code = await page.evaluate(() => orvane.lab.code());
          assert.equal(code, fs.readFileSync(`${FRAMES}/lab/${set.name}/code.txt`, 'utf8'));
          // Another light's number is named by its call: GL_LIGHT1_POSITION as GL_LIGHT1,
          // GL_POSITION.
          for (const name of Object.keys(set.values)) {
            const called = name.replace(/^(GL_LIGHT\d)_(\w+)$/, '$1, GL_$2');
            assert.match(code, new RegExp(`\\b${called}\\b`), `the code does not name ${name}`);
          }
          for (const state of states) {
            await giveInput(page, state);
            if (set.states.includes(state.name)) {
              const reference = readPpm(`${FRAMES}/lab/${set.name}/${state.name}.ppm`);
              const {ok, said} = looksNative(reference, await settledCanvas(page),
                                             state.polygonMode);
              s.diagnostic(`${state.name}: ${said}`);
              assert.ok(ok, `${state.name}: ${said}`);
            }
          }
          assert.deepEqual(errors.map(String), []);
        };
        await t.test(`${set.name}, given by ${set.via}`,
                     (s) => onOwnViewer(address, (opened) => given(s, opened)));
      }
    },
  },
  {
    name: 'link() opens the same view, numbers and picture; reset and compare give the ' +
          'program\'s own picture',
    engines: ENGINES,
    run: async () => {
      const [set] = sets;
      const viewerState = (page) => page.evaluate(() => orvane.viewerState());
      const {link, changed, view} = await onOwnViewer('', async ({page}) => {
        // Smooth, highlighted, turned 30 degrees and zoomed to 1.1, as a student leaves it.
        await giveInput(page, {keys: 'sh'});
        for (const key of ['ArrowRight', 'ArrowRight', '+']) {
          await press(page, key);
        }
        const own = await settledCanvas(page);
        await giveNumbers(page, {via: 'api', values: set.values});
        const changed = await settledCanvas(page);
        assert.notEqual(bytesDiffering(changed, own), 0);
        const link = await page.evaluate(() => orvane.lab.link());
        assert.ok(link.startsWith(server.url + '#'), link);

        // Held, the compare control shows the program's own numbers; let go, the lab's.
        const box = await placeOf(page, '#lab-compare');
        await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
        await page.mouse.down();
        assert.equal(bytesDiffering(await settledCanvas(page), own), 0, 'while comparing');
        await page.mouse.up();
        assert.equal(bytesDiffering(await settledCanvas(page), changed), 0, 'after comparing');

        // One number back: the others stay. All back: the program's picture.
        const [first, ...rest] = Object.keys(set.values);
        await page.evaluate((name) => orvane.lab.reset(name), first);
        assert.notDeepEqual(await labGet(page, first), set.values[first]);
        assert.deepEqual(await labGet(page, rest[0]), set.values[rest[0]]);
        await click(page, '#lab-reset-all');
        assert.equal(await page.evaluate(() => orvane.lab.code()), '');
        assert.equal(bytesDiffering(await settledCanvas(page), own), 0, 'after reset');
        return {link, changed, view: await viewerState(page)};
      });
      await onOwnViewer(link.slice(server.url.length), async ({page}) => {
        for (const [name, value] of Object.entries(set.values)) {
          assert.deepEqual(await labGet(page, name), value, name);
        }
        assert.deepEqual(await viewerState(page), view, 'the view the link holds');
        assert.equal(await page.evaluate(() => orvane.lab.link()), link);
        assert.equal(bytesDiffering(await settledCanvas(page), changed), 0, 'opened by link');
      });
    },
  },
  {
    name: 'GL_LIGHT1 starts black, as in GL: enabled alone it leaves the picture as it was, and ' +
          'given a diffuse colour it adds to it',
    engines: ['chromium'],
    run: () => onOwnViewer('#normals=smooth&highlight=on', async ({page}) => {
      const own = await settledCanvas(page);
      await page.evaluate(() => orvane.lab.set('GL_LIGHT1', 1));
      assert.equal(bytesDiffering(await settledCanvas(page), own), 0, 'enabled alone');
      await page.evaluate(() => orvane.lab.set('GL_LIGHT1_DIFFUSE', [1, 0, 0, 1]));
      assert.notEqual(bytesDiffering(await settledCanvas(page), own), 0, 'given a colour');
    }),
  },
  {
    // Each row: a control, what is done to it, the value it must then hold, and what the note
    // beside it must say (none where `note` is left out). A typed value GL refuses is refused, as
    // in src/; one GL takes is taken as typed.
    name: 'a number steps with the arrow keys, ten steps with Shift, follows a drag, and takes ' +
          'what is typed as GL would, saying beside it why it refuses what GL refuses',
    engines: ENGINES,
    run: () => onOwnViewer('', async ({page}) => {
      const rows = [
        {name: 'HIGHLIGHT_SHININESS', keys: ['ArrowUp'], value: 101},
        {name: 'HIGHLIGHT_SHININESS', keys: ['Shift+ArrowUp', 'Shift+ArrowUp'], value: 121},
        {name: 'HIGHLIGHT_SHININESS', keys: ['Shift+ArrowUp'], value: 128},
        {name: 'HIGHLIGHT_SHININESS', type: '500', value: 128,
         note: /from 0 to 128; 500 is not\. It keeps 128\.0f\./},
        {name: 'HIGHLIGHT_SHININESS', type: 'much', value: 128, note: /"much" is not a number/},
        {name: 'HIGHLIGHT_SHININESS', type: '1.5.2', value: 128, note: /"1\.5\.2" is not a number/},
        {name: 'HIGHLIGHT_SHININESS', type: '0', value: 0},
        {name: 'HIGHLIGHT_SHININESS', drag: 5 * 4, value: 5},
        {name: 'GL_SPOT_CUTOFF', keys: ['ArrowDown'], value: 90},
        {name: 'GL_SPOT_CUTOFF', keys: ['ArrowUp'], value: 180},
        {name: 'GL_SPOT_CUTOFF', type: '120', value: 180, note: /from 0 to 90, or 180; 120 is not/},
        {name: 'GL_SPOT_CUTOFF', type: '1e40', value: 180, note: /1e\+40 is not/},
        {name: 'LIGHT_AMBIENT', part: 2, keys: ['ArrowDown'], value: [0.7, 0.7, 0.65, 1]},
        {name: 'LIGHT_AMBIENT', part: 2, type: '-0.5', value: [0.7, 0.7, -0.5, 1]},
        {name: 'LIGHT_DIFFUSE', part: 0, type: '2', value: [2, 0.8, 0.8, 1]},
        {name: 'LIGHT_POSITION', part: 0, type: '0,5', value: [0.5, 100, 100, 1]},
        {name: 'GL_LIGHT_MODEL_TWO_SIDE', keys: ['ArrowUp', 'ArrowUp'], value: 1},
        {name: 'GL_SHADE_MODEL', keys: ['ArrowDown'], value: 'GL_FLAT'},
        // Another light's lines are reached by opening its name.
        {name: 'GL_LIGHT2_SPOT_CUTOFF', opens: '#lab-light-2 summary', type: '120', value: 180,
         note: /from 0 to 90, or 180; 120 is not/},
        {name: 'GL_LIGHT2', keys: ['ArrowUp'], value: 1},
      ];
      // Each row shows its number's help: the buttons under it stay where they were.
      const helpHeight = () => page.$eval('#lab-help', (help) => help.offsetHeight);
      const helpAtStart = await helpHeight();
      for (const row of rows) {
        const line = `#lab [data-name="${row.name}"]`;
        const control = `${line} [data-part="${row.part ?? 0}"]`;
        if (row.opens) {
          await click(page, row.opens);
        }
        if (row.drag) {
          const box = await placeOf(page, control);
          const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
          await page.mouse.move(x, y);
          await page.mouse.down();
          await page.mouse.move(x, y - row.drag, {steps: 4});
          await page.mouse.up();
        } else {
          await click(page, control);
          for (const key of row.keys ?? [...row.type, 'Enter']) {
            await press(page, key);
          }
        }
        const seen = await labGet(page, row.name);
        const said = JSON.stringify(row);
        assert.deepEqual(seen, row.value, `${said}: ${JSON.stringify(seen)}`);
        const {note, invalid} = await page.$eval(control, (input) => ({
          note: input.closest('.lab-line').querySelector('.lab-line-note').textContent,
          invalid: input.getAttribute('aria-invalid') === 'true'}));
        assert.match(note, row.note ?? /^$/, said);
        assert.equal(invalid, row.note !== undefined, `${said}: aria-invalid`);
        // Enter keeps the focus in the field, so that the arrows step the number on.
        assert.ok(await page.$eval(control, (input) => input === document.activeElement),
                  `${said}: the focus left the field`);
        assert.equal(await helpHeight(), helpAtStart, `${said}: the help changed its height`);
      }
    }),
  },
  {
    name: 'set refuses what GL does not take, and keeps the old value; a bad or mangled part of a ' +
          'link is noted on the page and the rest of it taken',
    engines: ENGINES,
    run: async () => {
      await onOwnViewer('', async ({page}) => {
        const refused = [
          {name: 'HIGHLIGHT_SHININESS', value: 500, error: /from 0 to 128; 500 is not/},
          {name: 'HIGHLIGHT_SHININESS', value: 'ten', error: /must be a number/},
          {name: 'GL_SPOT_CUTOFF', value: 120, error: /from 0 to 90, or 180/},
          {name: 'GL_LINEAR_ATTENUATION', value: -1, error: /at least 0/},
          {name: 'LIGHT_DIFFUSE', value: [1, 1e39, 0, 1], error: /LIGHT_DIFFUSE green must be/},
          {name: 'LIGHT_POSITION', value: [1, 2, 3], error: /takes 4 values/},
          {name: 'LIGHT_POSITION', value: [0, 0, 1e39, 1], error: /any finite number/},
          {name: 'GL_SHADE_MODEL', value: 'GL_PHONG', error: /GL_SMOOTH or GL_FLAT/},
          {name: 'NO_SUCH_NUMBER', value: 1, error: /no number called NO_SUCH_NUMBER/},
        ];
        for (const {name, value, error} of refused) {
          const message = await page.evaluate((n, v) => {
            try {
              orvane.lab.set(n, v);
            } catch (thrown) {
              return thrown.message;
            }
            return null;
          }, name, value);
          assert.match(message ?? 'nothing thrown', error, `${name} = ${JSON.stringify(value)}`);
        }
        assert.equal(await page.evaluate(() => orvane.lab.code()), '');
      });
      // Each row: an address, the numbers it must still set, and the parts the note must name.
      // Links travel through mail and chat, which mangle percent escapes.
      const links = [
        {hash: '#HIGHLIGHT_SHININESS=500&NO_SUCH=1&GL_SPOT_CUTOFF=ten&LIGHT_POSITION=1,2' +
               '&GL_SPOT_EXPONENT=&HIGHLIGHT_SHININESS=10',
         taken: {HIGHLIGHT_SHININESS: 10},
         named: ['HIGHLIGHT_SHININESS=500', 'NO_SUCH=1', 'GL_SPOT_CUTOFF=ten', 'LIGHT_POSITION=1,2',
                 'GL_SPOT_EXPONENT=']},
        {hash: '#HIGHLIGHT_SHININESS=10&%%%zz=1', taken: {HIGHLIGHT_SHININESS: 10},
         named: ['%%%zz=1']},
        {hash: '#%E0%A4%A=1&HIGHLIGHT_SHININESS=10', taken: {HIGHLIGHT_SHININESS: 10},
         named: ['%E0%A4%A=1']},
        {hash: '#HIGHLIGHT_SHININESS=10&LIGHT_POSITION=%ZZ', taken: {HIGHLIGHT_SHININESS: 10},
         named: ['LIGHT_POSITION=%ZZ']},
        {hash: '#model=teapot&turnY=ten&highlight=on&HIGHLIGHT_SHININESS=10',
         taken: {HIGHLIGHT_SHININESS: 10}, view: {model: 0, highlight: true},
         named: ['model=teapot', 'turnY=ten']},
      ];
      for (const {hash, taken, view = {}, named} of links) {
        await onOwnViewer(hash, async ({page, errors}) => {
          for (const [name, value] of Object.entries(taken)) {
            assert.deepEqual(await labGet(page, name), value, `${hash}: ${name}`);
          }
          const state = await page.evaluate(() => orvane.viewerState());
          for (const [part, value] of Object.entries(view)) {
            assert.equal(state[part], value, `${hash}: ${part}`);
          }
          const note = await page.$eval('#lab-note', (shown) => shown.hidden ? '' : shown.textContent);
          for (const part of named) {
            assert.ok(note.includes(part), `${hash}: the note does not name ${part}: ${note}`);
          }
          assert.deepEqual(errors.map(String), [], hash);
        });
      }
    },
  },
];

for (const {name, engines, run} of cases) {
  test(name, {skip: !engines.includes(ENGINE) && `not run in ${ENGINE}`}, run);
}

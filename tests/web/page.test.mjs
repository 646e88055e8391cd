// The page's own logic in Node, without a browser: its scripts (platform/web/page, lab) run as the
// page runs them, with the lines the build quotes from src/. Each case is a table: what a link, a
// typed value or a lesson's step holds, and what the page must make of it.
import assert from 'node:assert/strict';
import {test} from 'node:test';

import {labScripts, quote} from '../../platform/web/lab/quote.mjs';

const root = new URL('../..', import.meta.url).pathname;
const {pageAddress, linkView, lab, givenSteps, labCodeText} = labScripts(quote(root).quoted);
// The scripts run in a context of their own, whose objects have its prototypes, not Node's.
const plain = (value) => JSON.parse(JSON.stringify(value));

test('a link is read pair by pair: a mangled pair is noted, the pairs round it are taken', () => {
  const rows = [
    {hash: '#HIGHLIGHT_SHININESS=10&%%%zz=1', taken: ['HIGHLIGHT_SHININESS=10'], noted: ['%%%zz=1']},
    {hash: '#%E0%A4%A=1&HIGHLIGHT_SHININESS=10', taken: ['HIGHLIGHT_SHININESS=10'],
     noted: ['%E0%A4%A=1']},
    {hash: '#HIGHLIGHT_SHININESS=10&LIGHT_POSITION=%ZZ', taken: ['HIGHLIGHT_SHININESS=10'],
     noted: ['LIGHT_POSITION=%ZZ']},
    {hash: '#GL_SPOT_DIRECTION=1%2C-1%2C-6&&zoom=1.1&model', taken: ['GL_SPOT_DIRECTION=1,-1,-6',
                                                                   'zoom=1.1'], noted: ['model']},
    {hash: '', taken: [], noted: []},
  ];
  for (const {hash, taken, noted} of rows) {
    const {pairs, notes} = pageAddress.pairs(hash);
    assert.deepEqual(plain(pairs).map(({name, text}) => `${name}=${text}`), taken, hash);
    assert.deepEqual(plain(notes).map((note) => note.slice(0, note.indexOf(': '))), noted, hash);
  }
});

test('a link\'s view is reached by the keys and drags that make it, whatever its order', () => {
  // The viewer turns a degree and zooms a thousandth a pixel of a drag from (300, 300).
  const rows = [
    {view: {model: 'tree', normals: 'smooth', highlight: 'on', polygons: 'wireframe'},
     steps: '4 s h w'},
    {view: {turnY: '30', zoom: '1.1', turnX: '-15'},
     steps: 'left:300,300>330,300 left:300,300>300,285 right:300,300>300,400'},
    {view: {normals: 'flat', zoom: '1', model: 'sphere'}, steps: '1  '},
    {view: {model: 'teapot', turnY: 'ten', zoom: '1e9'}, steps: '', noted: ['model', 'turnY', 'zoom']},
  ];
  for (const {view, steps, noted = []} of rows) {
    const notes = [];
    const pairs = Object.entries(view).map(([name, text]) => ({name, text}));
    assert.equal(linkView.steps(pairs, notes).split(' ').filter(Boolean).join(' '),
                 steps.split(' ').filter(Boolean).join(' '), JSON.stringify(view));
    assert.deepEqual(notes.map((note) => note.slice(0, note.indexOf('='))), noted);
  }
});

test('a typed number is read as GL reads it in the code, and a typo is never a number', () => {
  const rows = [
    {name: 'LIGHT_POSITION', text: '0,5', value: 0.5},
    {name: 'LIGHT_POSITION', text: ' -2.5f ', value: -2.5},
    {name: 'LIGHT_POSITION', text: '1e-3', value: 0.001},
    {name: 'HIGHLIGHT_SHININESS', text: '1.5.2', error: /is not a number/},
    {name: 'HIGHLIGHT_SHININESS', text: '12abc', error: /is not a number/},
    {name: 'HIGHLIGHT_SHININESS', text: '1,000.5', error: /is not a number/},
    {name: 'GL_SHADE_MODEL', text: 'gl_flat', value: 'GL_FLAT'},
    {name: 'LIGHT_SET_IN', text: 'Display', value: 'display'},
    {name: 'LIGHT_SET_IN', text: 'main', error: /initLighting or display/},
  ];
  for (const {name, text, value, error} of rows) {
    const read = () => lab.typed(lab.number(name), text);
    if (error) {
      assert.throws(read, error, `${name} "${text}"`);
    } else {
      assert.equal(read(), value, `${name} "${text}"`);
    }
  }
});

test('GL\'s ranges: colours take any finite float, the rest what GL takes', () => {
  const rows = [
    {name: 'LIGHT_DIFFUSE', value: [2, -0.5, 1e30, 1], takes: true},
    {name: 'LIGHT_DIFFUSE', value: [1, 1e39, 0, 1], takes: false},
    {name: 'GL_SPOT_CUTOFF', value: [180], takes: true},
    {name: 'GL_SPOT_CUTOFF', value: [90.5], takes: false},
    {name: 'GL_LIGHT_MODEL_TWO_SIDE', value: [0.5], takes: false},
    {name: 'GL_LINEAR_ATTENUATION', value: [-0.001], takes: false},
    {name: 'GL_LIGHT3', value: [0.5], takes: false},
    {name: 'GL_LIGHT7_DIFFUSE', value: [2, -0.5, 0, 1], takes: true},
    {name: 'GL_LIGHT5_SPOT_CUTOFF', value: [120], takes: false},
  ];
  for (const {name, value, takes} of rows) {
    const check = () => lab.checked(lab.number(name), value);
    if (takes) {
      assert.deepEqual(plain(check()), value, name);
    } else {
      assert.throws(check, / must be .* is not\. It keeps /, `${name} ${value}`);
    }
  }
});

test('a lesson\'s step is keys, a drag, a lab number or the second view, and nothing else', () => {
  const rows = [
    {text: 'sh', step: {keys: 'sh'}},
    {text: 'right:300,599>300,-1', step: {drag: {button: 2, from: [300, 599], to: [300, -1]}}},
    {text: 'GL_SPOT_DIRECTION=1,-1,-6', step: {number: 'GL_SPOT_DIRECTION', value: [1, -1, -6]}},
    {text: 'LIGHT_SET_IN=display', step: {number: 'LIGHT_SET_IN', value: ['display']}},
    {text: 'outside', step: {outside: null}},
    {text: 'outside:eye,normals', step: {outside: ['eye', 'normals']}},
    {text: 'perpixel', step: {perPixel: true}},
    {text: 'perPixel', error: /not a run of the viewer's keys/},
    {text: 'outside:cones', error: /shows eye, light, cone, normals, vectors, not cones/},
    {text: 'middle:1,2>3', error: /not a run of the viewer's keys/},
    {text: 'x', error: /not a run of the viewer's keys/},
  ];
  for (const {text, step, error} of rows) {
    if (error) {
      assert.throws(() => givenSteps.stepOf(text), error, text);
    } else {
      assert.deepEqual(plain(givenSteps.stepOf(text)), step, text);
    }
  }
});

test('LIGHT_SET_IN = display gives the lines to paste into display(), with the position in force',
     () => {
  const number = (name) => lab.number(name);
  const rows = [
    {changes: [{number: number('LIGHT_SET_IN'), value: ['display']}],
     position: '{-100.0f, 100.0f, 100.0f, 1.0f}'},
    {changes: [{number: number('LIGHT_POSITION'), value: [-3, 3, 2, 1]},
               {number: number('LIGHT_SET_IN'), value: ['display']}],
     position: '{-3.0f, 3.0f, 2.0f, 1.0f}'},
    {changes: [{number: number('LIGHT_SET_IN'), value: ['initLighting']}], position: null},
  ];
  for (const {changes, position} of rows) {
    const block = labCodeText.code(changes).split('\n\n').find((b) => b.includes('display.cpp'));
    if (position === null) {
      assert.equal(block, undefined);
      continue;
    }
    assert.match(block, /^\/\/ LIGHT_SET_IN: src\/shell\/display\.cpp, in display, before glScalef\(/);
    assert.ok(block.includes(`const GLfloat lightPosition[] = ${position};`), block);
    assert.ok(block.includes('glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);'), block);
  }
});

// Checks the lab's table (table.js) against what the GL layer has (facts.cpp, whose output is
// given): the enumerants' values, GL's ranges, and the initial values of the calls the program does
// not make. Fails, naming each difference, so that the table never restates GL wrongly.
//   node facts.mjs FACTS.json STAMP
import fs from 'node:fs';

import {labScripts} from './quote.mjs';

const [factsFile, stamp] = process.argv.slice(2);
const facts = JSON.parse(fs.readFileSync(factsFile, 'utf8'));
const {GL_NAMES, NUMBERS} = labScripts().labTable;
const problems = [];
// The table writes decimals; GL keeps single-precision floats: the same where they round alike.
const same = (a, b) => Array.isArray(a) && Array.isArray(b) && a.length === b.length &&
  a.every((v, i) => Math.fround(v) === Math.fround(b[i]));

for (const [name, value] of Object.entries(GL_NAMES)) {
  if (facts.names[name] !== value) {
    problems.push(`GL_NAMES.${name} is ${value}; GL/gl.h has ${facts.names[name]}`);
  }
}
for (const number of NUMBERS) {
  // A light's number by its pname, a light's own switch as `enabled`, the light model's by name.
  const light = facts.lights[number.gl.light ?? 0];
  const initial = number.gl.call === 'enable' ? light.enabled
    : number.gl.call === 'light' ? light[number.gl.pname] : facts.initial[number.gl.pname];
  if (number.initial && (number.gl.pname || number.gl.call === 'enable') &&
      !same(number.initial, initial)) {
    problems.push(`${number.name} starts at ${JSON.stringify(number.initial)}; GL starts it at ` +
                  JSON.stringify(initial));
  }
  const pname = number.gl.pname ?? number.gl.pnames?.[0];
  const range = {GL_SPOT_EXPONENT: facts.ranges.exponent, GL_SHININESS: facts.ranges.exponent,
                 GL_SPOT_CUTOFF: facts.ranges.cutoff}[pname];
  if (range && !same(number.range, range)) {
    problems.push(`${number.name} takes ${JSON.stringify(number.range)}; GL takes ` +
                  JSON.stringify(range));
  }
  if (pname === 'GL_SPOT_CUTOFF' && number.extra !== facts.ranges.noSpotlight) {
    problems.push(`${number.name}'s extra value is ${number.extra}; GL's is ` +
                  facts.ranges.noSpotlight);
  }
}
if (problems.length > 0) {
  console.error('The lab\'s table (platform/web/lab/table.js) says of GL what the layer does ' +
                'not:\n' + problems.join('\n'));
  process.exit(1);
}
fs.writeFileSync(stamp, 'checked\n');

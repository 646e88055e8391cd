// The program's sources with a lab parameter set edited in, as a student would edit them: the lab's
// own "copy as code" text for the set (platform/web/lab/code.js), pasted into copies of the files it
// names, each line in place of the line it quotes and the added calls where it says.
//   node lab_source.mjs ROOT SETS.json SET FOLDER
// writes FOLDER/lighting.cpp, FOLDER/materials.cpp, FOLDER/display.cpp and FOLDER/code.txt, the
// text pasted. A SET
// named lesson-NAME is the lab numbers of the lessons' button NAME (docs/LESSONS.md).
import fs from 'node:fs';
import path from 'node:path';

import {labScripts, quote} from '../../../platform/web/lab/quote.mjs';

// The set's changes as the lab's code.js takes them, in the table's order.
export function setChanges(lab, set) {
  return lab.labTable.NUMBERS.filter((number) => Object.hasOwn(set.values, number.name))
    .map((number) => ({number, value: [set.values[number.name]].flat()}));
}

// `files` ({path: lines}) with the code pasted in. Throws where the code names a line the file does
// not have exactly once.
export function paste(code, files) {
  for (const block of code.trim().split('\n\n')) {
    const [head, ...lines] = block.split('\n');
    const place = /^\/\/ (?:\w+: )?(\S+), in place of$/.exec(head);
    const added = /^\/\/ (?:\w+: )?(\S+), in \w+, before (.+)$/.exec(head);
    const file = (place ?? added)?.[1];
    if (!file || !files[file]) {
      throw new Error(`the lab's code says where it goes in a way this cannot follow: ${head}`);
    }
    const original = place ? lines.shift().slice('// '.length) : added[2];
    const at = files[file].flatMap((line, i) => (place ? line === original
                                                       : line.trim() === original) ? [i] : []);
    if (at.length !== 1) {
      throw new Error(`${file} has ${at.length} lines "${original}", not one`);
    }
    files[file].splice(at[0], place ? 1 : 0, ...lines);
  }
  return files;
}

// The lab numbers a lessons' button sets: its steps NAME=VALUES, read as the lab reads a link.
export function lessonSet(root, name, lab) {
  const line = fs.readFileSync(path.join(root, 'docs/LESSONS.md'), 'utf8').split('\n')
    .find((l) => l.startsWith(`<!-- try ${name} `));
  if (!line) {
    return undefined;
  }
  const steps = line.replace(/^.*?": */, '').replace(/ *-->$/, '').split(' ');
  const values = Object.fromEntries(steps.filter((step) => step.includes('=')).map((step) => {
    const [number, text] = step.split('=');
    const value = lab.lab.parse(text);
    return [number, value.length === 1 ? value[0] : value];
  }));
  return {name, values};
}

if (process.argv[1] === new URL(import.meta.url).pathname) {
  const [root, setsFile, name, folder] = process.argv.slice(2);
  const {quoted, problems} = quote(root);
  const lab = labScripts(quoted);
  const set = name.startsWith('lesson-') ? lessonSet(root, name.slice('lesson-'.length), lab)
    : JSON.parse(fs.readFileSync(setsFile, 'utf8')).sets.find((s) => s.name === name);
  if (!set || problems.length > 0) {
    console.error(set ? problems.join('\n') : `no lab set called ${name} in ${setsFile}`);
    process.exit(1);
  }
  const code = lab.labCodeText.code(setChanges(lab, set));
  const {LIGHTING_FILE, MATERIALS_FILE, DISPLAY_FILE} = lab.labTable;
  const sources = [LIGHTING_FILE, MATERIALS_FILE, DISPLAY_FILE];
  const files = Object.fromEntries(sources.map(
    (file) => [file, fs.readFileSync(path.join(root, file), 'utf8').split('\n')]));
  paste(code, files);
  fs.mkdirSync(folder, {recursive: true});
  for (const file of sources) {
    fs.writeFileSync(path.join(folder, path.basename(file)), files[file].join('\n'));
  }
  fs.writeFileSync(path.join(folder, 'code.txt'), code);
}

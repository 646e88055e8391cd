// Quotes the program's own lines for the lighting lab when the site is built: for each of the
// lab's numbers that the program sets (table.js), the line of src/ it stands on and the values on
// it. Fails, naming the line, when one is no longer there, so that the lab never shows a line the
// program does not have; the drift test runs it with --check.
//   node quote.mjs ROOT OUTPUT.js    writes `var LAB_QUOTED = {NAME: {file, text, values}, ...}`
//   node quote.mjs ROOT --check      only checks
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';

// The table, the code it becomes, the checks on its values and the reading of the page's address
// and of the lessons' steps, run as the page runs them;
// `quoted` (what quote() gives) stands for the lines the build quotes.
export function labScripts(quoted = {}) {
  const context = {LAB_QUOTED: quoted};
  const scripts = Object.keys(quoted).length > 0
    ? ['table.js', 'code.js', '../page/view.js', '../page/address.js', 'lab.js', '../page/steps.js']
    : ['table.js', 'code.js'];
  for (const script of scripts) {
    vm.runInNewContext(fs.readFileSync(new URL(script, import.meta.url), 'utf8'), context,
                       {filename: script});
  }
  return context;
}

// {NAME: {file, text, values}} from the sources under `root`, and the problems found.
export function quote(root) {
  const {labTable, labCodeText} = labScripts();
  const quoted = {};
  const problems = [];
  const lines = {};
  const linesOf = (file) => lines[file] ??= fs.readFileSync(path.join(root, file), 'utf8')
    .split('\n');
  for (const number of labTable.NUMBERS.filter((n) => n.line)) {
    const found = linesOf(number.file).filter((line) => line.trim().startsWith(number.line));
    if (found.length !== 1) {
      problems.push(`${number.file}: ${found.length} lines begin "${number.line}", not one`);
      continue;
    }
    const text = found[0];
    const values = labCodeText.splitLine(number, text).values
      .map((v) => v.startsWith('GL_') ? v : parseFloat(v));
    if (values.length !== number.parts.length) {
      problems.push(`${number.file}: "${text.trim()}" does not give ${number.name} its ` +
                    `${number.parts.length} values`);
      continue;
    }
    quoted[number.name] = {file: number.file, text, values};
    if (number.passedBy) {
      const passed = linesOf(number.file).filter((l) => l.trim() === number.passedBy);
      if (passed.length !== 1) {
        problems.push(`${number.file}: ${passed.length} lines "${number.passedBy}", not one`);
      }
      quoted[number.name].passed = passed[0];
    }
  }
  for (const goes of [labTable.CALLS_GO, labTable.POSITION_IN_DISPLAY_GOES]) {
    const found = linesOf(goes.file).filter((line) => line.trim() === goes.before).length;
    if (found !== 1) {
      problems.push(`${goes.file}: ${found} lines "${goes.before}" to add calls before, not one`);
    }
  }
  // Where two constants go to glMaterialfv as the same parameter, the lab tells them apart by
  // their values.
  const byParameter = {};
  for (const number of labTable.NUMBERS.filter((n) => n.gl.call === 'material' && quoted[n.name])) {
    for (const pname of number.gl.pnames) {
      const key = pname + ' ' + quoted[number.name].values.join(',');
      if (byParameter[key]) {
        problems.push(`${byParameter[key]} and ${number.name} both pass ${key}: the lab cannot ` +
                      'tell them apart');
      }
      byParameter[key] = number.name;
    }
  }
  return {quoted, problems};
}

if (process.argv[1] === new URL(import.meta.url).pathname) {
  const [root, output] = process.argv.slice(2);
  if (!output) {
    console.error('usage: node quote.mjs ROOT OUTPUT.js|--check');
    process.exit(2);
  }
  const {quoted, problems} = quote(root);
  if (problems.length > 0) {
    console.error('The lighting lab quotes lines src/ no longer has (platform/web/lab/table.js):\n' +
                  problems.join('\n'));
    process.exit(1);
  }
  if (output !== '--check') {
    fs.writeFileSync(output, '// Written by platform/web/lab/quote.mjs from src/ when the site was ' +
                     `built.\nvar LAB_QUOTED = ${JSON.stringify(quoted)};\n`);
  }
}

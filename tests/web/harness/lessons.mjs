// The numbers docs/LESSONS.md quotes, as scripts/lessons.sh wrote them to docs/lessons/numbers.txt:
// one "KEY value" line each.
import fs from 'node:fs';

export function lessonNumbers() {
  return new Map(
    fs.readFileSync(new URL('../../../docs/lessons/numbers.txt', import.meta.url), 'utf8')
      .split('\n').filter((line) => line !== '')
      .map((line) => [line.slice(0, line.indexOf(' ')), line.slice(line.indexOf(' ') + 1)]));
}

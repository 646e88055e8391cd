// What the page offers a screen reader and a keyboard: axe-core's findings on it, and the
// accessible name the browser's accessibility tree gives an element.
import fs from 'node:fs';
import {createRequire} from 'node:module';

const AXE_SOURCE = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'),
                                   'utf8');
// The rules: WCAG 2.0 and 2.1 at levels A and AA, and axe's best practices.
export const AXE_TAGS = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'];

// axe-core's violations on the page as it is, each as "rule (impact): the elements it found".
export async function axeViolations(page) {
  const violations = await page.evaluate(async (source, tags) => {
    if (!window.axe) {
      (0, eval)(source); // eslint-disable-line no-eval
    }
    const results = await window.axe.run(document, {runOnly: {type: 'tag', values: tags}});
    return results.violations.map((v) => `${v.id} (${v.impact}): ` +
                                         v.nodes.map((n) => n.target.join(' ')).join(', '));
  }, AXE_SOURCE, AXE_TAGS);
  return violations;
}

// Whether the browser's accessibility tree gives the element `selector` names the `role` and the
// `name`: WebKit's driver reads them (WebDriver's Get Computed Role and Label); puppeteer finds
// the element by them, over CDP in Chromium and by WebDriver BiDi's accessibility locator in
// Firefox.
export async function hasAccessibleName(page, selector, role, name) {
  if (page.accessible) {
    const seen = await page.accessible(selector);
    return seen.role === role && seen.name === name;
  }
  const found = await page.$(`::-p-aria([name=${JSON.stringify(name)}][role="${role}"])`);
  return found !== null && found.evaluate((element, wanted) =>
    element === document.querySelector(wanted), selector);
}

// Takes the README's picture of the page, docs/web-page.png: the site scripts/build-web.sh wrote,
// in the suite's headless Chromium, after S, H and a left drag. Run from anywhere:
//   node tests/web/screenshot.mjs
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {framesSettled, launchChromium, openPage, serve} from './browser.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const server = await serve(path.join(root, 'build-web'));
const chromium = await launchChromium();
try {
  const {page} = await openPage(chromium.browser, server.url);
  await page.setViewport({width: 1180, height: 760, deviceScaleFactor: 1});
  await page.waitForFunction(() => document.querySelector('#usage').textContent !== '');
  const box = await (await page.$('#canvas')).boundingBox();
  await page.keyboard.type('sh');
  await page.mouse.move(box.x + 300, box.y + 300);
  await page.mouse.down();
  await page.mouse.move(box.x + 330, box.y + 270, {steps: 4});
  await page.mouse.up();
  await framesSettled(page);
  const file = path.join(root, 'docs/web-page.png');
  await page.screenshot({path: file});
  console.log(file);
} finally {
  await chromium.close();
  await server.close();
}

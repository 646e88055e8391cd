// Takes the README's pictures of the site scripts/build-web.sh wrote, in the suite's headless
// Chromium: docs/web-page.png, the viewer's page after S, H and a left drag, and
// docs/lessons-page.png, the lessons page with the probe open on a pixel of the highlighted sphere.
// Run from anywhere:
//   node tests/web/tools/screenshot.mjs
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {framesSettled, launchChromium, openPage, serve} from '../harness/browser.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const server = await serve(path.join(root, 'build-web'));
const chromium = await launchChromium();

async function started(page) {
  await page.waitForFunction(() => document.querySelector('#usage').textContent !== '');
  await framesSettled(page);
}

try {
  const {page} = await openPage(chromium.browser, server.url);
  await page.setViewport({width: 1180, height: 860, deviceScaleFactor: 1});
  await started(page);
  const box = await (await page.$('#canvas')).boundingBox();
  await page.keyboard.type('sh');
  await page.mouse.move(box.x + 300, box.y + 300);
  await page.mouse.down();
  await page.mouse.move(box.x + 330, box.y + 270, {steps: 4});
  await page.mouse.up();
  await framesSettled(page);
  await page.screenshot({path: path.join(root, 'docs/web-page.png')});

  await page.setViewport({width: 1400, height: 1250, deviceScaleFactor: 1});
  await page.goto(server.url + 'lessons.html');
  await started(page);
  await Promise.all([page.waitForNavigation(), page.click('[data-name="highlight"]')]);
  await page.waitForFunction(() => document.body.dataset.shown === 'highlight');
  await page.click('#probe-switch');
  await framesSettled(page);
  const canvas = await (await page.$('#canvas')).boundingBox();
  await page.mouse.click(canvas.x + canvas.width * 0.4, canvas.y + canvas.height * 0.4);
  await page.screenshot({path: path.join(root, 'docs/lessons-page.png')});
  console.log(path.join(root, 'docs/web-page.png'), path.join(root, 'docs/lessons-page.png'));
} finally {
  await chromium.close();
  await server.close();
}

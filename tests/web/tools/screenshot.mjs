// Takes the README's pictures of the site scripts/build-web.sh wrote, in the suite's headless
// Chromium, into docs/:
//   web-page.png      the viewer's page after S, H and a left drag;
//   lessons-page.png  the lessons page with the probe open on a pixel of the highlighted sphere;
//   lab-page.png      the viewer's page with a spotlight set in the lab, on a desktop;
//   lab-phone.png     the same on a 360 px phone: the picture and the keys, and the lab's lines;
//   keyboard-page.png the viewer's page worked from the keyboard: the picture focused, turned with
//                     the arrows, and the probe's crosshair moved and probed with Enter;
//   outside-view.png  the picture beside the scene from outside: a spotlight's cone, the normals,
//                     and the probe's vectors at a pixel of the lit patch;
//   per-pixel.png     the smooth sphere's highlight beside the same frame lit per pixel, probed
//                     on the highlight.
// Run from anywhere:
//   node tests/web/tools/screenshot.mjs
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {framesSettled, launchChromium, openPage, serve} from '../harness/browser.mjs';
import {giveInput, press, viewerStarted} from '../harness/page.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../../..');
const server = await serve(path.join(root, 'build-web'));
const chromium = await launchChromium();
const picture = (name) => path.join(root, 'docs', name);

// Lesson 7's spotlight, aimed at the sphere from close by.
const SPOTLIGHT = '#LIGHT_POSITION=-1.5,1.5,-3,1&GL_SPOT_DIRECTION=1.5,-1.5,-3&GL_SPOT_CUTOFF=10' +
                  '&GL_SPOT_EXPONENT=20';

async function opened(address, viewport) {
  const {page} = await openPage(chromium.browser, 'about:blank');
  await page.setViewport(viewport);
  await page.goto(server.url + address);
  await viewerStarted(page);
  return page;
}

// Turns the probe on and probes the picture's pixel (x, y); gives the picture's box.
async function probed(page, x, y) {
  await page.click('#probe-switch');
  await page.evaluate(() => window.scrollTo(0, 0));
  await framesSettled(page);
  const shown = await (await page.$('#canvas')).boundingBox();
  await page.mouse.click(shown.x + x, shown.y + y);
  await page.evaluate(() => window.scrollTo(0, 0));
  await framesSettled(page);
  return shown;
}

try {
  let page = await opened('', {width: 1180, height: 860, deviceScaleFactor: 1});
  await giveInput(page, {keys: 'sh', drag: {button: 0, from: [300, 300], to: [330, 270]}});
  await framesSettled(page);
  await page.screenshot({path: picture('web-page.png')});

  page = await opened('lessons.html', {width: 1400, height: 1250, deviceScaleFactor: 1});
  await Promise.all([page.waitForNavigation(), page.click('[data-name="highlight"]')]);
  await page.waitForFunction(() => document.body.dataset.shown === 'highlight');
  await page.click('#probe-switch');
  await framesSettled(page);
  const canvas = await (await page.$('#canvas')).boundingBox();
  await page.mouse.click(canvas.x + canvas.width * 0.4, canvas.y + canvas.height * 0.4);
  await page.screenshot({path: picture('lessons-page.png')});

  page = await opened(SPOTLIGHT, {width: 1300, height: 1000, deviceScaleFactor: 1});
  await giveInput(page, {keys: 'sh'});
  await framesSettled(page);
  const lab = await (await page.$('#lab')).boundingBox();
  await page.screenshot({path: picture('lab-page.png'), captureBeyondViewport: true,
                         clip: {x: 0, y: 0, width: 1300, height: lab.y + lab.height + 16}});

  page = await opened(SPOTLIGHT, {width: 360, height: 740, deviceScaleFactor: 1, isMobile: true,
                                  hasTouch: true});
  await giveInput(page, {keys: 'sh'});
  await framesSettled(page);
  const keys = await (await page.$('#keys')).boundingBox();
  await page.screenshot({path: picture('lab-phone.png'), captureBeyondViewport: true,
                         clip: {x: 0, y: 0, width: 360, height: keys.y + keys.height + 8}});
  const lines = await (await page.$('#lab-program')).boundingBox();
  const added = await (await page.$('#lab-added')).boundingBox();
  await page.screenshot({path: picture('lab-phone-lines.png'), captureBeyondViewport: true,
                         clip: {x: 0, y: lines.y - 8, width: 360,
                                height: added.y + added.height - lines.y + 16}});

  page = await opened('', {width: 1180, height: 860, deviceScaleFactor: 1});
  await press(page, 'Tab');
  await press(page, 'Tab');
  for (const key of ['s', 'h', 'ArrowRight', 'ArrowRight', 'ArrowUp']) {
    await press(page, key);
  }
  await page.click('#probe-switch');
  await page.focus('#canvas');
  for (const key of ['ArrowLeft', 'ArrowLeft', 'ArrowLeft', 'ArrowUp', 'ArrowUp', 'Enter']) {
    await press(page, key);
  }
  await page.evaluate(() => window.scrollTo(0, 0));
  await framesSettled(page);
  await page.screenshot({path: picture('keyboard-page.png')});
  page = await opened('#normals=smooth&LIGHT_POSITION=-3,3,0,1&GL_SPOT_DIRECTION=3,-3,-6' +
                      '&GL_SPOT_CUTOFF=6', {width: 1366, height: 820, deviceScaleFactor: 1});
  await page.evaluate(() => {
    orvane.outside.open(true);
    orvane.outside.show('normals', true);
    orvane.outside.setCamera({yaw: 35, pitch: 15, distance: 16});
  });
  const shown = await probed(page, 280, 290);
  const views = await (await page.$('#second-window')).boundingBox();
  await page.screenshot({path: picture('outside-view.png'),
                         clip: {x: 0, y: shown.y - 8, width: 1366,
                                height: views.y + views.height - shown.y + 16}});
  page = await opened('#normals=smooth&highlight=on', {width: 1366, height: 820,
                                                     deviceScaleFactor: 1});
  await page.evaluate(() => orvane.perPixel.open(true));
  const picture2 = await probed(page, 250, 245);
  const perPixel = await (await page.$('#second')).boundingBox();
  const view = await (await page.$('#second-window')).boundingBox();
  const top = Math.min(picture2.y, perPixel.y) - 8;
  await page.screenshot({path: picture('per-pixel.png'),
                         clip: {x: 0, y: top, width: 1366, height: view.y + view.height - top + 8}});
  console.log(['web-page', 'lessons-page', 'lab-page', 'lab-phone', 'lab-phone-lines',
               'keyboard-page', 'outside-view', 'per-pixel']
    .map((name) => picture(name + '.png')).join('\n'));
} finally {
  await chromium.close();
  await server.close();
}

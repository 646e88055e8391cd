// Lesson 6's pictures and numbers from the browser: the site scripts/build-web.sh wrote, in the
// browser suite's headless Chromium, after S and H, held against Mesa's frame of the same state.
// Writes shader-browser.ppm and shader-difference.ppm (each channel's difference, SCALE times
// larger) into FOLDER and prints "KEY value" lines for docs/lessons/numbers.txt.
//   node tests/web/tools/lesson_shader.mjs SITE MESA_PPM FOLDER
import fs from 'node:fs';
import path from 'node:path';

import {canvasPixels, framesSettled, launchChromium, openPage, serve} from '../harness/browser.mjs';
import {giveInput, viewerStarted} from '../harness/page.mjs';
import {readPpm, shaderDifference} from '../harness/pictures.mjs';

// A difference of one level, which rounding gives, shows as half of full brightness on black.
const SCALE = 128;

function writePpm(file, {width, height, rgb}) {
  fs.writeFileSync(file, Buffer.concat([Buffer.from(`P6\n${width} ${height}\n255\n`, 'latin1'),
                                        Buffer.from(rgb)]));
}

const [site, mesaFrame, folder] = process.argv.slice(2);
if (!folder) {
  console.error('usage: node lesson_shader.mjs SITE MESA_PPM FOLDER');
  process.exit(2);
}
const mesa = readPpm(mesaFrame);

const server = await serve(site);
const chromium = await launchChromium();
try {
  const {page, errors} = await openPage(chromium.browser, server.url);
  await viewerStarted(page);
  await giveInput(page, {keys: 'sh'});
  await framesSettled(page);
  const canvas = await canvasPixels(page);
  if (errors.length > 0) {
    throw new Error(`the page threw: ${errors.join('; ')}`);
  }

  const {numbers, channels} = shaderDifference(mesa, canvas);
  const browserRgb = new Uint8Array(3 * canvas.width * canvas.height);
  for (let i = 0; i < canvas.width * canvas.height; ++i) {
    browserRgb.set(canvas.rgba.subarray(4 * i, 4 * i + 3), 3 * i);
  }
  const picture = {width: canvas.width, height: canvas.height};
  writePpm(path.join(folder, 'shader-browser.ppm'), {...picture, rgb: browserRgb});
  writePpm(path.join(folder, 'shader-difference.ppm'),
           {...picture, rgb: channels.map((d) => Math.min(255, d * SCALE))});
  for (const [key, value] of Object.entries({...numbers, BROWSER_SHADER_SCALE: SCALE})) {
    console.log(`${key} ${value}`);
  }
} finally {
  await chromium.close();
  await server.close();
}

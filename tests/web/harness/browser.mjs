// What the browser tests and the browser benchmark share: a static server for a folder on
// 127.0.0.1, headless Chromium with WebGL on the CPU (ANGLE on SwiftShader by default) in a fresh
// profile, the same for Firefox and WebKit, and a page's canvas read back as pixels.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

import puppeteer from 'puppeteer-core';

import {launchWebKit} from './webkit.mjs';
import {startXvfb} from './xvfb.mjs';

const CONTENT_TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.mjs': 'text/javascript',
  // Without it Chromium cannot compile the module while it downloads, and says so on the console.
  '.wasm': 'application/wasm',
};

// Serves `folder` on a port the system picks. Returns the base URL and a close function.
export async function serve(folder) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const pathname = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    const file = path.join(root, pathname.endsWith('/') ? pathname + 'index.html' : pathname);
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, body) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      const type = CONTENT_TYPES[path.extname(file)] ?? 'application/octet-stream';
      response.writeHead(200, {'Content-Type': type, 'Cache-Control': 'no-store'}).end(body);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

export const CHROMIUM = process.env.CHROMIUM ?? '/usr/bin/chromium';

// Where WebGL draws, both on the CPU. The tests take SwiftShader, which every Chromium carries
// (--use-gl=swiftshader alone gives no WebGL at all). The benchmark also takes Mesa's llvmpipe,
// which the native viewer draws with here, through EGL; Chromium leaves software GL drivers out
// unless told to ignore its list of them.
const RENDERER_FLAGS = {
  swiftshader: ['--use-angle=swiftshader', '--enable-unsafe-swiftshader'],
  llvmpipe: ['--use-angle=gl-egl', '--ignore-gpu-blocklist'],
};

const CHROMIUM_FLAGS = [
  '--no-sandbox',
  '--use-gl=angle',
  // Nothing but the test's own server is contacted.
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
  '--disable-quic',
];

// Headless Chromium in a profile of its own, removed again by close().
export async function launchChromium(renderer = 'swiftshader') {
  if (!Object.hasOwn(RENDERER_FLAGS, renderer)) {
    throw new Error(`no renderer called ${renderer}; there are ${Object.keys(RENDERER_FLAGS)}`);
  }
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: profile,
    args: [...CHROMIUM_FLAGS, ...RENDERER_FLAGS[renderer]],
    // A page that stops answering fails its test in a minute rather than three.
    protocolTimeout: 60000,
  });
  return {
    browser,
    close: async () => {
      await browser.close();
      fs.rmSync(profile, {recursive: true, force: true});
    },
  };
}

export const FIREFOX = process.env.FIREFOX ?? '/usr/bin/firefox-esr';

// Firefox over WebDriver BiDi. Headless Firefox gives pages no WebGL on a machine without a GPU,
// and WebGL in a window only when told to use the software driver it would otherwise refuse, so
// it runs in a window on a display of its own.
async function launchFirefox() {
  const display = await startXvfb();
  try {
    const browser = await puppeteer.launch({
      browser: 'firefox',
      executablePath: FIREFOX,
      headless: false,
      extraPrefsFirefox: {'webgl.force-enabled': true},
      env: {...process.env, DISPLAY: display.name},
      protocolTimeout: 60000,
    });
    return {
      browser,
      close: async () => {
        try {
          await browser.close();
        } finally {
          await display.stop();
        }
      },
    };
  } catch (error) {
    await display.stop();
    throw error;
  }
}

export const ENGINES = ['chromium', 'firefox', 'webkit'];

// A browser of the engine named, as {newPage, close}. newPage() gives {page, console, errors} on a
// blank page: `page` answers goto, evaluate, $eval, waitForFunction, keyboard.press,
// mouse.move/down/up and $(selector).boundingBox/screenshot as puppeteer's Page does (puppeteer
// drives Chromium and Firefox; WebKit has an adapter), and `console` and `errors` fill as the page
// logs and throws. Chromium and Firefox pages also offer the rest of puppeteer's Page.
export async function launchBrowser(engine) {
  if (engine === 'webkit') {
    return launchWebKit();
  }
  const launched = engine === 'chromium' ? await launchChromium()
    : engine === 'firefox' ? await launchFirefox()
    : null;
  if (!launched) {
    throw new Error(`no engine called ${engine}; there are ${ENGINES}`);
  }
  return {...launched, newPage: () => openPage(launched.browser, 'about:blank')};
}

// A new page at `url`, 1:1 pixels, with everything it logs and throws collected as it comes.
export async function openPage(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({width: 1200, height: 900, deviceScaleFactor: 1});
  const console = [];
  const errors = [];
  page.on('console', (message) => console.push({type: message.type(), text: message.text()}));
  page.on('pageerror', (error) => errors.push(error));
  await page.goto(url);
  return {page, console, errors};
}

// Resolves once the frames asked for before the call have been drawn and shown: animation-frame
// callbacks run in the order they were asked for, and the second one comes a frame later.
export function framesSettled(page) {
  return page.evaluate(
    () => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
}

// A PNG of the element, in base64. The browser paints a canvas on whole pixels, wherever layout
// puts it; a picture cut at a fraction of a pixel cuts across them (Firefox), so where the page
// offers pictures of any part of it, the cut is rounded to the pixel. WebKit's adapter rounds its
// own.
async function elementPicture(page, selector) {
  if (!page.screenshot) {
    return (await page.$(selector)).screenshot();
  }
  // Rounded in the view, where the pixels are, and given in the page's coordinates.
  const clip = await page.$eval(selector, (element) => {
    const {left, top, width, height} = element.getBoundingClientRect();
    return {x: Math.round(left) + scrollX, y: Math.round(top) + scrollY, width: Math.round(width),
            height: Math.round(height)};
  });
  return page.screenshot({type: 'png', encoding: 'base64', captureBeyondViewport: false, clip});
}

// What the page lays over its canvases: the probe's crosshair, and the second view's names and
// handles.
const OVERLAYS = '#crosshair, #second-names, .second-handle';

// A canvas as the page shows it (the picture's unless `selector` names another), as {width,
// height, rgba}: a screenshot of the element, without what the page lays over it, decoded by the
// browser itself. The pixels come back as base64:
// WebDriver BiDi tags each number of an array one by one, which took Firefox seconds a picture.
export async function canvasPixels(page, selector = '#canvas') {
  const overlays = (visibility) => page.evaluate((overlaySelector, wanted) => {
    document.querySelectorAll(overlaySelector).forEach((element) => {
      element.style.visibility = wanted;
    });
  }, OVERLAYS, visibility);
  await overlays('hidden');
  // In view first, and taken from the view: the canvas may stay put while the page scrolls
  // (position: sticky), which a picture taken beyond the view would cut from the wrong place.
  // The page may also scroll by itself: a line of text above the view that wraps anew (the live
  // region that says what changed) moves what follows it, and the browser scrolls to keep what is
  // in view in place. The picture's place is measured before it is taken, so one taken while the
  // page scrolled is cut from the wrong place: it is taken again.
  // On a busy machine a canvas's new frame may also reach the screen a moment after the other's:
  // the picture is taken until two in a row agree.
  const scrolled = () => page.evaluate(() => `${window.scrollX},${window.scrollY}`);
  const steadyPicture = async () => {
    for (;;) {
      // In the middle of the view where it fits, clear of the view's edges, which a cut rounded
      // to the pixel could cross.
      await page.$eval(selector, (canvas) => canvas.scrollIntoView(
        {block: canvas.getBoundingClientRect().height < innerHeight ? 'center' : 'nearest'}));
      const before = await scrolled();
      const taken = await elementPicture(page, selector);
      if (await scrolled() === before) {
        return taken;
      }
    }
  };
  let png = await steadyPicture();
  for (let again = await steadyPicture(); again !== png; again = await steadyPicture()) {
    png = again;
  }
  await overlays('');
  return decodedPng(page, png);
}

// A PNG (in base64) as {width, height, rgba}, decoded by the browser in `page`.
export async function decodedPng(page, png) {
  const {width, height, base64} = await page.evaluate(async (encoded) => {
    const blob = await (await fetch('data:image/png;base64,' + encoded)).blob();
    const bitmap = await createImageBitmap(blob);
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const image = context.getImageData(0, 0, bitmap.width, bitmap.height);
    let binary = '';
    for (let i = 0; i < image.data.length; i += 0x8000) {
      binary += String.fromCharCode(...image.data.subarray(i, i + 0x8000));
    }
    return {width: image.width, height: image.height, base64: btoa(binary)};
  }, png);
  return {width, height, rgba: new Uint8Array(Buffer.from(base64, 'base64'))};
}

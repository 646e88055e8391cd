// What the browser tests and the browser benchmark share: a static server for a folder on
// 127.0.0.1, headless Chromium with WebGL on the CPU (ANGLE on SwiftShader by default) in a fresh
// profile, and a page's canvas read back as pixels.
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';

import puppeteer from 'puppeteer-core';

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

// The canvas as the page shows it, as {width, height, rgba}: a screenshot of the element,
// decoded by the browser itself.
export async function canvasPixels(page) {
  const png = await (await page.$('#canvas')).screenshot({type: 'png', encoding: 'base64'});
  const {width, height, data} = await page.evaluate(async (base64) => {
    const blob = await (await fetch('data:image/png;base64,' + base64)).blob();
    const bitmap = await createImageBitmap(blob);
    const context = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    context.drawImage(bitmap, 0, 0);
    const image = context.getImageData(0, 0, bitmap.width, bitmap.height);
    return {width: image.width, height: image.height, data: Array.from(image.data)};
  }, png);
  return {width, height, rgba: Uint8Array.from(data)};
}

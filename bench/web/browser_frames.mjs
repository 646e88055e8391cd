// Runs the browser program of the frame benchmark in headless Chromium (the test suite's set-up)
// and prints its JSON lines, each with the renderer WebGL drew with. Arguments: the page's folder,
// the timed frames per setting, and where WebGL draws (a key of RENDERER_FLAGS).
import {launchChromium, openPage, serve} from '../../tests/web/harness/browser.mjs';

const [folder, frames, renderer] = process.argv.slice(2);
const TIMEOUT_MS = 600000;

const server = await serve(folder);
const chromium = await launchChromium(renderer);
try {
  const {page, console: messages, errors} = await openPage(chromium.browser,
                                                           `${server.url}?${frames}`);
  const start = Date.now();
  while (!messages.some((m) => m.text === 'done') && errors.length === 0) {
    if (Date.now() - start > TIMEOUT_MS) {
      throw new Error('the benchmark did not finish');
    }
    await new Promise((resolve) => setTimeout(resolve, 200));
  }
  if (errors.length > 0) {
    throw errors[0];
  }
  const webgl = await page.evaluate(() => {
    const gl = document.createElement('canvas').getContext('webgl');
    const info = gl.getExtension('WEBGL_debug_renderer_info');
    return gl.getParameter(info.UNMASKED_RENDERER_WEBGL);
  });
  process.stderr.write(`Browser: ${await chromium.browser.version()}, WebGL on ${webgl}\n`);
  for (const {text} of messages) {
    if (text.startsWith('{')) {
      process.stdout.write(JSON.stringify({...JSON.parse(text), webgl: renderer}) + '\n');
    }
  }
} finally {
  await chromium.close();
  await server.close();
}

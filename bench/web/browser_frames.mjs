// Runs the browser program of the frame benchmark in headless Chromium (the test suite's set-up)
// and prints its JSON lines. Arguments: the page's folder and the timed frames per setting.
import {launchChromium, openPage, serve} from '../../tests/web/browser.mjs';

const [folder, frames] = process.argv.slice(2);
const TIMEOUT_MS = 600000;

const server = await serve(folder);
const chromium = await launchChromium();
try {
  const {console: messages, errors} = await openPage(chromium.browser, `${server.url}?${frames}`);
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
  const renderer = await chromium.browser.version();
  process.stderr.write(`Browser: ${renderer}, WebGL on ANGLE and SwiftShader\n`);
  for (const {text} of messages) {
    if (text.startsWith('{')) {
      process.stdout.write(text + '\n');
    }
  }
} finally {
  await chromium.close();
  await server.close();
}

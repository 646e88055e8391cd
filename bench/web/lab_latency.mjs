// Times the lighting lab from a change to its picture, on the site scripts/build-web.sh wrote, in
// headless Chromium with WebGL drawn by SwiftShader or llvmpipe: for the sphere and the tree, a
// number set as the panel sets it, then the time until the frame that shows it has been drawn
// (the viewer's animation-frame callback, then one pixel read back, which waits for the drawing).
// Prints one JSON line per model and change, with the median and the largest of `repeats` changes.
//   node bench/web/lab_latency.mjs SITE REPEATS RENDERER
// A benchmark to read, not a test: it checks nothing.
import {launchChromium, openPage, serve} from '../../tests/web/harness/browser.mjs';
import {giveInput, viewerStarted} from '../../tests/web/harness/page.mjs';

const [site, repeats = '15', renderer = 'swiftshader'] = process.argv.slice(2);

// Each change flips between two values, so that every repeat changes the picture.
const CHANGES = [
  {name: 'HIGHLIGHT_SHININESS', values: [10, 100]},
  {name: 'LIGHT_POSITION', values: [[-100, 100, 100, 0], [-100, 100, 100, 1]]},
  {name: 'GL_SPOT_CUTOFF', values: [30, 180]},
];
const MODELS = {sphere: '1', tree: '4'};

const server = await serve(site);
const chromium = await launchChromium(renderer);
try {
  const {page} = await openPage(chromium.browser, server.url);
  await viewerStarted(page);
  await giveInput(page, {keys: 'sh'});
  for (const [model, key] of Object.entries(MODELS)) {
    await giveInput(page, {keys: key});
    for (const {name, values} of CHANGES) {
      const times = await page.evaluate(async (number, pair, count) => {
        const gl = document.querySelector('#canvas').getContext('webgl');
        const pixel = new Uint8Array(4);
        const shown = () => new Promise((resolve) => requestAnimationFrame(resolve));
        const measured = [];
        for (let i = 0; i < count + 1; ++i) {
          await shown();
          const start = performance.now();
          orvane.lab.set(number, pair[i % 2]);
          // The viewer asked for its frame first: its callback runs before this one.
          await shown();
          gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
          measured.push(performance.now() - start);
        }
        orvane.lab.reset(number);
        return measured.slice(1); // the first change also warms the page up
      }, name, values, Number(repeats));
      const shown = await page.evaluate(() => orvane.viewerState().model);
      if (shown !== Number(key) - 1) {
        throw new Error(`the viewer shows model ${shown}, not the ${model}`);
      }
      times.sort((a, b) => a - b);
      console.log(JSON.stringify({renderer, model, change: name, repeats: times.length,
                                  medianMs: Number(times[times.length >> 1].toFixed(1)),
                                  largestMs: Number(times[times.length - 1].toFixed(1))}));
    }
  }
} finally {
  await chromium.close();
  await server.close();
}

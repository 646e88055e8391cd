// The native pictures the browser's canvas is compared with, and the comparison.
import fs from 'node:fs';

// A binary PPM as native_frames writes it: "P6\nW H\n255\n", then RGB rows from the top.
export function readPpm(file) {
  const bytes = fs.readFileSync(file);
  const header = bytes.subarray(0, 32).toString('latin1').match(/^P6\s+(\d+)\s+(\d+)\s+255\s/);
  if (!header) {
    throw new Error(`${file}: not a binary PPM with 8-bit channels`);
  }
  const [prefix, width, height] = [header[0], Number(header[1]), Number(header[2])];
  return {width, height, rgb: bytes.subarray(prefix.length, prefix.length + 3 * width * height)};
}

// The largest difference of the three channels at pixel i.
function difference(reference, actual, i) {
  return Math.max(
    Math.abs(reference.rgb[3 * i] - actual.rgba[4 * i]),
    Math.abs(reference.rgb[3 * i + 1] - actual.rgba[4 * i + 1]),
    Math.abs(reference.rgb[3 * i + 2] - actual.rgba[4 * i + 2]));
}

// How far a pixel is from its eight neighbours, in a picture of `stride` bytes a pixel: large on
// the edges of polygons, of lines and of points, small inside a polygon however it is shaded.
function roughness(bytes, stride, width, x, y) {
  let most = 0;
  const at = stride * (y * width + x);
  for (let dy = -1; dy <= 1; ++dy) {
    for (let dx = -1; dx <= 1; ++dx) {
      const n = stride * ((y + dy) * width + x + dx);
      for (let c = 0; c < 3; ++c) {
        most = Math.max(most, Math.abs(bytes[at + c] - bytes[n + c]));
      }
    }
  }
  return most;
}

// Tolerances, from the browser suite's 15 states against Mesa 22.3.6's llvmpipe, in Chromium 156 on ANGLE
// and SwiftShader, on this machine (measured maxima in brackets). They hold for every engine:
// Firefox 153 ESR and WebKitGTK 2.50 draw WebGL with the same llvmpipe and came closer still
// (both alike: inside [1]; fill [0.001 %], line [0.32 %], point [0.09 %]).
//
// Lighting must not differ: inside polygons, where neither picture moves by more than one level
// (of 255) between neighbouring pixels, no channel may differ by more than INSIDE_LEVELS. The
// pictures differed there by at most 1 [1], one rounding step of single-precision lighting; the
// second step leaves room for another CPU's rounding.
const SMOOTH_LEVELS = 1;
const INSIDE_LEVELS = 2;
// Rasterisers differ on edges: the share of all pixels that may differ by more than EDGE_LEVELS
// (6 %), by polygon mode. Filled frames differed on polygon edges [0.13 %]; lines and points
// land on other pixels where they fall between two [0.71 %, 0.69 %]. About twice the maxima.
const EDGE_LEVELS = 15;
const EDGE_SHARE = {fill: 0.003, line: 0.015, point: 0.015};

// Whether a canvas looks as the native viewer drew the same state (`reference`) within the
// tolerances above, in polygon mode `mode` (fill, line or point): {ok, said}, said giving the
// differences seen.
export function looksNative(reference, canvas, mode) {
  const seen = compare(reference, canvas, {fuzz: EDGE_LEVELS, smooth: SMOOTH_LEVELS});
  const said = `worst inside ${seen.worstInside} levels, ${(100 * seen.differing).toFixed(3)} % ` +
               'of the pixels differ';
  return {ok: seen.worstInside <= INSIDE_LEVELS && seen.differing <= EDGE_SHARE[mode], said, seen};
}

// Compares a canvas ({width, height, rgba}) with a reference ({width, height, rgb}):
// - differing: the share of all pixels where a channel differs by more than `fuzz`;
// - worstInside: the largest channel difference over the pixels inside polygons in both pictures,
//   those whose neighbourhood varies by at most `smooth` in each (the border is left out).
export function compare(reference, actual, {fuzz, smooth}) {
  if (reference.width !== actual.width || reference.height !== actual.height) {
    throw new Error(`sizes differ: ${reference.width} x ${reference.height} against ` +
                    `${actual.width} x ${actual.height}`);
  }
  const {width, height} = reference;
  let differing = 0;
  let worstInside = 0;
  let inside = 0;
  for (let y = 0; y < height; ++y) {
    for (let x = 0; x < width; ++x) {
      const d = difference(reference, actual, y * width + x);
      if (d > fuzz) {
        ++differing;
      }
      const border = x === 0 || y === 0 || x === width - 1 || y === height - 1;
      if (!border && roughness(reference.rgb, 3, width, x, y) <= smooth &&
          roughness(actual.rgba, 4, width, x, y) <= smooth) {
        ++inside;
        worstInside = Math.max(worstInside, d);
      }
    }
  }
  return {differing: differing / (width * height), worstInside, inside};
}

// How the browser's picture of a state is off from Mesa's, as lesson 6 of docs/LESSONS.md quotes
// it (scripts/lessons.sh measures and the browser suite checks with this one function): `numbers`
// under the keys of docs/lessons/numbers.txt, and `channels`, each channel's difference in the
// reference's RGB layout, for a picture of them. The keys say the browser made them, so the
// lessons' drift test, which runs no browser, leaves them to the browser suite. On the outline
// means that one of the two pictures shows the white background there: the rasterisers disagree
// on which pixels the sphere covers, not on its colour.
export function shaderDifference(reference, actual) {
  if (reference.width !== actual.width || reference.height !== actual.height) {
    throw new Error(`sizes differ: ${reference.width} x ${reference.height} against ` +
                    `${actual.width} x ${actual.height}`);
  }
  const pixels = reference.width * reference.height;
  const channels = new Uint8Array(3 * pixels);
  let largest = 0;
  let differing = 0;
  let beyondOne = 0;
  let onOutline = 0;
  const white = (bytes, at) => bytes[at] === 255 && bytes[at + 1] === 255 && bytes[at + 2] === 255;
  for (let i = 0; i < pixels; ++i) {
    for (let c = 0; c < 3; ++c) {
      channels[3 * i + c] = Math.abs(reference.rgb[3 * i + c] - actual.rgba[4 * i + c]);
    }
    const d = difference(reference, actual, i);
    largest = Math.max(largest, d);
    differing += d > 0 ? 1 : 0;
    beyondOne += d > 1 ? 1 : 0;
    onOutline += d > 1 && (white(reference.rgb, 3 * i) || white(actual.rgba, 4 * i)) ? 1 : 0;
  }
  return {
    numbers: {
      BROWSER_SHADER_LARGEST: largest,
      BROWSER_SHADER_DIFFERING: differing,
      BROWSER_SHADER_BEYOND_ONE: beyondOne,
      BROWSER_SHADER_BEYOND_ONE_ON_OUTLINE: onOutline,
    },
    channels,
  };
}

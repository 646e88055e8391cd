// Working the viewer's page as a person does, for every suite and tool: opening it until the
// viewer has drawn, keys and drags, fingers and pens given in canvas pixels wherever the canvas is
// shown and at whatever size, and the canvas read back once its frames have settled.
import {canvasPixels, framesSettled} from './browser.mjs';

export const WINDOW_TITLE = 'Orvane Assignment 3';
const MOUSE_BUTTONS = ['left', 'middle', 'right']; // GLUT's numbering
export const DRAG_STEPS = 6;

// Resolves once the viewer on `page` has named its window and drawn its first frame; on the
// lessons page the window's title is the viewer's heading.
export async function viewerStarted(page) {
  await page.waitForFunction((title) => document.querySelector('#title').textContent === title,
                             {}, WINDOW_TITLE);
  await framesSettled(page);
}

// A new page of `browser` (launchBrowser's) at `url`, the viewer started; `prepare` runs in the
// page before any of its scripts (not in WebKit, whose driver cannot run anything before the page).
export async function openViewer(browser, url, prepare) {
  const opened = await browser.newPage();
  if (prepare) {
    await opened.page.evaluateOnNewDocument(prepare);
  }
  await opened.page.goto(url);
  await viewerStarted(opened.page);
  return opened;
}

// Runs `use` ({page, console, errors}) on a viewer of its own at `url`, then closes it; what
// `use` gives back is given back.
export async function onViewer(browser, url, use, prepare) {
  const opened = await openViewer(browser, url, prepare);
  try {
    return await use(opened);
  } finally {
    await opened.page.close();
  }
}

// Where canvas pixels are on the page: a function from canvas pixels to page coordinates.
export async function canvasPlaces(page) {
  const box = await placeOf(page, '#canvas');
  const scale = box.width / (await page.$eval('#canvas', (canvas) => canvas.width));
  return ([x, y]) => [box.x + x * scale, box.y + y * scale];
}

// A key as puppeteer names it ('a', 'Enter', '+'), or one with modifiers held ('Shift+ArrowUp').
export async function press(page, combo) {
  const modifiers = combo.length > 1 ? combo.split('+') : [combo];
  const key = modifiers.pop();
  for (const modifier of modifiers) {
    await page.keyboard.down(modifier);
  }
  await page.keyboard.press(key);
  for (const modifier of modifiers.reverse()) {
    await page.keyboard.up(modifier);
  }
}

// Keys, typed into the picture (which takes the focus first, as a click on it would give it), then
// a drag as a person makes it: press, move in steps, release. The drag is given in canvas pixels,
// {button (GLUT's), from, to}.
export async function giveInput(page, {keys = '', drag}) {
  if (keys !== '') {
    await page.evaluate(() => document.querySelector('#canvas').focus());
  }
  for (const key of keys) {
    await page.keyboard.press(key);
  }
  if (drag) {
    const at = await canvasPlaces(page);
    await page.mouse.move(...at(drag.from));
    await page.mouse.down({button: MOUSE_BUTTONS[drag.button]});
    await page.mouse.move(...at(drag.to), {steps: DRAG_STEPS});
    await page.mouse.up({button: MOUSE_BUTTONS[drag.button]});
  }
}

// Where an element is on the screen, scrolled into view first if it is not.
export async function placeOf(page, selector) {
  await page.$eval(selector, (element) => element.scrollIntoView({block: 'nearest'}));
  return (await page.$(selector)).boundingBox();
}

// A click in the middle of an element, or at canvas pixel `pixel` of the canvas, made with the
// mouse as puppeteer's page.click makes it.
export async function click(page, selector, pixel) {
  let point;
  if (pixel) {
    point = (await canvasPlaces(page))([pixel[0] + 0.5, pixel[1] + 0.5]);
  } else {
    const box = await placeOf(page, selector);
    point = [box.x + box.width / 2, box.y + box.height / 2];
  }
  await page.mouse.move(...point);
  await page.mouse.down();
  await page.mouse.up();
}

export async function settledCanvas(page, selector) {
  await framesSettled(page);
  return canvasPixels(page, selector);
}

export function bytesDiffering(a, b) {
  return a.rgba.reduce((count, value, i) => count + (value === b.rgba[i] ? 0 : 1), 0);
}

// Fingers on a touch screen, through Chromium's input domain, at canvas pixels. Each call lists
// every finger still down, by position; a finger left out of a move is lifted.
export async function touchScreen(page) {
  const cdp = await page.createCDPSession();
  const at = await canvasPlaces(page);
  const send = (type, points) => cdp.send('Input.dispatchTouchEvent', {
    type,
    touchPoints: points.map((point, id) => {
      const [x, y] = at(point);
      return {x, y, id};
    }),
  });
  return {
    down: (points) => send('touchStart', points),
    move: (points) => send('touchMove', points),
    lift: () => send('touchEnd', []),
    cancel: () => send('touchCancel', []),
  };
}

// Points from `from` to `to` in DRAG_STEPS even steps, the last one exactly at `to`.
function stepsAlong(from, to) {
  return Array.from({length: DRAG_STEPS},
                    (_, i) => from.map((v, c) => v + (to[c] - v) * (i + 1) / DRAG_STEPS));
}

// A left drag is one finger along the same pixels. Any other button's drag is a pinch whose
// fingers, one above the other, move apart by the drag's vertical movement; `extraFinger` adds a
// third that wanders meanwhile.
export async function touchDrag(page, {button, from, to}, {extraFinger = false} = {}) {
  const fingers = await touchScreen(page);
  if (button === 0) {
    await fingers.down([from]);
    for (const point of stepsAlong(from, to)) {
      await fingers.move([point]);
    }
  } else {
    const growth = to[1] - from[1];
    const apart = growth < 0 ? 80 - growth : 100;
    const pair = (distance) => [[300, 300 - distance / 2], [300, 300 + distance / 2]];
    await fingers.down(pair(apart).slice(0, 1));
    await fingers.down(pair(apart));
    if (extraFinger) {
      await fingers.down([...pair(apart), [500, 100]]);
    }
    for (const [i, [, distance]] of stepsAlong([0, apart], [0, apart + growth]).entries()) {
      const wandering = extraFinger ? [[500 - 30 * i, 100 + 40 * i]] : [];
      await fingers.move([...pair(distance), ...wandering]);
    }
  }
  await fingers.lift();
}

// A pen is the mouse; its barrel button, held, makes the press the right button's.
export async function penDrag(page, {button, from, to}) {
  const cdp = await page.createCDPSession();
  const at = await canvasPlaces(page);
  const name = button === 0 ? 'left' : 'right';
  const buttons = button === 0 ? 1 : 2;
  const send = (type, point, held) => {
    const [x, y] = at(point);
    return cdp.send('Input.dispatchMouseEvent',
                    {type, x, y, button: name, buttons: held, clickCount: 1, pointerType: 'pen'});
  };
  await send('mousePressed', from, buttons);
  for (const point of stepsAlong(from, to)) {
    await send('mouseMoved', point, buttons);
  }
  await send('mouseReleased', to, 0);
}

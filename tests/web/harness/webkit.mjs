// WebKitGTK's MiniBrowser driven through WebKitWebDriver, classic W3C WebDriver over HTTP, with
// pages that answer the part of puppeteer's Page the browser suite uses, so that one suite drives
// every engine.
//
// The mouse is the X server's (xdotool), not WebDriver's: WebKitGTK 2.50 synthesises the release
// of a W3C pointerUp as a release of button 0 and keeps the button held in `buttons`, so after a
// right or middle drag the page still sees that button down and every later move drags on.
import {execFile, spawn} from 'node:child_process';
import {once} from 'node:events';
import fs from 'node:fs';
import net from 'node:net';
import {promisify} from 'node:util';

import {startXvfb} from './xvfb.mjs';

export const WEBKIT_DRIVER = process.env.WEBKIT_DRIVER ?? 'WebKitWebDriver';
export const MINIBROWSER = process.env.MINIBROWSER ??
  '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';

// DOM numbering, and X's.
const MOUSE_BUTTONS = {left: 0, middle: 1, right: 2};
const X_BUTTONS = {left: 1, middle: 2, right: 3};
const WAIT_TIMEOUT_MS = 30000;

// WebKitWebDriver takes its port on the command line and cannot be told to pick one itself: take
// one the system has just handed out.
async function freePort() {
  const probe = net.createServer();
  await new Promise((resolve) => probe.listen(0, '127.0.0.1', resolve));
  const {port} = probe.address();
  await new Promise((resolve) => probe.close(resolve));
  return port;
}

function client(base) {
  return async (method, path, body) => {
    const response = await fetch(base + path, {
      method,
      headers: {'Content-Type': 'application/json; charset=utf-8'},
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const {value} = await response.json();
    if (!response.ok) {
      throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
    }
    return value;
  };
}

// The browser with its driver, on a display of its own. The driver holds one session at a time,
// and a session is one window: close a page before opening the next.
export async function launchWebKit() {
  const display = await startXvfb();
  const port = await freePort();
  const driver = spawn(WEBKIT_DRIVER, [`--port=${port}`], {
    env: {...process.env, DISPLAY: display.name},
    stdio: ['ignore', 'ignore', 'inherit'],
  });
  // The browser ends with its display; the driver would outlive Node.
  const kill = () => driver.kill();
  process.once('exit', kill);
  const close = async () => {
    process.off('exit', kill);
    if (driver.exitCode === null && driver.signalCode === null && driver.pid !== undefined) {
      const exited = once(driver, 'exit');
      driver.kill();
      await exited;
    }
    await display.stop();
  };
  const call = client(`http://127.0.0.1:${port}`);
  try {
    // The driver answers once it listens.
    const start = Date.now();
    for (;;) {
      if (driver.exitCode !== null) {
        throw new Error(`${WEBKIT_DRIVER} ended (${driver.exitCode})`);
      }
      try {
        await call('GET', '/status');
        break;
      } catch (error) {
        if (Date.now() - start > WAIT_TIMEOUT_MS) {
          throw error;
        }
        await new Promise((resolve) => setTimeout(resolve, 100));
      }
    }
  } catch (error) {
    await close();
    throw error;
  }
  return {newPage: () => openSession(call, display.name, driver.pid), close};
}

// W3C WebDriver's code points for the keys puppeteer names; characters stand for themselves.
const W3C_KEYS = {
  Tab: '\uE004', Enter: '\uE007', Shift: '\uE008', Control: '\uE009', Escape: '\uE00C',
  PageUp: '\uE00E', PageDown: '\uE00F', End: '\uE010', Home: '\uE011', ArrowLeft: '\uE012',
  ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015', Backspace: '\uE003',
};

function w3cKey(key) {
  if ([...key].length === 1) {
    return key;
  }
  if (!Object.hasOwn(W3C_KEYS, key)) {
    throw new Error(`no W3C code point for the key ${key}`);
  }
  return W3C_KEYS[key];
}

// A page's console and uncaught errors, kept in the page and handed over with each script's
// result. WebDriver has no events, so this starts only after a page has loaded: what the page
// logs while it loads is not seen. Also the last mouse event, which tells when the page has had
// the X server's input, as nothing orders that input with WebDriver's commands.
function record() {
  if (window.orvaneRecord) {
    return;
  }
  window.orvaneRecord = {console: [], errors: [], mouse: null};
  for (const type of ['mousemove', 'mousedown', 'mouseup']) {
    window.addEventListener(type, (event) => {
      window.orvaneRecord.mouse = {type, button: event.button, x: event.clientX, y: event.clientY};
    }, true);
  }
  const text = (values) => values.map(String).join(' ');
  for (const type of ['log', 'info', 'warn', 'error', 'debug']) {
    const original = console[type];
    console[type] = (...values) => {
      const entry = {type: type === 'warn' ? 'warning' : type, text: text(values)};
      window.orvaneRecord.console.push(entry);
      original.apply(console, values);
    };
  }
  window.addEventListener('error', (event) => {
    window.orvaneRecord.errors.push(String(event.error ?? event.message));
  });
  window.addEventListener('unhandledrejection', (event) => {
    window.orvaneRecord.errors.push(String(event.reason));
  });
}

// Runs `source`, a function's text, with `args` in the page and settles with what it returns or
// throws, plus what the page recorded since the last script.
function script(source, args) {
  return `const done = arguments[arguments.length - 1];
    const handOver = (outcome) => {
      const record = window.orvaneRecord ?? {console: [], errors: []};
      done({...outcome, console: record.console.splice(0), errors: record.errors.splice(0)});
    };
    Promise.resolve()
      .then(() => (${source}).apply(null, ${JSON.stringify(args)}))
      .then((value) => handOver({value}),
            (error) => handOver({thrown: String(error)}));`;
}

// Resolves once the driver's browser has ended. The driver ends a session before its browser has
// closed, and a browser started while the last one was still closing said, on a busy machine, that
// it "cannot open display" (its display's server running all along); the driver then waited for it
// without end.
async function browserGone(driverPid) {
  const start = Date.now();
  while (childProcesses(driverPid).length > 0) {
    if (Date.now() - start > WAIT_TIMEOUT_MS) {
      throw new Error('the browser did not end after its session');
    }
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

// The processes whose parent is `pid`, from /proc (a fresh machine may lack pgrep).
function childProcesses(pid) {
  return fs.readdirSync('/proc').filter((entry) => {
    if (!/^\d+$/.test(entry)) {
      return false;
    }
    try {
      // "pid (name) state ppid ...": the name may hold spaces and parentheses.
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      return Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]) === pid;
    } catch {
      return false; // ended while it was read
    }
  });
}

async function openSession(call, display, driverPid) {
  const {sessionId} = await call('POST', '/session', {
    capabilities: {
      alwaysMatch: {'webkitgtk:browserOptions': {binary: MINIBROWSER, args: ['--automation']}},
    },
  });
  const session = (method, path, body) => call(method, `/session/${sessionId}${path}`, body);
  // The window starts smaller than the canvas, and screenshots are cut off at the window's edge.
  await session('POST', '/window/rect', {width: 1200, height: 1150});

  const console = [];
  const errors = [];
  const run = async (source, args) => {
    const outcome = await session('POST', '/execute/async',
                                  {script: script(source, args), args: []});
    console.push(...outcome.console);
    errors.push(...outcome.errors);
    if (outcome.thrown !== undefined) {
      throw new Error(`in the page: ${outcome.thrown}`);
    }
    return outcome.value;
  };

  const xdotool = (...args) =>
    promisify(execFile)('xdotool', args.map(String), {env: {...process.env, DISPLAY: display}});
  // The client area's corner on the screen: the window's corner, below MiniBrowser's toolbar (the
  // window has no frame on a display with no window manager). Each mouse action waits until the
  // page reports it, which also catches a wrong guess here.
  const corner = async () => {
    const [x, y, toolbar] = await run(() => [screenX, screenY, outerHeight - innerHeight], []);
    return [x, y + toolbar];
  };
  const mouseSeen = (expected) => page.waitForFunction((wanted) => {
    const seen = window.orvaneRecord.mouse;
    return seen !== null && Object.keys(wanted).every((key) => seen[key] === wanted[key]);
  }, {}, expected);
  let at = null; // where the pointer is, in whole client pixels
  const keys = (actions) => session('POST', '/actions', {
    actions: [{type: 'key', id: 'keyboard', actions}],
  });

  const page = {
    async goto(url) {
      await session('POST', '/url', {url});
      await run(String(record), []);
      at = null;
    },
    evaluate: (fn, ...args) => run(String(fn), args),
    $eval: (selector, fn, ...args) => run(
      `(selector, ...args) => (${fn})(document.querySelector(selector), ...args)`,
      [selector, ...args]),
    async waitForFunction(fn, {timeout = WAIT_TIMEOUT_MS} = {}, ...args) {
      const start = Date.now();
      for (;;) {
        const value = await run(String(fn), args);
        if (value) {
          return value;
        }
        if (Date.now() - start > timeout) {
          throw new Error(`waiting for ${fn} timed out after ${timeout} ms`);
        }
        await new Promise((resolve) => setTimeout(resolve, 20));
      }
    },
    keyboard: {
      press: (key) => keys([{type: 'keyDown', value: w3cKey(key)},
                            {type: 'keyUp', value: w3cKey(key)}]),
      // Held across later actions: the session keeps the keyboard's state between them.
      down: (key) => keys([{type: 'keyDown', value: w3cKey(key)}]),
      up: (key) => keys([{type: 'keyUp', value: w3cKey(key)}]),
    },
    mouse: {
      // Client coordinates, in `steps` even moves from where the pointer is, as puppeteer does;
      // X moves in whole pixels, and a move that stays on its pixel gives no event.
      async move(x, y, {steps = 1} = {}) {
        const [left, top] = await corner();
        if (!at) {
          // Where the pointer starts is unknown, and a move to where it already is gives no
          // event: start from the pixel beside the target.
          at = [Math.round(x) + 1, Math.round(y)];
          await xdotool('mousemove', left + at[0], top + at[1]);
        }
        const [fromX, fromY] = at;
        for (let i = 1; i <= steps; ++i) {
          const to = [Math.round(fromX + (x - fromX) * i / steps),
                      Math.round(fromY + (y - fromY) * i / steps)];
          if (to[0] !== at[0] || to[1] !== at[1]) {
            await xdotool('mousemove', left + to[0], top + to[1]);
            await mouseSeen({type: 'mousemove', x: to[0], y: to[1]});
            at = to;
          }
        }
      },
      async down({button = 'left'} = {}) {
        await xdotool('mousedown', X_BUTTONS[button]);
        await mouseSeen({type: 'mousedown', button: MOUSE_BUTTONS[button]});
      },
      async up({button = 'left'} = {}) {
        await xdotool('mouseup', X_BUTTONS[button]);
        await mouseSeen({type: 'mouseup', button: MOUSE_BUTTONS[button]});
      },
    },
    // An element as puppeteer's ElementHandle gives it: where it is, and a PNG of it. Asking the
    // driver for it first fails here, as puppeteer would, where nothing matches.
    async $(selector) {
      await session('POST', '/element', {using: 'css selector', value: selector});
      return {
        boundingBox: () => page.$eval(selector, (element) => {
          const {x, y, width, height} = element.getBoundingClientRect();
          return {x, y, width, height};
        }),
        // Cut from a picture of the page's window, scrolled to show the element first as
        // puppeteer does: WebKitGTK 2.50's pictures of an element lower on the page come out
        // shifted down, by more the taller the window.
        screenshot: async () => {
          await page.$eval(selector, (element) => element.scrollIntoView({block: 'nearest'}));
          return page.evaluate(async (png, wanted) => {
          const box = document.querySelector(wanted).getBoundingClientRect();
          const blob = await (await fetch('data:image/png;base64,' + png)).blob();
          const picture = await createImageBitmap(blob);
          const [x, y, width, height] = [box.left, box.top, box.width, box.height].map(
            (length) => Math.round(length * devicePixelRatio));
          const cut = new OffscreenCanvas(width, height);
          cut.getContext('2d').drawImage(picture, x, y, width, height, 0, 0, width, height);
          const bytes = new Uint8Array(await (await cut.convertToBlob()).arrayBuffer());
          let binary = '';
          for (let i = 0; i < bytes.length; i += 0x8000) {
            binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
          }
          return btoa(binary);
          }, await session('GET', '/screenshot'), selector);
        },
      };
    },
    // The page's width and height, in CSS pixels: the window's, as it has no frame and no side
    // bars, with the toolbar above the page added.
    async setViewport({width, height}) {
      const toolbar = await run(() => outerHeight - innerHeight, []);
      await session('POST', '/window/rect', {width, height: height + toolbar});
    },
    // The accessible name and role the browser's accessibility tree gives the element.
    async accessible(selector) {
      const element = await session('POST', '/element', {using: 'css selector', value: selector});
      const id = Object.values(element)[0];
      return {name: await session('GET', `/element/${id}/computedlabel`),
              role: await session('GET', `/element/${id}/computedrole`)};
    },
    async close() {
      await session('DELETE', '');
      await browserGone(driverPid);
    },
  };
  return {page, console, errors};
}

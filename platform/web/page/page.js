// The page's side of the viewer, run inside orvane-viewer.js before the program starts (em++
// --pre-js): the program's standard output goes onto the page as well as the console, and the
// GLUT layer reports through the hooks below.
var canvas = document.getElementById('canvas');
var canvasWindow = document.getElementById('window');
var statusLine = document.getElementById('status');

function tellStatus(text, kind) {
  statusLine.textContent = text;
  statusLine.className = kind;
}

Module['print'] = function (line) {
  document.getElementById('usage').textContent += line + '\n';
  console.log(line);
};

Module['printErr'] = function (line) {
  console.error(line);
  tellStatus(line, 'failed');
};

// Called after each frame the viewer draws, in the animation frame that drew it: the picture is
// still in the canvas's drawing buffer then.
var frameListeners = [];
Module['onFrameDrawn'] = function () {
  frameListeners.forEach(function (listener) { listener(); });
};

Module['onAbort'] = function (what) {
  tellStatus('The viewer stopped with an error: ' + what, 'failed');
};

// Where the program placed its window, as an offset of the canvas, on screens with room for the
// canvas and the offset side by side. On narrower ones the offset goes, so that the page never
// scrolls sideways, and the canvas shrinks to fit.
function placeCanvas() {
  var room = canvasWindow.parentElement.clientWidth;
  var offset = parseFloat(canvasWindow.style.getPropertyValue('--window-x')) || 0;
  canvasWindow.classList.toggle('narrow', offset + canvas.width > room);
}

Module['onWindowCreated'] = function (title, x, y) {
  probeSwitch.checked = false;
  probeSwitch.disabled = false;
  // The lessons page keeps its own title; the window's names the picture there.
  if (!document.body.classList.contains('with-lessons')) {
    document.title = title;
  }
  document.getElementById('title').textContent = title;
  if (x >= 0 && y >= 0) {
    canvasWindow.style.setProperty('--window-x', x + 'px');
    canvasWindow.style.setProperty('--window-y', y + 'px');
  }
  placeCanvas();
  window.addEventListener('resize', placeCanvas);
  tellStatus('', '');
};

// The browser took the GPU context away: until it gives it back, the picture cannot be drawn.
Module['onContextLost'] = function () {
  tellStatus('The browser has taken the picture\'s graphics context away (this happens after a ' +
             'graphics reset, or with many tabs open). The viewer waits for it to come back; ' +
             'keys and drags still count.', 'lost');
};

Module['onContextRestored'] = function () {
  tellStatus('', '');
};

Module['onViewerEnded'] = function (status) {
  canvas.classList.add('ended');
  probeSwitch.disabled = true;
  document.querySelectorAll('#keys button').forEach(function (button) {
    button.disabled = true;
  });
  // What the program said on standard error last, if anything, stays in front.
  var reason = statusLine.className === 'failed' ? statusLine.textContent + ' ' : '';
  statusLine.textContent = reason + 'The viewer has ended (exit status ' + status + '). ';
  var again = document.createElement('button');
  again.textContent = 'Start it again';
  again.addEventListener('click', function () {
    location.reload();
  });
  statusLine.append('Reload the page to start it again: ', again);
  statusLine.className = 'ended';
};

// The canvas takes the keyboard when clicked (the program keeps the press from doing anything
// else), and right drags zoom rather than open a menu.
canvas.addEventListener('mousedown', function () {
  canvas.focus();
});
canvas.addEventListener('contextmenu', function (event) {
  event.preventDefault();
});

// A button types its key into the canvas, where the program listens for keys. The focus stays on
// the button, so that it can be pressed again, and the next button is a Tab away.
document.querySelectorAll('#keys button').forEach(function (button) {
  button.addEventListener('click', function () {
    canvas.dispatchEvent(new KeyboardEvent('keydown', {key: button.dataset.key, bubbles: true}));
  });
});

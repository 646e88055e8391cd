// The page's side of the viewer, run inside orvane-viewer.js before the program starts (em++
// --pre-js): the program's standard output goes onto the page as well as the console, the status
// line says what became of the viewer, and the GLUT layer's hooks on Module are handed to lists of
// listeners, which the page's other parts join (page/orvane.js wires them).
var viewerPage = (function () {
  var canvas = document.getElementById('canvas');
  var canvasWindow = document.getElementById('window');
  var statusLine = document.getElementById('status');
  // Each is called with the hook's arguments: the window made (title, x, y); a frame drawn, in the
  // animation frame that drew it, with the picture still in the canvas's drawing buffer; the
  // graphics context lost and given back; the viewer ended (exit status).
  var listeners = {windowCreated: [], frameDrawn: [], contextLost: [], contextRestored: [],
                   viewerEnded: []};

  function tellStatus(text, kind) {
    statusLine.textContent = text;
    statusLine.className = kind;
  }

  Object.keys(listeners).forEach(function (hook) {
    Module['on' + hook.charAt(0).toUpperCase() + hook.slice(1)] = function () {
      var given = arguments;
      listeners[hook].forEach(function (listener) { listener.apply(null, given); });
    };
  });

  Module['print'] = function (line) {
    document.getElementById('usage').textContent += line + '\n';
    console.log(line);
  };

  Module['printErr'] = function (line) {
    console.error(line);
    tellStatus(line, 'failed');
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

  listeners.windowCreated.push(function (title, x, y) {
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
  });

  // The browser took the GPU context away: until it gives it back, the picture cannot be drawn.
  listeners.contextLost.push(function () {
    tellStatus('The browser has taken the picture\'s graphics context away (this happens after a ' +
               'graphics reset, or with many tabs open). The viewer waits for it to come back; ' +
               'keys and drags still count.', 'lost');
  });

  listeners.contextRestored.push(function () {
    tellStatus('', '');
  });

  listeners.viewerEnded.push(function (status) {
    canvas.classList.add('ended');
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
  });

  // The canvas takes the keyboard when clicked (the program keeps the press from doing anything
  // else), and right drags zoom rather than open a menu.
  canvas.addEventListener('mousedown', function () {
    canvas.focus();
  });
  canvas.addEventListener('contextmenu', function (event) {
    event.preventDefault();
  });

  // A button types its key into the canvas, where the program listens for keys. The focus stays
  // on the button, so that it can be pressed again, and the next button is a Tab away.
  document.querySelectorAll('#keys button').forEach(function (button) {
    button.addEventListener('click', function () {
      canvas.dispatchEvent(new KeyboardEvent('keydown', {key: button.dataset.key, bubbles: true}));
    });
  });

  return {canvas: canvas, window: canvasWindow, tellStatus: tellStatus, listeners: listeners};
})();

// The lessons' buttons. Each shows its step in the viewer as a person would get there: it starts
// the viewer afresh, as reloading the page does, then types the step's keys and makes its drags on
// the canvas. So a button gives the same picture whatever the viewer showed before, and reaches it
// only through the viewer's own keys and mouse.
(function () {
  var PENDING = 'orvane-lesson-step';
  var BUTTONS = {left: 0, middle: 1, right: 2};
  var canvas = document.getElementById('canvas');

  // Client coordinates of a canvas pixel's centre, wherever and however large the canvas is shown.
  function at(point) {
    var box = canvas.getBoundingClientRect();
    var xy = point.split(',').map(Number);
    return {clientX: box.left + (xy[0] + 0.5) * box.width / canvas.width,
            clientY: box.top + (xy[1] + 0.5) * box.height / canvas.height};
  }

  function mouse(target, type, button, held, point) {
    var where = at(point);
    target.dispatchEvent(new MouseEvent(type, {bubbles: true, button: button, buttons: held,
                                               clientX: where.clientX, clientY: where.clientY}));
  }

  // A run of keys ("sh"), a drag "right:300,599>300,-1": press, one move, release, as the
  // viewer's mouse listens for them (the press on the canvas, the rest on the window), or one of
  // the lab's numbers, "HIGHLIGHT_SHININESS=10", set as its panel sets it.
  function send(step) {
    var drag = /^(left|middle|right):(-?\d+,-?\d+)>(-?\d+,-?\d+)$/.exec(step);
    var number = /^([A-Z][A-Z0-9_]*)=(.+)$/.exec(step);
    if (number) {
      var value = number[2].split(',').map(function (part) {
        return /^GL_/.test(part) ? part : Number(part);
      });
      orvane.lab.set(number[1], value.length === 1 ? value[0] : value);
      return;
    }
    if (!drag) {
      step.split('').forEach(function (key) {
        canvas.dispatchEvent(new KeyboardEvent('keydown', {key: key, bubbles: true}));
      });
      return;
    }
    var button = BUTTONS[drag[1]];
    mouse(canvas, 'mousedown', button, 1 << button, drag[2]);
    mouse(window, 'mousemove', button, 1 << button, drag[3]);
    mouse(window, 'mouseup', button, 0, drag[3]);
  }

  document.querySelectorAll('[data-try]').forEach(function (button) {
    button.addEventListener('click', function () {
      sessionStorage.setItem(PENDING, JSON.stringify(
        {name: button.dataset.name, steps: button.dataset.try, scroll: window.scrollY}));
      // Afresh: without the lab's numbers, which the address holds.
      history.replaceState(history.state, '', location.pathname + location.search);
      location.reload();
    });
  });

  var pending = JSON.parse(sessionStorage.getItem(PENDING) || 'null');
  sessionStorage.removeItem(PENDING);
  if (!pending) {
    return;
  }
  // The viewer names its window once it has one; its callbacks are in place by the next frame.
  new MutationObserver(function (changes, observer) {
    observer.disconnect();
    requestAnimationFrame(function () {
      pending.steps.split(' ').filter(Boolean).forEach(send);
      // Back where the reader was: the page has been laid out again, and the viewer's start has
      // moved the focus (and so the page) to the canvas.
      window.scrollTo(0, pending.scroll);
      document.body.dataset.shown = pending.name;
    });
  }).observe(document.getElementById('title'), {childList: true, characterData: true,
                                                 subtree: true});
})();

// Steps given to the viewer as a person gives them, run inside orvane-viewer.js (em++ --pre-js):
// for the lessons' buttons (lessons/lessons.js, through orvane.show) and for the view a link holds
// (page/view.js). A step is one of
//   a run of the viewer's keys, "4sh", typed into the picture;
//   a drag in canvas pixels, "left:300,599>300,-1": a press on the picture, one move and the
//     release on the window, as the viewer's mouse listens for them;
//   one of the lab's numbers, "HIGHLIGHT_SHININESS=10", set as the lab's panel sets it;
//   "outside", the second view opened on the scene from outside, or "outside:eye,normals", opened
//     showing only the parts named;
//   "perpixel", the second view opened on the picture lit per pixel.
// What the keys and drags do is the viewer's own code's business: the page only types and drags.
var givenSteps = (function () {
  var STEP_BUTTONS = {left: 0, middle: 1, right: 2};
  var STEP_KEYS = /^[1-4shwpvq]+$/i;
  var STEP_DRAG = /^(left|middle|right):(-?\d+),(-?\d+)>(-?\d+),(-?\d+)$/;
  var STEP_NUMBER = /^([A-Z][A-Z0-9_]*)=(.+)$/;
  var STEP_OUTSIDE = /^outside(?::([a-z]+(?:,[a-z]+)*))?$/;
  var STEP_PARTS = ['eye', 'light', 'cone', 'normals', 'vectors'];

  // One step's text as {keys}, {drag: {button, from, to}}, {number, value}, {outside: parts} or
  // {perPixel: true}; throws a TypeError that says why a text is none of them. The lab's numbers
  // are checked when they are set.
  function stepOf(text) {
    var drag = STEP_DRAG.exec(text);
    var number = STEP_NUMBER.exec(text);
    if (STEP_KEYS.test(text)) {
      return {keys: text};
    }
    if (drag) {
      return {drag: {button: STEP_BUTTONS[drag[1]], from: [Number(drag[2]), Number(drag[3])],
                     to: [Number(drag[4]), Number(drag[5])]}};
    }
    if (number) {
      return {number: number[1], value: lab.parse(number[2])};
    }
    var outside = STEP_OUTSIDE.exec(text);
    if (outside) {
      var parts = outside[1] ? outside[1].split(',') : null;
      (parts || []).forEach(function (part) {
        if (STEP_PARTS.indexOf(part) < 0) {
          throw new TypeError('the second view shows ' + STEP_PARTS.join(', ') + ', not ' + part +
                              '.');
        }
      });
      return {outside: parts};
    }
    if (text === 'perpixel') {
      return {perPixel: true};
    }
    throw new TypeError('"' + text + '" is not a run of the viewer\'s keys, a drag, a lab ' +
                        'number or the second view.');
  }

  // Client coordinates of canvas pixel `point`'s centre, wherever and however large it is shown.
  function stepClientAt(point) {
    var canvas = document.querySelector('#canvas');
    var box = canvas.getBoundingClientRect();
    return {clientX: box.left + (point[0] + 0.5) * box.width / canvas.width,
            clientY: box.top + (point[1] + 0.5) * box.height / canvas.height};
  }

  function stepMouse(target, type, button, held, point) {
    var at = stepClientAt(point);
    target.dispatchEvent(new MouseEvent(type, {bubbles: true, button: button, buttons: held,
                                               clientX: at.clientX, clientY: at.clientY}));
  }

  function giveStep(step) {
    var canvas = document.querySelector('#canvas');
    if (step.keys) {
      step.keys.split('').forEach(function (key) {
        canvas.dispatchEvent(new KeyboardEvent('keydown', {key: key, bubbles: true}));
      });
    } else if (step.drag) {
      var drag = step.drag;
      stepMouse(canvas, 'mousedown', drag.button, 1 << drag.button, drag.from);
      stepMouse(window, 'mousemove', drag.button, 1 << drag.button, drag.to);
      stepMouse(window, 'mouseup', drag.button, 0, drag.to);
    } else if (step.number) {
      lab.set(step.number, step.value.length === 1 ? step.value[0] : step.value);
    } else if (step.perPixel) {
      secondView.perPixelApi.open(true);
    } else {
      secondView.api.open(true);
      if (step.outside) {
        STEP_PARTS.forEach(function (part) {
          secondView.api.show(part, step.outside.indexOf(part) >= 0);
        });
      }
    }
  }

  // Gives the steps of `text`, separated by spaces, in order. One that cannot be read or taken is
  // left out, and the rest given; the notes say what was left out and why.
  function giveSteps(text) {
    var notes = [];
    text.split(' ').filter(Boolean).forEach(function (part) {
      try {
        giveStep(stepOf(part));
      } catch (error) {
        notes.push(part + ': ' + error.message);
      }
    });
    return notes;
  }

  return {stepOf: stepOf, give: giveSteps};
})();

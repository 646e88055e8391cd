// What a link holds of the viewer, run inside orvane-viewer.js (em++ --pre-js): the model, the
// normals, the highlight, the polygon mode, the two turns and the zoom, read from the viewer
// (orvane.viewerState()) and, when a link is opened, reached through the viewer's own keys and
// drags (page/steps.js), as a lesson's button reaches its step. The page only types and drags:
// what the keys and drags do is the viewer's code's.
var linkView = (function () {
  var VIEW_MODELS = ['sphere', 'cylinder', 'ladder', 'tree'];
  var VIEW_MODES = {filled: 'p', wireframe: 'w', points: 'v'};
  // The viewer turns one degree and zooms a thousandth a pixel of a drag.
  var VIEW_ZOOM_PER_PIXEL = 0.001;
  // Beyond these a drag's pixels would not be a number the window system can give.
  var VIEW_LARGEST_TURN = 36000;
  var VIEW_LARGEST_ZOOM = 1000;
  // Where the drags start, in canvas pixels.
  var VIEW_DRAG_FROM = [300, 300];

  // Each part of the view a link may hold: its value in the viewer as it starts, its value read
  // from the viewer's state, and the steps that reach a value from the start (or an exception that
  // says why there are none).
  var VIEW_PARTS = {
    model: {
      start: 'sphere',
      read: function (s) { return VIEW_MODELS[s.model]; },
      reach: function (v) { return String(viewChoice('model', VIEW_MODELS, v) + 1); },
    },
    normals: {
      start: 'flat',
      read: function (s) { return s.smoothShading ? 'smooth' : 'flat'; },
      reach: function (v) { return ['', 's'][viewChoice('normals', ['flat', 'smooth'], v)]; },
    },
    highlight: {
      start: 'off',
      read: function (s) { return s.highlight ? 'on' : 'off'; },
      reach: function (v) { return ['', 'h'][viewChoice('highlight', ['off', 'on'], v)]; },
    },
    polygons: {
      start: 'filled',
      read: function (s) { return s.polygonMode; },
      reach: function (v) {
        var modes = Object.keys(VIEW_MODES);
        return VIEW_MODES[modes[viewChoice('polygons', modes, v)]];
      },
    },
    turnY: {
      start: '0',
      read: function (s) { return String(s.angleY); },
      reach: function (v) {
        return viewDrag('left', viewNumber('turnY', v, VIEW_LARGEST_TURN), 0);
      },
    },
    turnX: {
      start: '0',
      read: function (s) { return String(s.angleX); },
      reach: function (v) {
        return viewDrag('left', 0, viewNumber('turnX', v, VIEW_LARGEST_TURN));
      },
    },
    zoom: {
      start: '1',
      read: function (s) { return String(Number(s.zoom.toFixed(3))); },
      reach: function (v) {
        var pixels = (viewNumber('zoom', v, VIEW_LARGEST_ZOOM) - 1) / VIEW_ZOOM_PER_PIXEL;
        return viewDrag('right', 0, pixels);
      },
    },
  };

  // Where `v` is among `choices`; throws where it is none of them.
  function viewChoice(name, choices, v) {
    var at = choices.indexOf(v);
    if (at < 0) {
      throw new TypeError(name + ' is one of ' + choices.join(', ') + '.');
    }
    return at;
  }

  function viewNumber(name, text, largest) {
    var v = Number(text);
    if (text.trim() === '' || !isFinite(v) || Math.abs(v) > largest) {
      throw new RangeError(name + ' is a number from ' + -largest + ' to ' + largest + '.');
    }
    return v;
  }

  // A drag of (dx, dy) pixels, rounded to whole pixels as a pointer moves; none for no movement.
  function viewDrag(button, dx, dy) {
    var to = [VIEW_DRAG_FROM[0] + Math.round(dx), VIEW_DRAG_FROM[1] + Math.round(dy)];
    return to[0] === VIEW_DRAG_FROM[0] && to[1] === VIEW_DRAG_FROM[1] ? ''
      : button + ':' + VIEW_DRAG_FROM.join(',') + '>' + to.join(',');
  }

  // The pairs a link holds for the view the viewer shows now: the parts that differ from the start.
  function viewPairs() {
    var view = viewRead(orvane.viewerState());
    return Object.keys(VIEW_PARTS).filter(function (name) {
      return view[name] !== VIEW_PARTS[name].start;
    }).map(function (name) {
      return [name, view[name]];
    });
  }

  function isViewPart(name) {
    return Object.prototype.hasOwnProperty.call(VIEW_PARTS, name);
  }

  // The steps that reach a link's view parts ({name, text}) from the viewer as it starts, as one
  // text for giveSteps, and notes on the parts it cannot take. A part named twice counts once, as
  // its last value; the steps go in VIEW_PARTS's order, keys before drags.
  function viewSteps(pairs, notes) {
    var wanted = {};
    pairs.forEach(function (pair) {
      wanted[pair.name] = pair.text;
    });
    return Object.keys(VIEW_PARTS).filter(function (name) {
      return Object.prototype.hasOwnProperty.call(wanted, name);
    }).map(function (name) {
      try {
        return VIEW_PARTS[name].reach(wanted[name]);
      } catch (error) {
        notes.push(name + '=' + wanted[name] + ': ' + error.message);
        return '';
      }
    }).join(' ');
  }

  // What the viewer shows now, each part in a link's words.
  function viewRead(state) {
    var view = {};
    Object.keys(VIEW_PARTS).forEach(function (name) {
      view[name] = VIEW_PARTS[name].read(state);
    });
    return view;
  }

  return {pairs: viewPairs, isPart: isViewPart, steps: viewSteps, read: viewRead};
})();

// The second view on the page, run inside orvane-viewer.js (em++ --pre-js): its switch, what it
// shows (the scene from outside, or the picture lit per pixel), where it stands on the page, the
// parts it shows, its camera (drags, fingers, keys and buttons), the handles that move the light
// and aim its cone, the names beside its marks, the probe's mark, and its words for a screen
// reader. The program's side is second/view.cpp; orvane.outside and orvane.perPixel (published in
// page/orvane.js) are secondView.api and secondView.perPixelApi below.
var secondView = (function () {
  var PARTS = ['eye', 'light', 'cone', 'normals', 'vectors'];
  var SIZE = 600; // the drawing buffer's pixels each way
  // Whence the view opens (the program starts there too: second.h), the camera at the eye, and
  // how far it may turn and zoom.
  var OPENING = {yaw: 50, pitch: 25, distance: 20};
  var FROM_THE_EYE = {yaw: 0, pitch: 0, distance: 6};
  var LARGEST_PITCH = 89;
  var NEAREST = 1.5;
  var FARTHEST = 500;
  // A key turns the camera this many degrees (Shift: one); + and - move it this much nearer or
  // farther; a drag turns it half a degree a pixel, and zooms as the picture's drag does.
  var TURN_DEGREES = 5;
  var DRAG_DEGREES_PER_PIXEL = 0.5;
  var ZOOM_STEP = 1.1;
  var ZOOM_PER_PIXEL = 0.005;
  // A handle's arrow key moves its mark this many canvas pixels (Shift: one).
  var HANDLE_STEP = 10;
  // A press this near the light's mark or the cone's end drags it rather than the camera.
  var GRAB_PIXELS = 14;
  // LIGHT_POSITION and GL_SPOT_DIRECTION from a drag keep this many decimals.
  var DRAG_DECIMALS = 3;
  var ARROWS = ['\u2192', '\u2198', '\u2193', '\u2199', '\u2190', '\u2196', '\u2191', '\u2197'];

  var section = document.getElementById('second');
  var title = document.getElementById('second-title');
  var perPixelNote = document.getElementById('second-per-pixel');
  var flatIgnored = document.getElementById('second-flat-ignored');
  var outsideControls = document.getElementById('second-outside');
  var crosshair = document.getElementById('second-crosshair');
  var view = document.getElementById('second-view');
  var names = document.getElementById('second-names');
  var toggle = document.getElementById('second-switch');
  var handles = {light: document.getElementById('second-light'),
                 cone: document.getElementById('second-cone')};
  var open = false;
  var shows = 'outside'; // or 'perPixel'
  var SHOWS = {outside: {title: 'The scene from outside', describedBy: 'second-keys'},
               perPixel: {title: 'The picture lit per pixel', describedBy: 'second-per-pixel'}};
  var probedPixel = null; // the pixel the probe last answered for, for its mark
  var shown = {eye: true, light: true, cone: true, normals: false, vectors: true};
  var camera = {yaw: OPENING.yaw, pitch: OPENING.pitch, distance: OPENING.distance};
  var marks = null; // what the program last said of the marks (orvane_outside_named)

  function fromProgram(text) {
    return JSON.parse(UTF8ToString(text));
  }

  function finite(what, v) {
    if (typeof v !== 'number' || !isFinite(v)) {
      throw new TypeError(what + ' must be a finite number, not ' + JSON.stringify(v) + '.');
    }
    return v;
  }

  // Checks all of `wanted` before it changes anything.
  function setCamera(wanted) {
    if (wanted === null || typeof wanted !== 'object') {
      throw new TypeError('setCamera takes {yaw, pitch, distance}, not ' + JSON.stringify(wanted) +
                          '.');
    }
    var next = {yaw: camera.yaw, pitch: camera.pitch, distance: camera.distance};
    Object.keys(wanted).forEach(function (key) {
      if (!Object.prototype.hasOwnProperty.call(next, key)) {
        throw new TypeError('setCamera takes yaw, pitch and distance, not ' + key + '.');
      }
      next[key] = finite(key, wanted[key]);
    });
    if (Math.abs(next.pitch) > LARGEST_PITCH) {
      throw new RangeError('pitch must be from -' + LARGEST_PITCH + ' to ' + LARGEST_PITCH +
                           ' degrees, not ' + next.pitch + '.');
    }
    if (next.distance < NEAREST || next.distance > FARTHEST) {
      throw new RangeError('distance must be from ' + NEAREST + ' to ' + FARTHEST + ', not ' +
                           next.distance + '.');
    }
    camera = next;
    Module['_orvane_outside_set_camera'](camera.yaw, camera.pitch, camera.distance);
  }

  // The camera turned and moved as far as its limits let it.
  function moveCamera(yawBy, pitchBy, nearer) {
    setCamera({yaw: camera.yaw + yawBy,
               pitch: Math.max(-LARGEST_PITCH, Math.min(LARGEST_PITCH, camera.pitch + pitchBy)),
               distance: Math.max(NEAREST, Math.min(FARTHEST, camera.distance / nearer))});
  }

  // Beside the picture where there is room, at the top of the lessons page's column, and under the
  // keys on a phone.
  var wide = window.matchMedia('(min-width: 60rem)');
  function place() {
    var column = document.getElementById('viewer-scroll');
    if (column) {
      column.prepend(section);
    } else if (wide.matches) {
      document.getElementById('window').after(section);
    } else {
      document.getElementById('controls').after(section);
    }
    document.querySelector('main').classList.toggle('with-second', open);
  }

  function checkedOn(on) {
    if (typeof on !== 'boolean') {
      throw new TypeError('open takes true or false, not ' + JSON.stringify(on) + '.');
    }
    return on;
  }

  function setShows(which) {
    shows = which;
    Module['_orvane_second_per_pixel'](which === 'perPixel' ? 1 : 0);
    title.textContent = SHOWS[which].title;
    view.setAttribute('aria-describedby', SHOWS[which].describedBy);
    section.querySelector('[name="second-shows"][value="' + which + '"]').checked = true;
    perPixelNote.hidden = which !== 'perPixel';
    outsideControls.hidden = which === 'perPixel';
    names.replaceChildren();
    placeProbeMark();
  }

  // Opening either of what the view shows closes the other; closing one that is not shown leaves
  // the view as it is.
  function openShowing(which, on) {
    if (checkedOn(on)) {
      setShows(which);
      setOpen(true);
    } else if (shows === which) {
      setOpen(false);
    }
  }

  function setOpen(on) {
    checkedOn(on);
    if (on && !Module['_orvane_outside_open'](1)) {
      toggle.checked = false;
      throw new Error('this browser gives the second view no WebGL context');
    }
    if (!on) {
      Module['_orvane_outside_open'](0);
    }
    open = on;
    toggle.checked = on;
    section.hidden = !on;
    place();
  }

  function show(part, on) {
    if (PARTS.indexOf(part) < 0) {
      throw new TypeError('The second view shows ' + PARTS.join(', ') + ', not ' +
                          JSON.stringify(part) + '.');
    }
    if (typeof on !== 'boolean') {
      throw new TypeError('show takes true or false, not ' + JSON.stringify(on) + '.');
    }
    shown[part] = on;
    section.querySelector('[data-part="' + part + '"]').checked = on;
    Module['_orvane_outside_show'](PARTS.indexOf(part), on ? 1 : 0);
  }

  // Canvas pixels of the drawing buffer from a pointer's client position.
  function pixelAt(event) {
    var box = view.getBoundingClientRect();
    return {x: (event.clientX - box.left) * SIZE / box.width,
            y: (event.clientY - box.top) * SIZE / box.height};
  }

  function named(name) {
    return marks ? marks.named.find(function (n) { return n.name === name; }) : undefined;
  }

  function rounded(values) {
    return values.map(function (v) { return Number(v.toFixed(DRAG_DECIMALS)); });
  }

  // Moves the light's mark, or the cone's end, by (dx, dy) canvas pixels from where it was at
  // `start` (the program's words for the marks then), through the lab as a typed number would.
  function dragMark(which, start, dx, dy) {
    var p = start.light;
    var result = which === 'light'
      ? Module['_orvane_outside_drag_light'](p[0], p[1], p[2], p[3], dx, dy)
      : Module['_orvane_outside_drag_cone'](p[0], p[1], p[2], p[3], start.spotDirection[0],
                                            start.spotDirection[1], start.spotDirection[2], dx,
                                            dy);
    var value = fromProgram(result);
    if (value) {
      lab.set(which === 'light' ? 'LIGHT_POSITION' : 'GL_SPOT_DIRECTION', rounded(value));
    }
  }

  // A drag on the view: of a mark where it starts on one, else of the camera; two fingers pinch.
  var pointers = {};
  var gesture = null;
  view.addEventListener('pointerdown', function (event) {
    view.focus();
    event.preventDefault();
    view.setPointerCapture(event.pointerId);
    var at = pixelAt(event);
    pointers[event.pointerId] = at;
    var ids = Object.keys(pointers);
    if (ids.length === 2) {
      var a = pointers[ids[0]], b = pointers[ids[1]];
      gesture = {kind: 'pinch', apart: Math.hypot(a.x - b.x, a.y - b.y), from: camera.distance};
      return;
    }
    ['light', 'cone'].some(function (which) {
      var mark = named(which === 'light' ? (marks && marks.light[3] === 0 ? 'light at infinity'
                                                                         : 'light')
                                         : 'cone\'s end');
      if (mark && !mark.atEdge && Math.hypot(mark.x - at.x, mark.y - at.y) <= GRAB_PIXELS) {
        gesture = {kind: which, from: at, start: marks};
        return true;
      }
      return false;
    }) || (gesture = {kind: event.button === 0 ? 'turn' : 'zoom', last: at});
  });
  view.addEventListener('pointermove', function (event) {
    if (!gesture || !pointers[event.pointerId]) {
      return;
    }
    var at = pixelAt(event);
    pointers[event.pointerId] = at;
    if (gesture.kind === 'pinch') {
      var ids = Object.keys(pointers);
      var a = pointers[ids[0]], b = pointers[ids[1]];
      var growth = Math.hypot(a.x - b.x, a.y - b.y) - gesture.apart;
      moveCamera(0, 0, camera.distance / (gesture.from * Math.exp(-growth * ZOOM_PER_PIXEL)));
    } else if (gesture.kind === 'turn' || gesture.kind === 'zoom') {
      var dx = at.x - gesture.last.x, dy = at.y - gesture.last.y;
      gesture.last = at;
      if (gesture.kind === 'turn') {
        moveCamera(-dx * DRAG_DEGREES_PER_PIXEL, dy * DRAG_DEGREES_PER_PIXEL, 1);
      } else {
        moveCamera(0, 0, Math.exp(dy * ZOOM_PER_PIXEL));
      }
    } else {
      dragMark(gesture.kind, gesture.start, at.x - gesture.from.x, at.y - gesture.from.y);
    }
  });
  ['pointerup', 'pointercancel'].forEach(function (type) {
    view.addEventListener(type, function (event) {
      delete pointers[event.pointerId];
      gesture = null;
    });
  });
  view.addEventListener('contextmenu', function (event) {
    event.preventDefault();
  });

  // The view's keys, and the buttons that give them.
  function turnKey(key, fine) {
    var turn = fine ? 1 : TURN_DEGREES;
    var move = {ArrowLeft: [turn, 0, 1], ArrowRight: [-turn, 0, 1], ArrowUp: [0, -turn, 1],
                ArrowDown: [0, turn, 1], '+': [0, 0, ZOOM_STEP], '=': [0, 0, ZOOM_STEP],
                PageDown: [0, 0, ZOOM_STEP], '-': [0, 0, 1 / ZOOM_STEP],
                PageUp: [0, 0, 1 / ZOOM_STEP]}[key];
    if (move) {
      moveCamera(move[0], move[1], move[2]);
    }
    return move !== undefined;
  }
  view.addEventListener('keydown', function (event) {
    if (!event.ctrlKey && !event.metaKey && !event.altKey && turnKey(event.key, event.shiftKey)) {
      event.preventDefault();
    }
  });
  section.querySelectorAll('[data-second-key]').forEach(function (button) {
    button.addEventListener('click', function () {
      turnKey(button.dataset.secondKey, false);
    });
  });
  document.getElementById('second-from-eye').addEventListener('click', function () {
    setCamera(FROM_THE_EYE);
  });
  document.getElementById('second-back').addEventListener('click', function () {
    setCamera(OPENING);
  });
  Object.keys(handles).forEach(function (which) {
    handles[which].addEventListener('keydown', function (event) {
      var step = event.shiftKey ? 1 : HANDLE_STEP;
      var by = {ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, -step],
                ArrowDown: [0, step]}[event.key];
      if (by && marks) {
        event.preventDefault();
        dragMark(which, marks, by[0], by[1]);
      }
    });
  });
  section.querySelectorAll('[data-part]').forEach(function (box) {
    box.addEventListener('change', function () {
      show(box.dataset.part, box.checked);
    });
  });
  section.querySelectorAll('[name="second-shows"]').forEach(function (radio) {
    radio.addEventListener('change', function () {
      if (radio.checked) {
        setShows(radio.value);
      }
    });
  });
  toggle.addEventListener('change', function () {
    try {
      setOpen(toggle.checked);
    } catch (error) {
      viewerPage.tellStatus(error.message, 'failed');
    }
  });
  wide.addEventListener('change', place);

  function arrowTowards(n) {
    var angle = Math.atan2(n.y - SIZE / 2, n.x - SIZE / 2);
    return ARROWS[(Math.round(angle / (Math.PI / 4)) + 8) % 8];
  }

  // Where the light is, in words, from the eye: x left or right, y above or below, z behind (the
  // eye looks along -z) or in front.
  function lightInWords(light, cutoff) {
    var w = light[3];
    var side = function (v, less, more) {
      return Math.abs(v) < 1e-6 ? null : Math.abs(v).toFixed(1) + ' ' + (v < 0 ? less : more);
    };
    var words;
    if (w === 0) {
      var ways = [side(light[0], 'left', 'right'), side(light[1], 'below', 'above'),
                  side(light[2], 'in front', 'behind')].filter(Boolean);
      words = 'the light is at infinity, shining from (' + light.slice(0, 3).map(function (v) {
        return Number(v.toFixed(2));
      }).join(', ') + '): ' + ways.map(function (way) { return way.replace(/^[\d.]+ /, ''); })
        .join(', ');
    } else {
      var p = [light[0] / w, light[1] / w, light[2] / w];
      var parts = [side(p[0], 'to the left', 'to the right'), side(p[1], 'below', 'above'),
                   side(p[2], 'in front', 'behind')].filter(Boolean);
      words = 'the light is ' + Math.hypot(p[0], p[1], p[2]).toFixed(1) + ' units from the eye' +
              (parts.length ? ': ' + parts.join(', ') : '');
    }
    return words + (cutoff === 180 ? ', no spotlight' : ', a spotlight with a cutoff of ' +
                                                        Number(cutoff.toFixed(2)) + '\u00b0');
  }

  function cameraInWords() {
    if (camera.yaw === 0 && camera.pitch === 0 && camera.distance === FROM_THE_EYE.distance) {
      return 'seen from the eye';
    }
    return 'the camera is turned ' + Number(camera.yaw.toFixed(1)) + '\u00b0 about y and ' +
           Number(camera.pitch.toFixed(1)) + '\u00b0 up, ' + Number(camera.distance.toFixed(1)) +
           ' units from the model';
  }

  // After each frame while open: the names beside the marks, the handles over them, and the
  // view's own name.
  function followFrame() {
    if (!open) {
      return;
    }
    marks = fromProgram(Module['_orvane_outside_named']());
    var scale = view.getBoundingClientRect().width / SIZE;
    names.replaceChildren();
    marks.named.forEach(function (n) {
      var label = document.createElement('span');
      var away = n.name === 'eye' ? ''
        : ', ' + n.distance.toFixed(n.distance < 10 ? 1 : 0) + ' from the eye';
      label.textContent = n.atEdge ? arrowTowards(n) + ' ' + n.name + away : n.name;
      label.classList.toggle('edge', n.atEdge);
      label.style.left = n.x * scale + 'px';
      label.style.top = n.y * scale + 'px';
      // Kept inside the view: a name near its left or right side stands to that side's inside.
      label.style.setProperty('--across', n.x < SIZE / 3 ? '0%' : n.x > 2 * SIZE / 3 ? '-100%'
                                                                                : '-50%');
      names.append(label);
    });
    var placeHandle = function (handle, mark) {
      handle.hidden = !mark || mark.atEdge;
      if (mark) {
        handle.style.left = mark.x * scale + 'px';
        handle.style.top = mark.y * scale + 'px';
      }
    };
    placeHandle(handles.light, named(marks.light[3] === 0 ? 'light at infinity' : 'light'));
    placeHandle(handles.cone, named('cone\'s end'));
    flatIgnored.hidden = !marks.flat;
    var words = shows === 'perPixel'
      ? 'The picture lit per pixel: ' + lightInWords(marks.light, marks.cutoff) +
        (marks.flat ? '; GL_FLAT ignored' : '') + '.'
      : 'The scene from outside: ' + lightInWords(marks.light, marks.cutoff) + '; ' +
        cameraInWords() + '.';
    if (view.getAttribute('aria-label') !== words) {
      view.setAttribute('aria-label', words);
    }
    placeProbeMark();
  }

  // The probe's mark, on the pixel it answered for, where the view shows the picture lit per
  // pixel: the same pixel of the same frame.
  function placeProbeMark() {
    crosshair.hidden = !(open && shows === 'perPixel' && probedPixel);
    if (!crosshair.hidden) {
      var scale = view.getBoundingClientRect().width / SIZE;
      crosshair.style.left = (probedPixel.x + 0.5) * scale + 'px';
      crosshair.style.top = (probedPixel.y + 0.5) * scale + 'px';
    }
  }

  // What the probe found at canvas pixel `pixel`, handed to the view: the point, and at the corner
  // that weighs most, N, L, V and H; or nothing.
  function probed(answer, pixel) {
    probedPixel = answer ? pixel : null;
    placeProbeMark();
    if (!answer || !answer.corners) {
      Module['_orvane_outside_probed'](0);
      return;
    }
    var most = answer.weights.indexOf(Math.max.apply(null, answer.weights));
    var corner = answer.corners[most];
    var point = [0, 1, 2].map(function (k) {
      return answer.corners.reduce(function (sum, c, i) {
        return sum + answer.weights[i] * c.position[k];
      }, 0);
    });
    var numbers = [].concat(point, corner.position, corner.normal, corner.L, corner.V, corner.H);
    HEAPF32.set(numbers, Module['_orvane_outside_probed_numbers']() >> 2);
    Module['_orvane_outside_probed'](1);
  }

  var api = {
    'open': function (on) {
      openShowing('outside', on);
    },
    'isOpen': function () { return open && shows === 'outside'; },
    'show': show,
    'shown': function () {
      return Object.assign({}, shown);
    },
    'camera': function () {
      return fromProgram(Module['_orvane_outside_camera']());
    },
    'setCamera': setCamera,
    'fromEye': function () {
      setCamera(FROM_THE_EYE);
    },
    'normals': function () {
      return fromProgram(Module['_orvane_outside_normals']());
    },
  };

  var perPixelApi = {
    'open': function (on) {
      openShowing('perPixel', on);
    },
    'isOpen': function () { return open && shows === 'perPixel'; },
  };

  return {api: api, perPixelApi: perPixelApi, followFrame: followFrame, probed: probed};
})();

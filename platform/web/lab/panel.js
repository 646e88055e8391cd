// The lighting lab's panel, run inside orvane-viewer.js (em++ --pre-js): the program's lines and
// the calls it does not make, each number a control (drag it up or down, step it with the arrow
// keys, Shift for ten steps, or type a value), with reset, compare, copy as code and copy link.
var labControls = (function () {
  var labPanel = document.getElementById('lab');
  var labHelp = document.getElementById('lab-help');
  var labNote = document.getElementById('lab-note');
  var labOut = document.getElementById('lab-out');
  // Pixels of a drag that make one step.
  var LAB_DRAG_PIXELS = 4;

  function labElement(tag, className, text) {
    var made = document.createElement(tag);
    if (className) {
      made.className = className;
    }
    if (text !== undefined) {
      made.textContent = text;
    }
    return made;
  }

  // One press or drag step from `v`: by `steps` steps, kept to the range a step stays in. The spot
  // cutoff steps from 90 to 180 and back, the values GL allows on either side of the gap; names go
  // round.
  function labStepped(number, v, steps) {
    var range = number.range;
    if (lab.isChoice(number)) {
      return range[(range.indexOf(v) + Math.sign(steps) + range.length) % range.length];
    }
    var bounds = labStepBounds(number, v);
    if (number.extra !== undefined && v === bounds[1] && steps > 0) {
      return number.extra;
    }
    if (v === number.extra) {
      return steps < 0 ? bounds[1] : v;
    }
    var stepped = parseFloat((v + steps * number.step).toPrecision(12));
    return Math.min(Math.max(stepped, bounds[0]), bounds[1]);
  }

  // GL's range, but a colour stepped from inside 0 to 1 stays there, where the screen shows it: a
  // colour outside it is one a student typed on purpose.
  function labStepBounds(number, from) {
    return number.range === 'colour' && from >= 0 && from <= 1 ? [0, 1] : lab.bounds(number);
  }

  // Sets part `i` of a number from the panel; throws, as labSet does, where GL refuses the value.
  function labSetPart(number, i, v) {
    var value = lab.values[number.name].slice();
    value[i] = v;
    lab.set(number.name, value);
  }

  // A control for part `i` of `number`, on `line`.
  function labControl(number, i, line) {
    var label = number.name + (number.parts.length > 1 ? ' ' + number.parts[i] : '');
    var input = labElement('input', 'lab-number');
    input.type = 'text';
    input.inputMode = 'decimal';
    input.spellcheck = false;
    input.autocomplete = 'off';
    input.setAttribute('role', 'spinbutton');
    input.setAttribute('aria-label', label);
    input.setAttribute('aria-describedby', 'lab-help-' + number.name + ' lab-note-' + number.name);
    input.dataset.part = i;
    var current = function () {
      return lab.values[number.name][i];
    };
    input.addEventListener('keydown', function (event) {
      var steps = {ArrowUp: 1, ArrowDown: -1, PageUp: 10, PageDown: -10}[event.key];
      if (steps !== undefined) {
        event.preventDefault();
        delete input.dataset.typing;
        labNoteBeside(line, input, '');
        labSetPart(number, i, labStepped(number, current(), event.shiftKey ? 10 * steps : steps));
      } else if (event.key === 'Enter') {
        // Taken, and the focus stays, so that the arrows step the number on from there.
        event.preventDefault();
        takeTyped();
        input.select();
      } else if (event.key === 'Escape') {
        delete input.dataset.typing;
        input.value = labCodeText.shown(current());
        input.blur();
      }
    });
    // Typed: taken with Enter or when the control is left, if GL takes it; otherwise the note
    // beside the line says why, and the number keeps its value.
    input.addEventListener('input', function () {
      input.dataset.typing = 'yes';
    });
    var takeTyped = function () {
      if (!input.dataset.typing) {
        return;
      }
      delete input.dataset.typing;
      var kept = ' It keeps ' + labCodeText.shown(current()) + '.';
      var typed;
      try {
        typed = lab.typed(number, input.value);
      } catch (error) {
        labNoteBeside(line, input, label + ': ' + error.message + kept);
      }
      if (typed !== undefined) {
        try {
          labSetPart(number, i, typed);
          labNoteBeside(line, input, '');
        } catch (error) {
          labNoteBeside(line, input, error.message.replace(/ It keeps .*$/, kept));
        }
      }
      input.value = labCodeText.shown(current());
    };
    input.addEventListener('change', takeTyped);
    // What it holds is selected when it is reached, so that typing replaces it.
    input.addEventListener('focus', function () {
      input.select();
    });
    // Dragged up or down: a step each few pixels, from where the drag began. A press without a
    // drag leaves the control to be typed into.
    var drag = null;
    input.addEventListener('pointerdown', function (event) {
      drag = {y: event.clientY, from: current(), moved: false, pointer: event.pointerId};
    });
    input.addEventListener('pointermove', function (event) {
      if (!drag || event.pointerId !== drag.pointer) {
        return;
      }
      var steps = Math.round((drag.y - event.clientY) / LAB_DRAG_PIXELS);
      if (!drag.moved && steps === 0) {
        return;
      }
      if (!drag.moved) {
        drag.moved = true;
        input.setPointerCapture(event.pointerId);
        input.classList.add('dragging');
      }
      var stepped = drag.from;
      for (var k = 0; k < Math.abs(steps); ++k) {
        stepped = labStepped(number, stepped, Math.sign(steps) * (event.shiftKey ? 10 : 1));
      }
      if (stepped !== current()) {
        labSetPart(number, i, stepped);
      }
      event.preventDefault();
    });
    var dragged = false;
    var endDrag = function () {
      dragged = drag !== null && drag.moved;
      drag = null;
      input.classList.remove('dragging');
    };
    input.addEventListener('pointerup', endDrag);
    input.addEventListener('pointercancel', endDrag);
    // A press without a drag selects what it holds; the release would otherwise put the caret where
    // it was, as WebKit does.
    input.addEventListener('mouseup', function (event) {
      if (!dragged) {
        event.preventDefault();
        input.select();
      }
    });
    return input;
  }

  // Code's long names break after their underscores on a narrow screen, not in the middle of a word
  // (GL_LIGHT_MODEL_LOCAL_VI/EWER); copied, the text is as it was.
  function labAppendBreakable(parent, text) {
    text.split('_').forEach(function (part, i) {
      if (i > 0) {
        parent.append('_', document.createElement('wbr'));
      }
      parent.append(part);
    });
  }

  // The line as the program has it (or as it would be added), with a control for each of its
  // values, and a reset button.
  function labLine(number) {
    var line = labElement('div', 'lab-line');
    line.dataset.name = number.name;
    var code = labElement('code');
    var text;
    var value = lab.programValue(number);
    if (number.call) {
      text = number.call.replace('#', value.length > 1 ? '{' + value.map(function () {
        return '#';
      }).join(', ') + '}' : '#');
    } else if (number.passedBy) {
      text = number.passedBy + '  // ' + number.line.match(/\w+(?=\[)/)[0] + ': {' +
             value.map(function () { return '#'; }).join(', ') + '}';
    } else {
      text = labCodeText.splitLine(number, LAB_QUOTED[number.name].text.trim()).pieces.join('#');
    }
    text.split('#').forEach(function (piece, i) {
      if (i > 0) {
        code.append(labControl(number, i - 1, line));
      }
      labAppendBreakable(code, piece);
    });
    var reset = labElement('button', 'lab-reset', 'reset');
    reset.type = 'button';
    reset.setAttribute('aria-label', 'Reset ' + number.name);
    reset.addEventListener('click', function () {
      lab.reset(number.name);
    });
    var help = labElement('span', 'lab-line-help', labLineHelp(number));
    help.id = 'lab-help-' + number.name;
    help.hidden = true;
    // Why a typed value was refused, beside the number, and read with it.
    var note = labElement('span', 'lab-line-note');
    note.id = 'lab-note-' + number.name;
    note.setAttribute('aria-live', 'polite');
    line.append(code, reset, help, note);
    var showHelp = function () {
      labHelp.textContent = labHelpText(number);
    };
    line.addEventListener('focusin', showHelp);
    line.addEventListener('pointerenter', showHelp);
    return line;
  }

  function labLineHelp(number) {
    return number.help + ' Lesson ' + number.lessons.join(' and ') + '.';
  }

  function labHelpText(number) {
    return number.name + ': ' + labLineHelp(number) + ' GL takes ' + lab.rangeText(number) + '.';
  }

  // The help under the lines is as tall as the tallest one at the column's width, so that pointing
  // at another number, or scrolling the page under a resting pointer, never moves the buttons
  // below it. Measured again whenever its width changes, the lines closed and opened included.
  var labHelpWidth = 0;
  function labKeepHelpHeight() {
    var width = labHelp.getBoundingClientRect().width;
    if (width === labHelpWidth || labHelp.offsetParent === null) {
      return;
    }
    labHelpWidth = width;
    // Measured on a hidden copy out of the page's flow, which lays out nothing else.
    var ruler = labHelp.cloneNode(false);
    ruler.removeAttribute('id');
    ruler.setAttribute('aria-hidden', 'true');
    ruler.style.cssText = 'position: absolute; visibility: hidden; min-height: 0; width: ' +
                          width + 'px';
    labHelp.after(ruler);
    var tallest = 0;
    labTable.NUMBERS.forEach(function (number) {
      ruler.textContent = labHelpText(number);
      tallest = Math.max(tallest, ruler.getBoundingClientRect().height);
    });
    ruler.remove();
    labHelp.style.minHeight = tallest + 'px';
  }

  // Every control shows its number's value now; lines the lab has changed are marked. `name` is the
  // number that changed, null where any may have.
  function labShowValues(name) {
    labPanel.querySelectorAll('.lab-line').forEach(function (line) {
      var number = lab.number(line.dataset.name);
      var value = lab.comparing() ? lab.programValue(number) : lab.values[number.name];
      line.querySelectorAll('[data-part]').forEach(function (control) {
        var v = value[Number(control.dataset.part)];
        if (!control.dataset.typing) {
          control.value = labCodeText.shown(v);
        }
        control.style.width = Math.max(3, control.value.length) + 1 + 'ch';
        if (typeof v === 'number') {
          control.setAttribute('aria-valuenow', v);
        }
        control.setAttribute('aria-valuetext', labCodeText.shown(v));
      });
      var changed = !lab.same(lab.values[number.name], lab.programValue(number));
      line.classList.toggle('changed', changed);
      line.querySelector('.lab-reset').hidden = !changed;
    });
    labShowLights(name);
    labPanel.classList.toggle('comparing', lab.comparing());
  }

  // Shows `text` beside a number of `line`, marking `control` as the one it is about; '' clears it.
  function labNoteBeside(line, control, text) {
    line.querySelector('.lab-line-note').textContent = text;
    line.querySelectorAll('[data-part]').forEach(function (each) {
      if (text !== '' && each === control) {
        each.setAttribute('aria-invalid', 'true');
      } else {
        each.removeAttribute('aria-invalid');
      }
    });
  }

  function labTell(text) {
    labNote.textContent = text;
    labNote.hidden = text === '';
  }

  // Shows `text` below the buttons, and puts it on the clipboard where the browser allows it.
  function labOffer(what, text) {
    labOut.textContent = text;
    labOut.hidden = false;
    var said = document.getElementById('lab-out-said');
    said.textContent = what + ' below.';
    if (navigator.clipboard && window.isSecureContext) {
      navigator.clipboard.writeText(text).then(function () {
        said.textContent = what + ' copied to the clipboard, and below.';
      }, function () {});
    }
  }

  // The lines of GL_LIGHTi, one to GL_LIGHT7, each folded under its name until opened.
  function labLightGroup(light) {
    var id = 'lab-light-' + light;
    var group = document.getElementById(id);
    if (!group) {
      group = labElement('details', 'lab-light');
      group.id = id;
      group.dataset.light = light;
      group.append(labElement('summary', '', 'GL_LIGHT' + light));
      document.getElementById('lab-lights').append(group);
    }
    return group;
  }

  // Each light's name says whether it is on. A light is opened where `name`, one of its numbers,
  // has changed, so that the change shows.
  function labShowLights(name) {
    var changedLight = name ? lab.number(name).gl.light : undefined;
    document.querySelectorAll('#lab-lights .lab-light').forEach(function (group) {
      var light = 'GL_LIGHT' + group.dataset.light;
      var on = (lab.comparing() ? lab.programValue(lab.number(light)) : lab.values[light])[0] === 1;
      var summary = group.querySelector('summary');
      var said = light + (on ? ', enabled' : ', not enabled');
      if (summary.textContent !== said) {
        summary.textContent = said;
      }
      if (changedLight === Number(group.dataset.light)) {
        group.open = true;
      }
    });
  }

  function labBuild() {
    var programLines = document.getElementById('lab-program');
    var addedLines = document.getElementById('lab-added');
    labTable.NUMBERS.forEach(function (number) {
      var light = number.gl.light;
      (light ? labLightGroup(light) : number.call ? addedLines : programLines)
        .append(labLine(number));
    });
    document.getElementById('lab-reset-all').addEventListener('click', function () {
      lab.reset();
    });
    document.getElementById('lab-code').addEventListener('click', function () {
      labOffer('The changed lines', lab.api.code() || '// Nothing has been changed.\n');
    });
    document.getElementById('lab-link').addEventListener('click', function () {
      labOffer('The link', lab.api.link());
    });
    // Held with the pointer, or with Space or Enter: the program's own numbers.
    var compare = document.getElementById('lab-compare');
    var hold = function (on) {
      if (on !== lab.comparing()) {
        compare.setAttribute('aria-pressed', on);
        lab.compare(on);
      }
    };
    // Captured, so that the hold lasts until the pointer is lifted wherever it has gone.
    compare.addEventListener('pointerdown', function (event) {
      compare.setPointerCapture(event.pointerId);
      hold(true);
    });
    ['pointerup', 'pointercancel', 'lostpointercapture', 'blur'].forEach(function (type) {
      compare.addEventListener(type, function () { hold(false); });
    });
    compare.addEventListener('keydown', function (event) {
      if (event.key === ' ' || event.key === 'Enter') {
        event.preventDefault();
        hold(true);
      }
    });
    compare.addEventListener('keyup', function () { hold(false); });
    lab.listeners.push(labShowValues, probeView.followPicture);
    labShowValues();
    // In the next frame: a size changed while the browser tells of sizes would be reported as an
    // error.
    new ResizeObserver(function () {
      requestAnimationFrame(labKeepHelpHeight);
    }).observe(labHelp);
  }

  labBuild();

  // initLighting has run, and the viewer's callbacks are in place, once main has returned: what the
  // address asks for goes in after it, before the first frame is drawn.
  Module['postRun'] = [].concat(Module['postRun'] || [], function () {
    var notes = pageAddress.take();
    if (lab.changes().length > 0 || notes.length > 0) {
      document.getElementById('lab-open').open = true;
    }
    labTell(notes.length === 0 ? '' : 'The link asked for what the page cannot take, and these ' +
            'were left as they were: ' + notes.join(' '));
  });

  return {tell: labTell};
})();

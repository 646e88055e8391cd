// The lighting lab's numbers, run inside orvane-viewer.js (em++ --pre-js): what each one is now,
// the checks a value must pass, how a value reaches the program (lab.cpp), and what of it the
// page's address holds (page/address.js). orvane.lab (published in page/orvane.js) is lab.api; the
// panel (panel.js) works through the same functions.

var lab = (function () {
  var labValues = {}; // every number's value now, as an array: the program's own until changed
  var labComparing = false; // the program's own values are shown while the compare control is held
  var labListeners = []; // called with the name that changed, or null for all

  function labNumber(name) {
    var number = labTable.NUMBERS.find(function (n) { return n.name === name; });
    if (!number) {
      throw new Error('The lab has no number called ' + name + '; it has ' +
                      labTable.NUMBERS.map(function (n) { return n.name; }).join(', ') + '.');
    }
    return number;
  }

  // GL_SHADE_MODEL's kind: one of a list of names, not a number.
  function labIsChoice(number) {
    return Array.isArray(number.range) && typeof number.range[0] === 'string';
  }

  function labProgramValue(number) {
    return (number.call ? number.initial : LAB_QUOTED[number.name].values).slice();
  }

  function labSame(a, b) {
    return a.length === b.length && a.every(function (v, i) { return v === b[i]; });
  }

  // In words, what a number of `number` may be.
  function labRangeText(number) {
    var range = number.range;
    if (range === 'colour') {
      return 'any finite number a float holds (the screen shows 0 to 1)';
    }
    if (range === 'any') {
      return 'any finite number a float holds';
    }
    if (labIsChoice(number)) {
      return range.join(' or ');
    }
    var text = range[1] === Infinity ? 'at least ' + range[0]
                                     : 'from ' + range[0] + ' to ' + range[1];
    return text + (number.extra !== undefined ? ', or ' + number.extra : '') +
           (number.integer ? ', a whole number' : '');
  }

  // The least and the most a number of `number` may be. GL takes single-precision floats, so a
  // position, a direction or a colour may be anything up to their largest: GL clamps only the lit
  // colour, at the end, so a light brighter than 1 or below 0 (a light that darkens) is its to
  // take.
  var FLOAT_MAX = 3.4028234663852886e38;
  function labBounds(number) {
    var range = number.range;
    return range === 'colour' || range === 'any' ? [-FLOAT_MAX, FLOAT_MAX] : range;
  }

  function labInRange(number, v) {
    if (labIsChoice(number)) {
      return number.range.indexOf(v) >= 0;
    }
    var bounds = labBounds(number);
    return (typeof v === 'number' && v >= bounds[0] && v <= bounds[1] &&
            (!number.integer || Number.isInteger(v))) || v === number.extra;
  }

  // `value` as the array the lab keeps, or an exception that says what is wrong with it.
  function labChecked(number, value) {
    var values = Array.isArray(value) ? value : [value];
    if (values.length !== number.parts.length) {
      throw new TypeError(number.name + ' takes ' + number.parts.length + ' value' +
                          (number.parts.length > 1 ? 's (' + number.parts.join(', ') + ')' : '') +
                          ', not ' + JSON.stringify(value) + '.');
    }
    values.forEach(function (v, i) {
      var what = number.name + (values.length > 1 ? ' ' + number.parts[i] : '');
      if (!labIsChoice(number) && (typeof v !== 'number' || isNaN(v))) {
        throw new TypeError(what + ' must be a number, not ' + JSON.stringify(v) + '.');
      }
      if (!labInRange(number, v)) {
        throw new RangeError(what + ' must be ' + labRangeText(number) + '; ' + JSON.stringify(v) +
                             ' is not. It keeps ' + JSON.stringify(labValues[number.name][i]) +
                             '.');
      }
    });
    return values.slice();
  }

  // Hands the program one number's value: the light and light-model calls again, as initLighting
  // made them, or the material constants' replacements, all of them at once.
  function labApply(number, value) {
    var pname = labTable.GL_NAMES[number.gl.pname];
    var v = value.concat([0, 0, 0]);
    if (number.gl.call === 'light') {
      Module['_orvane_lab_light'](number.gl.light || 0, pname, v[0], v[1], v[2], v[3]);
      // The position set again in display() follows the position.
      if (number.name === 'LIGHT_POSITION') {
        var setIn = labNumber('LIGHT_SET_IN');
        labApply(setIn, labInForce(setIn));
      }
    } else if (number.gl.call === 'enable') {
      Module['_orvane_lab_enable_light'](number.gl.light, value[0]);
    } else if (number.gl.call === 'lightModel') {
      Module['_orvane_lab_light_model'](pname, v[0], v[1], v[2], v[3]);
    } else if (number.gl.call === 'shadeModel') {
      Module['_orvane_lab_shade_model'](labTable.GL_NAMES[value[0]]);
    } else if (number.gl.call === 'lightSetIn') {
      var p = labInForce(labNumber('LIGHT_POSITION'));
      Module['_orvane_lab_light_set_in'](value[0] === 'display' ? 1 : 0, p[0], p[1], p[2], p[3]);
    } else {
      labApplyMaterials();
    }
  }

  function labApplyMaterials() {
    Module['_orvane_lab_forget_materials']();
    labChanges().forEach(function (change) {
      var number = change.number;
      if (number.gl.call !== 'material' || labComparing) {
        return;
      }
      var from = labProgramValue(number).concat([0, 0, 0]);
      var to = change.value.concat([0, 0, 0]);
      number.gl.pnames.forEach(function (pname) {
        Module['_orvane_lab_edit_material'](labTable.GL_NAMES[pname], number.parts.length,
                                            from[0], from[1],
                                            from[2], from[3], to[0], to[1], to[2], to[3]);
      });
    });
  }

  // The numbers that differ from the program's own, in the table's order, as code.js takes them.
  function labChanges() {
    return labTable.NUMBERS.filter(function (number) {
      return !labSame(labValues[number.name], labProgramValue(number));
    }).map(function (number) {
      return {number: number, value: labValues[number.name].slice()};
    });
  }

  // The changes as the page's address holds them (page/address.js), so that it can be handed out.
  function labPairs() {
    return labChanges().map(function (change) {
      return [change.number.name, change.value.join(',')];
    });
  }

  function labChanged(name) {
    pageAddress.show();
    labListeners.forEach(function (listener) { listener(name); });
  }

  // A number's value as the program draws with it now: the program's own while comparing.
  function labInForce(number) {
    return labComparing ? labProgramValue(number) : labValues[number.name];
  }

  function labSet(name, value) {
    var number = labNumber(name);
    var values = labChecked(number, value);
    labValues[name] = values;
    if (!labComparing) {
      labApply(number, values);
    }
    labChanged(name);
  }

  // While `on`, the program's own values are drawn; the lab's come back after.
  function labCompare(on) {
    labComparing = on;
    labChanges().forEach(function (change) {
      labApply(change.number, on ? labProgramValue(change.number) : change.value);
    });
    labListeners.forEach(function (listener) { listener(null); });
  }

  function labReset(name) {
    (name === undefined ? labTable.NUMBERS : [labNumber(name)]).forEach(function (number) {
      var changed = !labSame(labValues[number.name], labProgramValue(number));
      labValues[number.name] = labProgramValue(number);
      if (changed && !labComparing) {
        labApply(number, labValues[number.name]);
      }
    });
    labChanged(name === undefined ? null : name);
  }

  // A value as a link writes it: numbers, or a GL name.
  function labParse(text) {
    return text.split(',').map(function (part) {
      return /^[A-Za-z_]\w*$/.test(part) ? part : part.trim() === '' ? NaN : Number(part);
    });
  }

  // A number typed into one control, as it would be typed in the code: a float, with an f after it
  // if the student likes, and a decimal comma read as a point; or one of a choice's names. A typo
  // is refused, never read as a number it starts with.
  var LAB_TYPED_NUMBER = /^[-+]?(?:\d+\.?\d*|\.\d+)(?:e[-+]?\d+)?f?$/i;
  function labTyped(number, text) {
    var typed = text.trim();
    if (labIsChoice(number)) {
      var named = number.range.find(function (name) {
        return name.toLowerCase() === typed.toLowerCase();
      });
      if (named === undefined) {
        throw new TypeError('it is ' + labRangeText(number) + ', not "' + text + '".');
      }
      return named;
    }
    if (/^[^.,]*,[^.,]*$/.test(typed)) {
      typed = typed.replace(',', '.');
    }
    if (!LAB_TYPED_NUMBER.test(typed)) {
      throw new TypeError('"' + text + '" is not a number.');
    }
    return Number(typed.replace(/f$/i, ''));
  }

  var labInterface = {
    'names': function () {
      return labTable.NUMBERS.map(function (number) { return number.name; });
    },
    // A number, an array (alpha included where GL takes four), or GL_SHADE_MODEL's name.
    'get': function (name) {
      var value = labValues[labNumber(name).name];
      return value.length === 1 ? value[0] : value.slice();
    },
    'set': labSet,
    // One number back to the program's own (or GL's default), or all of them.
    'reset': function (name) {
      labReset(name);
    },
    'code': function () {
      return labCodeText.code(labChanges());
    },
    // The page's address: the lab's changes and the view, so that a link opens the same picture.
    'link': function () {
      return pageAddress.link();
    },
  };

  labTable.NUMBERS.forEach(function (number) {
    labValues[number.name] = labProgramValue(number);
  });

  return {values: labValues, comparing: function () { return labComparing; },
          listeners: labListeners, number: labNumber, isChoice: labIsChoice,
          programValue: labProgramValue, same: labSame, rangeText: labRangeText, bounds: labBounds,
          checked: labChecked, changes: labChanges, pairs: labPairs, set: labSet,
          compare: labCompare, reset: labReset, parse: labParse, typed: labTyped,
          api: labInterface};
})();

// The lab's changes as code, run inside orvane-viewer.js (em++ --pre-js) for orvane.lab.code() and
// the page's "Copy as code", and by the tests, which paste it into a copy of src/ and build the
// viewer from it: each changed line of the program as it would read, in place of the line it
// replaces, and the calls the program does not make, to add where LAB_CALLS_GO says.

var labCodeText = (function () {
  // A number as the program writes its floats: 100.0f, 0.7f, 1e-7f.
  function cFloat(value) {
    var v = value === 0 ? 0 : value; // no -0.0f
    return (Number.isInteger(v) ? v.toFixed(1) : String(v)) + 'f';
  }

  function cArray(values) {
    return '{' + values.map(cFloat).join(', ') + '}';
  }

  // GL_SPOT_DIRECTION: spotDirection, the name of the array an added call passes.
  function arrayName(glName) {
    return glName.replace(/^GL_/, '').toLowerCase()
      .replace(/_([a-z])/g, function (_, letter) { return letter.toUpperCase(); });
  }

  // A value on one of the program's lines: a float literal (not the 0 of GL_LIGHT0), or a GL name.
  var LAB_VALUE = /(?<![\w.])-?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?f?|GL_[A-Z_]+/g;

  // The program's line `text`, which begins (after its indentation) with `number.line`, cut round
  // the values that follow that start: {pieces, values}, a piece before, between and after them.
  // A comment at the end stays in the last piece.
  function labSplitLine(number, text) {
    var at = text.indexOf(number.line) + number.line.length;
    var comment = text.slice(at).search(/\/\//);
    var end = comment < 0 ? text.length : at + comment;
    var values = text.slice(at, end).match(LAB_VALUE) || [];
    var pieces = text.slice(at, end).split(LAB_VALUE);
    pieces[0] = text.slice(0, at) + pieces[0];
    pieces[pieces.length - 1] += text.slice(end);
    return {pieces: pieces, values: values};
  }

  // The program's line for `number` with `value` in place of its own values.
  function changedLine(number, value) {
    var split = labSplitLine(number, LAB_QUOTED[number.name].text);
    return split.pieces.reduce(function (line, piece, i) {
      return line + labShown(value[i - 1]) + piece;
    });
  }

  function labShown(v) {
    return typeof v === 'string' ? v : cFloat(v);
  }

  // The lines that make a call the program does not make: a scalar in place of `#`, an array
  // declared first; a light enabled.
  function addedCall(number, value) {
    if (number.gl.call === 'enable') {
      return ['    ' + (value[0] ? 'glEnable' : 'glDisable') + '(GL_LIGHT' + number.gl.light + ');'];
    }
    if (value.length === 1) {
      return ['    ' + number.call.replace('#', cFloat(value[0]))];
    }
    var name = arrayName(number.name);
    return ['    const GLfloat ' + name + '[] = ' + cArray(value) + ';',
            '    ' + number.call.replace('#', name)];
  }

  // LIGHT_SET_IN = 'display': LIGHT_POSITION's value as the changes have it (or the program's), set
  // again in display().
  function positionInDisplay(changes) {
    var position = labTable.NUMBERS.find(function (n) { return n.name === 'LIGHT_POSITION'; });
    var changed = changes.find(function (change) { return change.number === position; });
    var value = changed ? changed.value : LAB_QUOTED[position.name].values;
    return ['    const GLfloat lightPosition[] = ' + cArray(value) + ';',
            '    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);'];
  }

  // changes: [{number, value}], in the table's order, each a number of labTable.NUMBERS and its
  // value as an array. Blocks of lines, each headed by where it goes; empty when nothing has
  // changed.
  function labCode(changes) {
    var blocks = [];
    var added = [];
    var inDisplay = null;
    changes.forEach(function (change) {
      var number = change.number;
      if (number.gl.call === 'lightSetIn') {
        inDisplay = change.value[0] === 'display' ? positionInDisplay(changes) : null;
        return;
      }
      if (number.call) {
        added = added.concat(addedCall(number, change.value));
        return;
      }
      var quoted = LAB_QUOTED[number.name];
      if (number.passedBy) {
        // The program's constant also serves elsewhere: the call gets an array of its own.
        var name = arrayName(number.name);
        var indent = quoted.passed.match(/^\s*/)[0];
        blocks.push(['// ' + number.name + ': ' + number.file + ', in place of',
                     '// ' + quoted.passed,
                     indent + 'const GLfloat ' + name + '[] = ' + cArray(change.value) + ';',
                     quoted.passed.replace(/\w+\);$/, name + ');')]);
        return;
      }
      blocks.push(['// ' + number.name + ': ' + number.file + ', in place of', '// ' + quoted.text,
                   changedLine(number, change.value)]);
    });
    if (added.length > 0) {
      var calls = labTable.CALLS_GO;
      blocks.push(['// ' + calls.file + ', in ' + calls.function + ', before ' + calls.before]
        .concat(added));
    }
    if (inDisplay) {
      var goes = labTable.POSITION_IN_DISPLAY_GOES;
      blocks.push(['// LIGHT_SET_IN: ' + goes.file + ', in ' + goes.function + ', before ' +
                   goes.before].concat(inDisplay));
    }
    return blocks.map(function (lines) { return lines.join('\n') + '\n'; }).join('\n');
  }

  return {code: labCode, splitLine: labSplitLine, shown: labShown};
})();

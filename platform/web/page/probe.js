// The page's lighting probe, run inside orvane-viewer.js after page.js (em++ --pre-js): the switch
// beside the canvas, and the panel that shows what orvane.probe(x, y) found.
var probeSwitch = document.getElementById('probe-switch');
var probePanel = document.getElementById('probe-panel');

// The lighting probe: with the switch on, a click (or a tap) on the picture shows what the lighting
// equation gave the pixel under it. The program then keeps clicks and drags from the model.
probeSwitch.addEventListener('change', function () {
  orvane.setProbing(probeSwitch.checked);
  canvas.classList.toggle('probing', probeSwitch.checked);
  probePanel.hidden = true;
  probedPixel = null;
});

// The pixel the panel shows, so that it can follow the picture as keys change it.
var probedPixel = null;

function probePixel(x, y) {
  probedPixel = {x: x, y: y};
  var answer;
  try {
    answer = orvane.probe(x, y);
  } catch (error) {
    showProbe(x, y, undefined);
    return;
  }
  showProbe(x, y, answer);
}

canvas.addEventListener('click', function (event) {
  if (!probeSwitch.checked) {
    return;
  }
  var box = canvas.getBoundingClientRect();
  probePixel(Math.floor((event.clientX - box.left) * canvas.width / box.width),
             Math.floor((event.clientY - box.top) * canvas.height / box.height));
});

// A key (H, say) changes the picture under the probed pixel: probe it again once the new frame
// has been drawn, a frame after the one the key asks for.
canvas.addEventListener('keydown', function () {
  if (!probeSwitch.checked || probedPixel === null) {
    return;
  }
  requestAnimationFrame(function () {
    requestAnimationFrame(function () {
      if (probeSwitch.checked && probedPixel !== null) {
        probePixel(probedPixel.x, probedPixel.y);
      }
    });
  });
});

function probeElement(tag, text) {
  var made = document.createElement(tag);
  if (text !== undefined) {
    made.textContent = text;
  }
  return made;
}

function probeNumber(value, digits) {
  return (Math.abs(value) < 0.5 * Math.pow(10, -digits) ? 0 : value).toFixed(digits);
}

function probeVector(v) {
  return '(' + v.map(function (c) { return probeNumber(c, 3); }).join(', ') + ')';
}

// Material and light values are as the program set them (0 to 1); contributions and colours are in
// the screen's levels (0 to 255).
function probeLevels(c) {
  return '(' + c.map(function (v) { return probeNumber(v, 1); }).join(', ') + ')';
}

function probeWhole(c) {
  return '(' + c.join(', ') + ')';
}

function probeSwatch(c) {
  var box = probeElement('span');
  box.className = 'swatch';
  box.style.background = 'rgb(' + c.map(function (v) {
    return Math.round(Math.min(Math.max(v, 0), 255));
  }).join(',') + ')';
  return box;
}

function probeTable(rows) {
  var made = probeElement('table');
  rows.forEach(function (row) {
    var line = probeElement('tr');
    line.append(probeElement('th', row[0]));
    var cell = probeElement('td');
    if (row[2]) {
      cell.append(probeSwatch(row[2]));
    }
    cell.append(row[1]);
    line.append(cell);
    made.append(line);
  });
  return made;
}

// The material and the light are the same at every corner of a polygon: they are shown once.
function probeEquationRows(c) {
  var specularFactor = c.specular.shininess === 0 ? '1 (shininess 0)'
    : '(N\u00b7H)^' + probeNumber(c.specular.shininess, 0);
  return [
    ['colour', 'emission + ambient + diffuse + specular, each channel at most 255'],
    ['emission', 'material emission ' + probeLevels(c.emission.material)],
    ['ambient', 'material ambient ' + probeLevels(c.ambient.material) + ' \u00d7 (global ' +
     'ambient ' + probeLevels(c.ambient.global) + ' + light ambient ' +
     probeLevels(c.ambient.light) + ')'],
    ['diffuse', 'max(N\u00b7L, 0) \u00d7 material diffuse ' + probeLevels(c.diffuse.material) +
     ' \u00d7 light diffuse ' + probeLevels(c.diffuse.light)],
    ['specular', specularFactor + ' \u00d7 material specular ' +
     probeLevels(c.specular.material) + ' \u00d7 light specular ' +
     probeLevels(c.specular.light) + '; 0 where N\u00b7L \u2264 0, which the light does not reach'],
  ];
}

function probeCornerRows(c) {
  var rows = [
    ['position (eye space)', probeVector(c.position)],
    ['N, the unit normal', probeVector(c.normal)],
    ['L, towards the light', probeVector(c.L)],
    ['H, half way from L to the viewer', probeVector(c.H)],
    ['N\u00b7L, N\u00b7H', probeNumber(c.nDotL, 4) + ', ' + probeNumber(c.nDotH, 4)],
  ];
  if (!c.lit) {
    return rows.concat([['colour (lighting off: white)', probeLevels(c.colour), c.colour]]);
  }
  return rows.concat([
    ['emission', probeLevels(c.emission.value)],
    ['ambient', probeLevels(c.ambient.value)],
    ['diffuse (max(N\u00b7L, 0) = ' + probeNumber(c.diffuse.factor, 4) + ')',
     probeLevels(c.diffuse.value)],
    ['specular (factor ' + probeNumber(c.specular.factor, 4) + ')',
     probeLevels(c.specular.value)],
    ['colour', probeLevels(c.colour), c.colour],
  ]);
}

function showProbe(x, y, answer) {
  probePanel.replaceChildren(probeElement('h3', 'Pixel (' + x + ', ' + y + ') from the top left'));
  probePanel.hidden = false;
  if (answer === undefined) {
    probePanel.append(probeElement('p', 'The picture is still being drawn: click again.'));
    return;
  }
  if (answer === null) {
    probePanel.append(probeElement('p', 'No filled polygon covers this pixel: it shows the ' +
      'background, or the model is drawn as lines or points (W, V), which the probe does not ' +
      'follow (P fills the polygons again).'));
    return;
  }
  var count = answer.corners.length;
  var triangle = answer.triangle.map(function (i) { return i + 1; }).join(', ');
  probePanel.append(probeElement('p', 'The front-most polygon here has ' + count + ' corners. The ' +
    'lighting equation gives each corner a colour; WebGL draws the polygon as triangles from ' +
    'corner 1 and mixes the colours of the triangle\'s corners (' + triangle + ') by how close ' +
    'the pixel is to each, allowing for perspective.'));
  probePanel.append(probeTable([
    ['weights', answer.weights.map(function (w, i) {
      return 'corner ' + (i + 1) + ': ' + probeNumber(w, 4);
    }).join(', ')],
    ['predicted colour: the weighted sum of the corners\' colours', probeWhole(answer.predicted),
     answer.predicted],
    ['colour on the screen', answer.pixel ? probeWhole(answer.pixel) : 'could not be read back',
     answer.pixel],
  ]));
  if (answer.corners[0].lit) {
    probePanel.append(probeElement('h3', 'The lighting equation, with this polygon\'s values'));
    probePanel.append(probeTable(probeEquationRows(answer.corners[0])));
    probePanel.append(probeElement('p', 'Material and light values are as the program sets ' +
      'them, from 0 to 1; the terms and colours below are in the screen\'s levels, 0 to 255.'));
  }
  answer.corners.forEach(function (corner, i) {
    probePanel.append(probeElement('h3', 'Corner ' + (i + 1) + ' (weight ' +
      probeNumber(answer.weights[i], 4) + ')'));
    probePanel.append(probeTable(probeCornerRows(corner)));
  });
}

// The page's lighting probe, run inside orvane-viewer.js after page.js (em++ --pre-js): the switch
// beside the canvas, the crosshair over it, and the panel that shows what orvane.probe(x, y) found.
var probeView = (function () {
  var canvas = viewerPage.canvas;
  var probeSwitch = document.getElementById('probe-switch');
  var probePanel = document.getElementById('probe-panel');
  var crosshair = document.getElementById('crosshair');
  var probeSaid = document.getElementById('probe-said');
  // Canvas pixels an arrow key moves the crosshair; with Shift, one.
  var CROSSHAIR_STEP = 10;

  // The lighting probe: with the switch on, a click (or a tap) on the picture shows what the
  // lighting equation gave the pixel under it; from the keyboard, the arrows move a crosshair and
  // Enter probes the pixel under it. The program then keeps clicks, drags and the arrows from the
  // model.
  probeSwitch.addEventListener('change', function () {
    orvane.setProbing(probeSwitch.checked);
    canvas.classList.toggle('probing', probeSwitch.checked);
    probePanel.hidden = true;
    probeSaid.hidden = true;
    probedPixel = null;
    secondView.probed(null);
    placeCrosshair(Math.floor(canvas.width / 2), Math.floor(canvas.height / 2));
    crosshair.hidden = !probeSwitch.checked;
  });

  // The pixel the panel shows, so that it can follow the picture as keys change it, and the one
  // under the crosshair.
  var probedPixel = null;
  var crosshairPixel = {x: 0, y: 0};

  // Over the middle of canvas pixel (x, y), wherever and however large the canvas is shown.
  function placeCrosshair(x, y) {
    crosshairPixel = {x: Math.min(Math.max(x, 0), canvas.width - 1),
                      y: Math.min(Math.max(y, 0), canvas.height - 1)};
    var scale = canvas.getBoundingClientRect().width / canvas.width;
    crosshair.style.left = (crosshairPixel.x + 0.5) * scale + 'px';
    crosshair.style.top = (crosshairPixel.y + 0.5) * scale + 'px';
  }
  window.addEventListener('resize', function () {
    placeCrosshair(crosshairPixel.x, crosshairPixel.y);
  });

  canvas.addEventListener('keydown', function (event) {
    if (!probeSwitch.checked) {
      return;
    }
    var step = event.shiftKey ? 1 : CROSSHAIR_STEP;
    var move = {ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, -step],
                ArrowDown: [0, step]}[event.key];
    if (move) {
      event.preventDefault();
      placeCrosshair(crosshairPixel.x + move[0], crosshairPixel.y + move[1]);
    } else if (event.key === 'Enter') {
      probePixel(crosshairPixel.x, crosshairPixel.y, true);
    }
  });

  // Probes canvas pixel (x, y); a student's own probe (a click, Enter) brings the answer into view.
  function probePixel(x, y, asked) {
    probedPixel = {x: x, y: y};
    placeCrosshair(x, y);
    var answer;
    try {
      answer = orvane.probe(x, y);
    } catch (error) {
      answer = undefined;
    }
    showProbe(x, y, answer);
    secondView.probed(answer, probedPixel);
    if (asked) {
      probeSaid.hidden = probeIntoView();
    }
  }

  // What scrolls `element` into view: its nearest ancestor that scrolls, or the page (null).
  function probeScroller(element) {
    for (var at = element.parentElement; at && at !== document.body; at = at.parentElement) {
      var overflow = getComputedStyle(at).overflowY;
      if ((overflow === 'auto' || overflow === 'scroll') && at.scrollHeight > at.clientHeight) {
        return at;
      }
    }
    return null;
  }

  // Scrolls the panel's first lines into view where that keeps the picture in sight: where the
  // picture stays put while the panel's column scrolls (it sticks to the top of the page, or the
  // column scrolls by itself). True if the panel is then in view; elsewhere (a phone, where the
  // panel lies far below the picture) the answer's first sentence stands under the picture instead.
  function probeIntoView() {
    var scroller = probeScroller(probePanel);
    var pictureStays = scroller ? !scroller.contains(canvas)
                                : getComputedStyle(viewerPage.window).position === 'sticky';
    if (!pictureStays) {
      return false;
    }
    var top = scroller ? scroller.getBoundingClientRect().top : 0;
    var bottom = scroller ? scroller.getBoundingClientRect().bottom : window.innerHeight;
    var panelTop = probePanel.getBoundingClientRect().top;
    var room = parseFloat(getComputedStyle(document.documentElement).fontSize);
    if (panelTop < top || panelTop > bottom - 4 * room) {
      var by = panelTop - top - room;
      if (scroller) {
        scroller.scrollBy(0, by);
      } else {
        window.scrollBy(0, by);
      }
    }
    return true;
  }

  canvas.addEventListener('click', function (event) {
    if (!probeSwitch.checked) {
      return;
    }
    var pixel = glutWindow.pixelAt(event.clientX, event.clientY);
    probePixel(Math.floor(pixel.x), Math.floor(pixel.y), true);
  });

  // A key (H, say) or a number of the lab changes the picture under the probed pixel: probe it
  // again as soon as the frame the change asks for has been drawn.
  var followPending = false;
  function probeFollowPicture() {
    followPending = probeSwitch.checked && probedPixel !== null;
  }
  canvas.addEventListener('keydown', probeFollowPicture);
  viewerPage.listeners.frameDrawn.push(function () {
    if (followPending && probeSwitch.checked && probedPixel !== null) {
      followPending = false;
      probePixel(probedPixel.x, probedPixel.y);
    }
  });

  // The switch works once the viewer has its window, and no longer once it has ended.
  viewerPage.listeners.windowCreated.push(function () {
    probeSwitch.checked = false;
    probeSwitch.disabled = false;
  });
  viewerPage.listeners.viewerEnded.push(function () {
    probeSwitch.disabled = true;
  });

  function probeElement(tag, text) {
    var made = document.createElement(tag);
    if (text !== undefined) {
      made.textContent = text;
    }
    return made;
  }

  // Decimals: enough for a student to work the next step of the equation out by hand from the
  // numbers shown. A specular factor is N·H to a power of up to 128, so N·H and the vectors it
  // comes from need six; terms and colours, in the screen's levels, need two to add up to a level.
  var PROBE_UNIT_DECIMALS = 6;
  var PROBE_POSITION_DECIMALS = 4;
  var PROBE_LEVEL_DECIMALS = 2;

  function probeNumber(value, digits) {
    return (Math.abs(value) < 0.5 * Math.pow(10, -digits) ? 0 : value).toFixed(digits);
  }

  function probeVector(v, digits) {
    return '(' + v.map(function (c) {
      return probeNumber(c, digits === undefined ? PROBE_UNIT_DECIMALS : digits);
    }).join(', ') + ')';
  }

  // A number as the program gave it to GL (a material, a light, a factor of the light model): a
  // single-precision float, shown as its shortest decimal.
  function probeGiven(v) {
    return String(Number(v.toPrecision(7)));
  }

  function probeGivenList(c) {
    return '(' + c.map(probeGiven).join(', ') + ')';
  }

  // Contributions and colours, in the screen's levels (0 to 255).
  function probeLevels(c) {
    return '(' + c.map(function (v) { return probeNumber(v, PROBE_LEVEL_DECIMALS); }).join(', ') +
           ')';
  }

  function probeWhole(c) {
    return '(' + c.join(', ') + ')';
  }

  // The terms of the equation at a corner, in the words the summary uses.
  var PROBE_TERMS = [
    {name: 'emission', of: function (c) { return c.emission.value; }},
    {name: 'the global ambient light', of: function (c) { return c.ambient.fromGlobal; }},
    {name: 'the light\'s ambient', of: function (c) { return c.ambient.fromLight; }},
    {name: 'diffuse light', of: function (c) { return c.diffuse.value; }},
    {name: 'the highlight', of: function (c) { return c.specular.value; }},
  ];
  // The same three terms for each other light on, as the answer lists them.
  function probeOtherTerms(answer) {
    return answer.otherLights.reduce(function (terms, light, k) {
      var named = 'light ' + light.light + '\'s ';
      return terms.concat([
        {name: named + 'ambient', of: function (c) { return c.otherLights[k].ambient.value; }},
        {name: named + 'diffuse light', of: function (c) { return c.otherLights[k].diffuse.value; }},
        {name: named + 'highlight', of: function (c) { return c.otherLights[k].specular.value; }},
      ]);
    }, []);
  }

  // Every term at a corner, summed before GL clips each channel at 255.
  function probeUnclipped(answer, c) {
    return [0, 1, 2].map(function (k) {
      return PROBE_TERMS.concat(probeOtherTerms(answer)).reduce(function (sum, term) {
        return sum + term.of(c)[k];
      }, 0);
    });
  }

  // A highlight is worth a word where a corner's specular factor reaches this.
  var PROBE_HIGHLIGHT_FACTOR = 0.05;

  // One sentence on what makes the pixel's colour: its two largest terms, as the corners' terms
  // mixed with the pixel's weights, and on a highlight how far apart the corners' specular factors
  // are.
  function probeSummary(answer) {
    var colour = probeWhole(answer.pixel || answer.predicted);
    if (!answer.corners[0].lit) {
      return 'This pixel, ' + colour + ', is unlit: with lighting off, every corner is white.';
    }
    // Under GL_FLAT every corner has the first one's colour.
    var corners = answer.corners.map(function (c) { return answer.flat ? answer.corners[0] : c; });
    var mixed = PROBE_TERMS.concat(probeOtherTerms(answer)).map(function (term) {
      var value = [0, 1, 2].map(function (k) {
        return corners.reduce(function (sum, c, i) {
          return sum + answer.weights[i] * term.of(c)[k];
        }, 0);
      });
      return {name: term.name, value: value, size: value[0] + value[1] + value[2]};
    }).filter(function (term) {
      return term.size >= 0.5;
    }).sort(function (a, b) {
      return b.size - a.size;
    });
    var text = 'This pixel, ' + colour + ', is ' + (mixed.length === 0
      ? 'black: no term of the equation adds anything here.'
      : 'mostly ' + mixed[0].name + ' ' + probeLevels(mixed[0].value) +
        (mixed.length > 1 ? ', then ' + mixed[1].name + ' ' + probeLevels(mixed[1].value) : '') +
        '.');
    var factors = corners.map(function (c) { return c.specular.factor; });
    var most = Math.max.apply(null, factors);
    var least = Math.min.apply(null, factors);
    if (most >= PROBE_HIGHLIGHT_FACTOR && corners.length > 1 && !answer.flat) {
      text += ' On this highlight the corners\' specular factors run from ' +
              probeNumber(least, PROBE_UNIT_DECIMALS) + ' to ' +
              probeNumber(most, PROBE_UNIT_DECIMALS) +
              ': GL works the light out at the corners only and blends their colours across the ' +
              'polygon, which is why Gouraud shading makes a highlight blotchy.';
    }
    return text;
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

  // The material and the light are the same at every corner of a polygon: they are shown once,
  // with what the light model and the light's reach make of them.
  function probeEquationRows(answer) {
    var c = answer.corners[0];
    var specularFactor = c.specular.shininess === 0 ? '1 (shininess 0)'
      : '(N\u00b7H)^' + probeNumber(c.specular.shininess, 0);
    var spot = answer.spotlight;
    var k = answer.attenuationFactors;
    var rows = [
      ['colour', 'emission + global ambient + reach \u00d7 (light ambient + diffuse + specular), ' +
       'each channel at most 255'],
      ['emission', 'material emission ' + probeGivenList(c.emission.material)],
      ['global ambient', 'material ambient ' + probeGivenList(c.ambient.material) + ' \u00d7 ' +
       probeGivenList(c.ambient.global)],
      ['light ambient', 'material ambient ' + probeGivenList(c.ambient.material) +
       ' \u00d7 light ambient ' + probeGivenList(c.ambient.light)],
      ['diffuse', 'max(N\u00b7L, 0) \u00d7 material diffuse ' + probeGivenList(c.diffuse.material) +
       ' \u00d7 light diffuse ' + probeGivenList(c.diffuse.light)],
      ['specular', specularFactor + ' \u00d7 material specular ' +
       probeGivenList(c.specular.material) + ' \u00d7 light specular ' +
       probeGivenList(c.specular.light) +
       '; 0 where N\u00b7L \u2264 0, which the light does not reach'],
      ['reach', 'attenuation \u00d7 spot, ' + (answer.lightPosition[3] === 0
        ? 'attenuation 1 for a light at infinity (w = 0)'
        : 'attenuation 1 / (' + probeGiven(k[0]) + ' + ' + probeGiven(k[1]) + ' d + ' +
          probeGiven(k[2]) + ' d\u00b2), d the distance to the light') + '; ' + (spot
        ? 'spot (\u2212L\u00b7D)^' + probeGiven(spot.exponent) + ' inside the cone of ' +
          probeGiven(spot.cutoff) + '\u00b0 about D ' + probeVector(spot.direction) + ', 0 outside'
        : 'spot 1, with no spotlight (cutoff 180)')],
      ['H', 'half way from L to ' + (answer.localViewer ? 'the eye: the viewer is local'
                                                       : '+z: the viewer is at infinity')],
    ];
    answer.otherLights.forEach(function (light) {
      rows.push(['GL_LIGHT' + light.light, 'the same terms again, with its own L and H, ' +
        (light.lightPosition[3] === 0 ? 'from the direction ' : 'from ') +
        probeGivenList(light.lightPosition.slice(0, 3)) + (light.spotlight
          ? ', a spot of ' + probeGiven(light.spotlight.cutoff) + '° about ' +
            probeVector(light.spotlight.direction)
          : '') + ', added to the sum; its colours are under each corner']);
    });
    if (answer.face === 'back') {
      rows.push(['face', 'a back face: its corners run clockwise on the screen, and GL takes the ' +
        'side whose corners run anticlockwise for the front (glFrontFace\'s GL_CCW). ' +
        (answer.twoSide ? 'Two-sided lighting lights it with N turned round and the back ' +
                          'material, GL\'s default, which the program never sets.'
                        : 'Lighting is one-sided, so it is lit as the front.')]);
    }
    if (answer.flat) {
      rows.push(['GL_FLAT', 'every corner takes corner 1\'s colour']);
    }
    return rows;
  }

  // What each other light adds at corner c, and the sum where GL clips it.
  function probeOtherLightRows(answer, c) {
    var rows = [];
    c.otherLights.forEach(function (t) {
      var named = 'GL_LIGHT' + t.light;
      rows.push([named + ': L; N·L, N·H', probeVector(t.L) + '; ' +
                 probeNumber(t.nDotL, PROBE_UNIT_DECIMALS) + ', ' +
                 probeNumber(t.nDotH, PROBE_UNIT_DECIMALS)]);
      if (t.attenuation !== 1 || t.spot !== 1) {
        rows.push([named + ': attenuation × spot', probeNumber(t.attenuation * t.spot,
                                                                     PROBE_UNIT_DECIMALS)]);
      }
      rows.push([named + ': ambient, diffuse (light ' + probeGivenList(t.diffuse.light) +
                 '), specular', probeLevels(t.ambient.value) + ', ' +
                 probeLevels(t.diffuse.value) + ', ' + probeLevels(t.specular.value)]);
    });
    var sum = probeUnclipped(answer, c);
    if (sum.some(function (v) { return v > 255; })) {
      rows.push(['the sum, before GL clips each channel at 255', probeLevels(sum)]);
    }
    return rows;
  }

  function probeCornerRows(answer, c) {
    var rows = [
      ['position (eye space)', probeVector(c.position, PROBE_POSITION_DECIMALS)],
      ['N, the unit normal', probeVector(c.normal)],
      ['L, towards the light', probeVector(c.L)],
      ['H, half way from L to the viewer', probeVector(c.H)],
      ['N\u00b7L, N\u00b7H', probeNumber(c.nDotL, PROBE_UNIT_DECIMALS) + ', ' +
       probeNumber(c.nDotH, PROBE_UNIT_DECIMALS)],
    ];
    if (!c.lit) {
      return rows.concat([['colour (lighting off: white)', probeLevels(c.colour), c.colour]]);
    }
    if (c.attenuation !== 1) {
      rows.push(['attenuation at distance ' + probeNumber(c.distance, PROBE_POSITION_DECIMALS),
                 probeNumber(c.attenuation, PROBE_UNIT_DECIMALS)]);
    }
    if (c.spot !== 1) {
      rows.push(['spot (\u2212L\u00b7D = ' + probeNumber(c.spotDot, PROBE_UNIT_DECIMALS) + ')',
                 probeNumber(c.spot, PROBE_UNIT_DECIMALS)]);
    }
    return rows.concat([
      ['emission', probeLevels(c.emission.value)],
      ['global ambient', probeLevels(c.ambient.fromGlobal)],
      ['light ambient', probeLevels(c.ambient.fromLight)],
      ['diffuse (max(N\u00b7L, 0) = ' + probeNumber(c.diffuse.factor, PROBE_UNIT_DECIMALS) + ')',
       probeLevels(c.diffuse.value)],
      ['specular (factor ' + probeNumber(c.specular.factor, PROBE_UNIT_DECIMALS) + ')',
       probeLevels(c.specular.value)],
    ], probeOtherLightRows(answer, c), [
      ['colour', probeLevels(c.colour), c.colour],
    ]);
  }

  function showProbe(x, y, answer) {
    probePanel.replaceChildren(
      probeElement('h3', 'Pixel (' + x + ', ' + y + ') from the top left'));
    probePanel.hidden = false;
    probeSaid.textContent = '';
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
    var summary = probeSummary(answer) + probePerPixelSummary(answer);
    probePanel.append(probeElement('p', summary));
    probeSaid.textContent = summary + ' The whole equation is in the probe\'s panel below.';
    var count = answer.corners.length;
    var triangle = answer.triangle.map(function (i) { return i + 1; }).join(', ');
    probePanel.append(probeElement('p', 'The front-most polygon here has ' + count +
      ' corners. The ' +
      'lighting equation gives each corner a colour; WebGL draws the polygon as triangles from ' +
      'corner 1 and mixes the colours of the triangle\'s corners (' + triangle + ') by how close ' +
      'the pixel is to each, allowing for perspective.'));
    probePanel.append(probeTable([
      ['weights', answer.weights.map(function (w, i) {
        return 'corner ' + (i + 1) + ': ' + probeNumber(w, PROBE_UNIT_DECIMALS);
      }).join(', ')],
      ['predicted colour: the weighted sum of the corners\' colours', probeWhole(answer.predicted),
       answer.predicted],
      ['colour on the screen', answer.pixel ? probeWhole(answer.pixel) : 'could not be read back',
       answer.pixel],
    ]));
    if (answer.perPixel) {
      probePanel.append(probeElement('h3', 'Per corner and per pixel'));
      probePanel.append(probeTable(probePerPixelRows(answer)));
    }
    if (answer.corners[0].lit) {
      probePanel.append(probeElement('h3', 'The lighting equation, with this polygon\'s values'));
      probePanel.append(probeTable(probeEquationRows(answer)));
      probePanel.append(probeElement('p', 'Material and light values are as the program sets ' +
        'them; the terms and colours below are in the screen\'s levels, 0 to 255.'));
    }
    // Under GL_FLAT the corners share corner 1's colour, and its equation.
    answer.corners.slice(0, answer.flat ? 1 : undefined).forEach(function (corner, i) {
      probePanel.append(probeElement('h3', 'Corner ' + (i + 1) + ' (weight ' +
        probeNumber(answer.weights[i], PROBE_UNIT_DECIMALS) + ')'));
      probePanel.append(probeTable(probeCornerRows(answer, corner)));
    });
    if (answer.perPixel) {
      probePanel.append(probeElement('h3', 'At the pixel itself, lit per pixel'));
      probePanel.append(probeTable(probeCornerRows(answer, answer.perPixel)));
    }
  }

  // The picture's colour, lit per corner, beside the colour the equation gives at the pixel
  // itself, and how far apart they are.
  function probePerPixelDifference(answer) {
    var shown = answer.pixel || answer.predicted;
    return answer.perPixel.colour.map(function (v, k) { return v - shown[k]; });
  }

  function probePerPixelSummary(answer) {
    if (!answer.perPixel) {
      return '';
    }
    var apart = Math.max.apply(null, probePerPixelDifference(answer).map(Math.abs));
    return ' Lit per pixel it is ' + probeLevels(answer.perPixel.colour) + ', ' +
           probeNumber(apart, PROBE_LEVEL_DECIMALS) + ' levels at most from the picture.';
  }

  function probePerPixelRows(answer) {
    var shown = answer.pixel || answer.predicted;
    return [
      ['the picture, lit per corner', probeWhole(shown), shown],
      ['lit per pixel: the equation at the pixel, with the position and N blended across the ' +
       'polygon', probeLevels(answer.perPixel.colour), answer.perPixel.colour],
      ['per pixel \u2212 per corner', probeLevels(probePerPixelDifference(answer))],
    ];
  }

  return {followPicture: probeFollowPicture};
})();

// The lighting lab's numbers, run inside orvane-viewer.js (em++ --pre-js) and read by the build
// (quote.mjs) and the tests. The program's own are found in src/ by the start of their line
// (`line`), and quote.mjs takes the line and its numbers from there when the site is built. The
// rest are calls the program does not make, at GL's defaults (`call`, `initial`).
//
// Each number is a control; `range` is GL's:
//   colour  any finite number, alpha included, as GL takes it; a step stays within 0 to 1;
//   any     any finite number (positions, directions);
//   [a, b]  from a to b; `extra` is one more value GL takes outside it (the spot cutoff's 180);
//   names   one of the listed names (GL_SMOOTH or GL_FLAT; initLighting or display).
// `step` is one press of an arrow key (Shift: ten). `gl` says what the lab does with the number:
// make the light or light-model call again (light, lightModel, shadeModel), as initLighting made
// it, for `light` (0 unless given), enable that light (enable), or put it in place of the program's constant where the program passes it to glMaterialfv,
// as each of `pnames`.

var labTable = (function () {
  // GL/gl.h's values for the names the lab passes.
  var GL_NAMES = {
    GL_AMBIENT: 0x1200, GL_DIFFUSE: 0x1201, GL_SPECULAR: 0x1202, GL_POSITION: 0x1203,
    GL_SPOT_DIRECTION: 0x1204, GL_SPOT_EXPONENT: 0x1205, GL_SPOT_CUTOFF: 0x1206,
    GL_CONSTANT_ATTENUATION: 0x1207, GL_LINEAR_ATTENUATION: 0x1208,
    GL_QUADRATIC_ATTENUATION: 0x1209, GL_EMISSION: 0x1600, GL_SHININESS: 0x1601,
    GL_LIGHT_MODEL_LOCAL_VIEWER: 0x0B51, GL_LIGHT_MODEL_TWO_SIDE: 0x0B52,
    GL_LIGHT_MODEL_AMBIENT: 0x0B53, GL_FLAT: 0x1D00, GL_SMOOTH: 0x1D01,
  };

  var LAB_LIGHTING_FILE = 'src/shell/lighting.cpp';
  var LAB_MATERIALS_FILE = 'src/geometry/materials.cpp';
  var RGBA = ['red', 'green', 'blue', 'alpha'];
  // Where the calls the program does not make go: in initLighting, beside its other light calls.
  var LAB_CALLS_GO = {file: LAB_LIGHTING_FILE, function: 'initLighting',
                      before: 'glEnable(GL_LIGHT0);'};
  // Where LIGHT_SET_IN = 'display' sets the light's position again: in display(), after the two
  // rotations and before the zoom.
  var LAB_DISPLAY_FILE = 'src/shell/display.cpp';
  var LAB_POSITION_IN_DISPLAY_GOES = {file: LAB_DISPLAY_FILE, function: 'display',
                                      before: 'glScalef(viewerState.zoom, viewerState.zoom, ' +
                                              'viewerState.zoom);'};

  var LAB_NUMBERS = [
    {name: 'LIGHT_POSITION', file: LAB_LIGHTING_FILE, line: 'constexpr GLfloat LIGHT_POSITION[] =',
     parts: ['x', 'y', 'z', 'w'], range: 'any', step: 1,
     gl: {call: 'light', pname: 'GL_POSITION'}, lessons: [1, 7],
     help: 'Where the light is, in eye coordinates; w = 0 makes it a direction (a light at ' +
           'infinity).'},
    {name: 'LIGHT_AMBIENT', file: LAB_LIGHTING_FILE, line: 'constexpr GLfloat LIGHT_AMBIENT[] =',
     parts: RGBA, range: 'colour', step: 0.05, gl: {call: 'light', pname: 'GL_AMBIENT'},
     lessons: [1], help: 'The light\'s ambient colour: it lights every side alike, facing it ' +
                         'or not.'},
    {name: 'LIGHT_DIFFUSE', file: LAB_LIGHTING_FILE, line: 'constexpr GLfloat LIGHT_DIFFUSE[] =',
     parts: RGBA, range: 'colour', step: 0.05, gl: {call: 'light', pname: 'GL_DIFFUSE'},
     lessons: [1], help: 'The light\'s diffuse colour, times N·L: bright where the surface ' +
                         'faces it.'},
    {name: 'LIGHT_SPECULAR', file: LAB_LIGHTING_FILE, line: 'constexpr GLfloat LIGHT_SPECULAR[] =',
     parts: RGBA, range: 'colour', step: 0.05, gl: {call: 'light', pname: 'GL_SPECULAR'},
     lessons: [3], help: 'The light\'s specular colour, which the highlight reflects (press H).'},
    {name: 'GL_SHADE_MODEL', file: LAB_LIGHTING_FILE, line: 'glShadeModel(',
     parts: ['mode'], range: ['GL_SMOOTH', 'GL_FLAT'], gl: {call: 'shadeModel'}, lessons: [2],
     help: 'GL_SMOOTH blends the corners\' colours across a polygon; GL_FLAT paints it in its ' +
           'first ' +
           'corner\'s.'},
    {name: 'GL_LIGHT_MODEL_TWO_SIDE', file: LAB_LIGHTING_FILE,
     line: 'glLightModelf(GL_LIGHT_MODEL_TWO_SIDE,', parts: ['on'], range: [0, 1], step: 1,
     integer: true, gl: {call: 'lightModel', pname: 'GL_LIGHT_MODEL_TWO_SIDE'}, lessons: [7],
     help: '1 lights the back of each polygon with the normal turned round and GL\'s default ' +
           'back ' +
           'material (grey), which the program never sets. GL takes a polygon whose corners run ' +
           'clockwise on the screen for its back: the sphere\'s right half is sent that way, ' +
           'so it ' +
           'turns grey. Look into the cylinder (key 2) to see its inside wall lit.'},
    {name: 'MATERIAL_AMBIENT', file: LAB_MATERIALS_FILE,
     line: 'constexpr GLfloat MATERIAL_AMBIENT[] =', parts: RGBA, range: 'colour', step: 0.05,
     gl: {call: 'material', pnames: ['GL_AMBIENT']}, lessons: [1],
     help: 'Every part\'s ambient colour: what the ambient light and the global ambient show.'},
    {name: 'CYLINDER_DIFFUSE', file: LAB_MATERIALS_FILE,
     line: 'constexpr GLfloat CYLINDER_DIFFUSE[] =', parts: RGBA, range: 'colour', step: 0.05,
     gl: {call: 'material', pnames: ['GL_DIFFUSE', 'GL_SPECULAR']}, lessons: [1, 3],
     help: 'The rods\' diffuse colour; with H on, their specular colour too.'},
    {name: 'SPHERE_DIFFUSE', file: LAB_MATERIALS_FILE, line: 'constexpr GLfloat SPHERE_DIFFUSE[] =',
     parts: RGBA, range: 'colour', step: 0.05,
     gl: {call: 'material', pnames: ['GL_DIFFUSE', 'GL_SPECULAR']}, lessons: [1, 3],
     help: 'The balls\' diffuse colour; with H on, their specular colour too.'},
    {name: 'HIGHLIGHT_SHININESS', file: LAB_MATERIALS_FILE,
     line: 'constexpr GLfloat HIGHLIGHT_SHININESS =', parts: ['exponent'], range: [0, 128], step: 1,
     gl: {call: 'material', pnames: ['GL_SHININESS']}, lessons: [3],
     help: 'The highlight\'s exponent, with H on: higher is a smaller, sharper spot.'},
    // The emission every part passes: BLACK, whose line the lab reads its value from.
    {name: 'GL_EMISSION', file: LAB_MATERIALS_FILE, line: 'constexpr GLfloat BLACK[] =',
     passedBy: 'glMaterialfv(GL_FRONT, GL_EMISSION, BLACK);', parts: RGBA, range: 'colour',
     step: 0.05, gl: {call: 'material', pnames: ['GL_EMISSION']}, lessons: [1],
     help: 'Light the surface gives off itself, lit or not. The program passes BLACK for every ' +
           'part.'},

    {name: 'GL_LIGHT_MODEL_AMBIENT', call: 'glLightModelfv(GL_LIGHT_MODEL_AMBIENT, #);',
     initial: [0.2, 0.2, 0.2, 1], parts: RGBA, range: 'colour', step: 0.05,
     gl: {call: 'lightModel', pname: 'GL_LIGHT_MODEL_AMBIENT'}, lessons: [1],
     help: 'The global ambient light, there without any light: times the material\'s ambient.'},
    {name: 'GL_LIGHT_MODEL_LOCAL_VIEWER', call: 'glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, #);',
     initial: [0], parts: ['on'], range: [0, 1], step: 1, integer: true,
     gl: {call: 'lightModel', pname: 'GL_LIGHT_MODEL_LOCAL_VIEWER'}, lessons: [6, 7],
     help: '1 takes H towards the eye from each corner, rather than along +z: the highlight ' +
           'moves.'},
    {name: 'GL_SPOT_DIRECTION', call: 'glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, #);',
     initial: [0, 0, -1], parts: ['x', 'y', 'z'], range: 'any', step: 0.1,
     gl: {call: 'light', pname: 'GL_SPOT_DIRECTION'}, lessons: [7],
     help: 'Where a spotlight points, in eye coordinates; it counts once the cutoff is below 180.'},
    {name: 'GL_SPOT_EXPONENT', call: 'glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, #);', initial: [0],
     parts: ['exponent'], range: [0, 128], step: 1, gl: {call: 'light', pname: 'GL_SPOT_EXPONENT'},
     lessons: [7], help: 'How fast a spotlight fades from its axis to the cone\'s edge.'},
    {name: 'GL_SPOT_CUTOFF', call: 'glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, #);', initial: [180],
     parts: ['degrees'], range: [0, 90], extra: 180, step: 1,
     gl: {call: 'light', pname: 'GL_SPOT_CUTOFF'}, lessons: [7],
     help: 'Half the angle of a spotlight\'s cone, 0 to 90 degrees; 180 is no spotlight.'},
    {name: 'GL_CONSTANT_ATTENUATION', call: 'glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, #);',
     initial: [1], parts: ['k'], range: [0, Infinity], step: 0.1,
     gl: {call: 'light', pname: 'GL_CONSTANT_ATTENUATION'}, lessons: [7],
     help: 'A positional light is divided by constant + linear d + quadratic d², d its distance.'},
    {name: 'GL_LINEAR_ATTENUATION', call: 'glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, #);',
     initial: [0], parts: ['k'], range: [0, Infinity], step: 0.001,
     gl: {call: 'light', pname: 'GL_LINEAR_ATTENUATION'}, lessons: [7],
     help: 'Fading with distance d: the light is divided by constant + linear d + quadratic d².'},
    {name: 'GL_QUADRATIC_ATTENUATION', call: 'glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, #);',
     initial: [0], parts: ['k'], range: [0, Infinity], step: 0.00001,
     gl: {call: 'light', pname: 'GL_QUADRATIC_ATTENUATION'}, lessons: [7],
     help: 'Fading with the square of the distance, as light from a point does in nature.'},
    {name: 'LIGHT_SET_IN', call: '// LIGHT_POSITION is set in #', initial: ['initLighting'],
     parts: ['function'], range: ['initLighting', 'display'], gl: {call: 'lightSetIn'},
     lessons: [1],
     help: 'initLighting, the program\'s choice, sets the position once, while the modelview ' +
           'is the ' +
           'identity: the light stays with the eye. display also sets it in every frame after ' +
           'the ' +
           'two rotations and before the zoom: the light turns with the model, but does not grow ' +
           'with the zoom.'},
  ];

  // GL_LIGHT1 to GL_LIGHT7, which the program never uses: each the whole set of light 0's numbers
  // under its own name, taking the same values, and GL_LIGHTi itself, 1 for glEnable. Each starts
  // at GL's defaults for a light other than light 0: where light 0's number is the program's own
  // line, at `initial` below (black diffuse and specular, at infinity along +z), elsewhere as light
  // 0's.
  var LAB_OTHER_LIGHTS = 7;
  var LAB_OTHER_LIGHT = {
    GL_POSITION: {initial: [0, 0, 1, 0],
                  help: 'Where this light is, in eye coordinates; w = 0 makes it a direction. GL ' +
                        'starts it at infinity along +z, behind the eye.'},
    GL_AMBIENT: {initial: [0, 0, 0, 1],
                 help: 'This light\'s ambient colour, added to light 0\'s and the global ' +
                       'ambient.'},
    GL_DIFFUSE: {initial: [0, 0, 0, 1],
                 help: 'This light\'s diffuse colour, times N·L. GL starts it black, unlike ' +
                       'light 0\'s white: enabled alone, the light adds nothing.'},
    GL_SPECULAR: {initial: [0, 0, 0, 1],
                  help: 'This light\'s specular colour, for its own highlight (press H). GL ' +
                        'starts it black.'},
    GL_SPOT_DIRECTION: {help: 'Where this light\'s spot points, in eye coordinates, once its ' +
                              'cutoff is below 180.'},
    GL_SPOT_EXPONENT: {help: 'How fast this light\'s spot fades from its axis to the cone\'s ' +
                             'edge.'},
    GL_SPOT_CUTOFF: {help: 'Half the angle of this light\'s cone, 0 to 90 degrees; 180 is no ' +
                           'spotlight.'},
    GL_CONSTANT_ATTENUATION: {help: 'This light, if positional, is divided by constant + linear ' +
                                    'd + quadratic d².'},
    GL_LINEAR_ATTENUATION: {help: 'Fading with distance d: divided by constant + linear d + ' +
                                  'quadratic d².'},
    GL_QUADRATIC_ATTENUATION: {help: 'Fading with the square of the distance.'},
  };
  var lightZero = LAB_NUMBERS.filter(function (n) { return n.gl.call === 'light'; });
  for (var light = 1; light <= LAB_OTHER_LIGHTS; ++light) {
    var cap = 'GL_LIGHT' + light;
    LAB_NUMBERS.push({name: cap, call: 'if (#) glEnable(' + cap + ');', initial: [0],
                      parts: ['on'], range: [0, 1], step: 1, integer: true,
                      gl: {call: 'enable', light: light}, lessons: [7],
                      help: '1 enables this light: its terms join the sum, which GL clips at 1. ' +
                            'GL starts it black, so give it a diffuse colour to see it.'});
    lightZero.forEach(function (n) {
      var pname = n.gl.pname;
      var other = LAB_OTHER_LIGHT[pname];
      LAB_NUMBERS.push({name: cap + '_' + pname.replace(/^GL_/, ''),
                        call: (n.parts.length === 1 ? 'glLightf(' : 'glLightfv(') + cap + ', ' +
                              pname + ', #);',
                        initial: other.initial || n.initial, parts: n.parts, range: n.range,
                        extra: n.extra, step: n.step,
                        gl: {call: 'light', pname: pname, light: light},
                        lessons: [7], help: other.help});
    });
  }

  return {GL_NAMES: GL_NAMES, NUMBERS: LAB_NUMBERS, LIGHTING_FILE: LAB_LIGHTING_FILE,
          MATERIALS_FILE: LAB_MATERIALS_FILE, DISPLAY_FILE: LAB_DISPLAY_FILE,
          CALLS_GO: LAB_CALLS_GO, POSITION_IN_DISPLAY_GOES: LAB_POSITION_IN_DISPLAY_GOES};
})();

// OpenGL 1.x's lighting equation, for the program's light and any the lab turns on, worked out here
// in double precision from the numbers a test knows (the program's light and materials, and what a
// lab set changes), not from anything the page reports but a corner's place and normal: the suites
// hold the probe and the layer's shader to it.

// What the program sets (src/shell/lighting.cpp, src/geometry/materials.cpp) and GL's defaults
// for what it leaves, by the lab's names.
export const PROGRAM = {
  LIGHT_POSITION: [-100, 100, 100, 1],
  LIGHT_AMBIENT: [0.7, 0.7, 0.7, 1],
  LIGHT_DIFFUSE: [0.8, 0.8, 0.8, 1],
  LIGHT_SPECULAR: [1, 1, 1, 1],
  GL_SHADE_MODEL: 'GL_SMOOTH',
  GL_LIGHT_MODEL_TWO_SIDE: 0,
  MATERIAL_AMBIENT: [0.3, 0.3, 0.3, 1],
  CYLINDER_DIFFUSE: [0.7, 0.7, 0.1, 1],
  SPHERE_DIFFUSE: [0.1, 0.5, 0.8, 1],
  HIGHLIGHT_SHININESS: 100,
  GL_EMISSION: [0, 0, 0, 1],
  GL_LIGHT_MODEL_AMBIENT: [0.2, 0.2, 0.2, 1],
  GL_LIGHT_MODEL_LOCAL_VIEWER: 0,
  GL_SPOT_DIRECTION: [0, 0, -1],
  GL_SPOT_EXPONENT: 0,
  GL_SPOT_CUTOFF: 180,
  GL_CONSTANT_ATTENUATION: 1,
  GL_LINEAR_ATTENUATION: 0,
  GL_QUADRATIC_ATTENUATION: 0,
  LIGHT_SET_IN: 'initLighting',
};
// GL's back material, which the program never sets: two-sided lighting lights back faces with it.
const BACK_MATERIAL = {ambient: [0.2, 0.2, 0.2], diffuse: [0.8, 0.8, 0.8], specular: [0, 0, 0],
                       emission: [0, 0, 0], shininess: 0};

const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
const unit = (v) => v.map((c) => c / Math.sqrt(dot(v, v)));
const minus = (a, b) => [0, 1, 2].map((i) => a[i] - b[i]);

// The numbers in force: the program's, with `changes` ({NAME: value}) in place of its own.
export function numbers(changes = {}) {
  return {...PROGRAM, ...changes};
}

// The front material of a part ('sphere' or 'cylinder'), with the highlight on or off.
export function material(n, part, highlight) {
  const diffuse = n[part === 'sphere' ? 'SPHERE_DIFFUSE' : 'CYLINDER_DIFFUSE'];
  return {ambient: n.MATERIAL_AMBIENT, diffuse, specular: highlight ? diffuse : [0, 0, 0],
          emission: n.GL_EMISSION, shininess: highlight ? n.HIGHLIGHT_SHININESS : 0};
}

// The material a face is lit with: the front one, unless two-sided lighting lights a back face.
export function faceMaterial(n, front, back) {
  return back && n.GL_LIGHT_MODEL_TWO_SIDE !== 0 ? BACK_MATERIAL : front;
}

// The light's position in eye coordinates, for the model unturned at zoom 1: set in initLighting
// under the identity it is LIGHT_POSITION; set in display() it is moved 6 units away from the eye
// with the model first.
const MODEL_DISTANCE = 6;
function lightPosition(n) {
  const [x, y, z, w] = n.LIGHT_POSITION;
  return n.LIGHT_SET_IN === 'display' ? [x, y, z - MODEL_DISTANCE * w, w] : [x, y, z, w];
}

// The unit vector from eye position `p` towards the light.
export function towardsLight(n, p) {
  const [x, y, z, w] = lightPosition(n);
  return unit(w === 0 ? [x, y, z] : minus([x / w, y / w, z / w], p));
}

// The lights on: the program's, and each GL_LIGHTi the changes enable, from GL's defaults for a
// light other than light 0 (black, at infinity along +z). Positions in eye coordinates.
const OTHER_LIGHTS = 7;
function lightsOn(n) {
  const lights = [{position: lightPosition(n), ambient: n.LIGHT_AMBIENT, diffuse: n.LIGHT_DIFFUSE,
                   specular: n.LIGHT_SPECULAR, spotDirection: n.GL_SPOT_DIRECTION,
                   spotExponent: n.GL_SPOT_EXPONENT, spotCutoff: n.GL_SPOT_CUTOFF,
                   k: [n.GL_CONSTANT_ATTENUATION, n.GL_LINEAR_ATTENUATION,
                       n.GL_QUADRATIC_ATTENUATION]}];
  for (let i = 1; i <= OTHER_LIGHTS; ++i) {
    const named = (what, otherwise) => n[`GL_LIGHT${i}_${what}`] ?? otherwise;
    if ((n[`GL_LIGHT${i}`] ?? 0) === 0) {
      continue;
    }
    lights.push({position: named('POSITION', [0, 0, 1, 0]), ambient: named('AMBIENT', [0, 0, 0]),
                 diffuse: named('DIFFUSE', [0, 0, 0]), specular: named('SPECULAR', [0, 0, 0]),
                 spotDirection: named('SPOT_DIRECTION', [0, 0, -1]),
                 spotExponent: named('SPOT_EXPONENT', 0), spotCutoff: named('SPOT_CUTOFF', 180),
                 k: [named('CONSTANT_ATTENUATION', 1), named('LINEAR_ATTENUATION', 0),
                     named('QUADRATIC_ATTENUATION', 0)]});
  }
  return lights;
}

// What one light adds, per channel, at eye position `p` with unit normal `normal`.
function lightAdds(light, n, m, p, normal) {
  const [x, y, z, w] = light.position;
  const toLight = w === 0 ? [x, y, z] : minus([x / w, y / w, z / w], p);
  const l = unit(toLight);
  let reach = 1;
  if (w !== 0) {
    const d = Math.sqrt(dot(toLight, toLight));
    reach = 1 / (light.k[0] + light.k[1] * d + light.k[2] * d * d);
  }
  if (light.spotCutoff !== 180) {
    const spot = -dot(l, unit(light.spotDirection));
    reach *= spot >= Math.cos(light.spotCutoff * Math.PI / 180) ? spot ** light.spotExponent : 0;
  }
  const nDotL = dot(normal, l);
  const toEye = n.GL_LIGHT_MODEL_LOCAL_VIEWER ? unit(p.map((c) => -c)) : [0, 0, 1];
  const h = unit(l.map((c, i) => c + toEye[i]));
  // GL's f: no highlight where the light does not reach; x^0 is 1.
  const specular = nDotL <= 0 ? 0 : m.shininess === 0 ? 1 : Math.max(dot(normal, h), 0) ** m.shininess;
  return [0, 1, 2].map((c) => reach * (m.ambient[c] * light.ambient[c] + Math.max(nDotL, 0) *
                                       m.diffuse[c] * light.diffuse[c] +
                                       specular * m.specular[c] * light.specular[c]));
}

// The colour, in levels of 255, of a corner at eye position `p` with unit normal `normal` (as GL
// uses it: for a back face under two-sided lighting, already turned round, with `back` true).
export function colourAt(n, front, p, normal, back = false) {
  const m = faceMaterial(n, front, back);
  const added = lightsOn(n).map((light) => lightAdds(light, n, m, p, normal));
  return [0, 1, 2].map((c) => 255 * Math.min(Math.max(
    m.emission[c] + m.ambient[c] * n.GL_LIGHT_MODEL_AMBIENT[c] +
    added.reduce((sum, light) => sum + light[c], 0), 0), 1));
}

export {dot, unit};

// The picture in words, run inside orvane-viewer.js after page.js (em++ --pre-js): after each frame
// the canvas's accessible name says what it shows, the key buttons say which are on, and, once the
// input has paused, a polite live region says what changed. All of it is read from the viewer
// itself (orvane.viewerState(), page/viewer_state.cpp), never kept from the input.
var pictureWords = (function () {
  var said = document.getElementById('said');
  var MODEL_NAMES = ['Sphere', 'Cylinder', 'Twisted ladder', 'Branching tree'];
  // Said once the picture has stopped changing for this long, so that a drag is one sentence.
  var SAY_AFTER_MS = 400;
  var describedState = null; // what the live region last said
  var sayTimer = 0;

  function degrees(angle) {
    return Number(angle.toFixed(1)) + '\u00b0';
  }

  // "Twisted ladder, smooth normals, highlight on, wireframe; turned 60° about y and 30° about x;
  // zoom 1.30"
  function describeState(state) {
    return MODEL_NAMES[state.model] + ', ' + (state.smoothShading ? 'smooth' : 'flat') +
           ' normals, highlight ' + (state.highlight ? 'on' : 'off') + ', ' + state.polygonMode +
           '; turned ' + degrees(state.angleY) + ' about y and ' + degrees(state.angleX) +
           ' about x; zoom ' + state.zoom.toFixed(2);
  }

  // "; the spotlight misses the model by 12.3°" where no corner of the frame lies inside the cone;
  // '' where it reaches the model, or there is no spotlight. The program works it out as it draws
  // (gl/spot.cpp).
  function spotMissWords() {
    var reach = JSON.parse(UTF8ToString(Module['_orvane_spot_reach']()));
    if (!reach.spotlight || reach.nearest <= reach.cutoff) {
      return '';
    }
    return '; the spotlight misses the model by ' + degrees(reach.nearest - reach.cutoff);
  }

  // What differs between two states, in the words of the description.
  function describeChange(before, after) {
    var changes = [];
    if (before.model !== after.model) {
      changes.push(MODEL_NAMES[after.model]);
    }
    if (before.smoothShading !== after.smoothShading) {
      changes.push((after.smoothShading ? 'smooth' : 'flat') + ' normals');
    }
    if (before.highlight !== after.highlight) {
      changes.push('highlight ' + (after.highlight ? 'on' : 'off'));
    }
    if (before.polygonMode !== after.polygonMode) {
      changes.push(after.polygonMode);
    }
    if (before.angleX !== after.angleX || before.angleY !== after.angleY) {
      changes.push('turned ' + degrees(after.angleY) + ' about y and ' + degrees(after.angleX) +
                   ' about x');
    }
    if (before.zoom !== after.zoom) {
      changes.push('zoom ' + after.zoom.toFixed(2));
    }
    return changes.join(', ');
  }

  // Every frame: most frames (a drag's) change only the angles, and many (a probe's, the lab's)
  // nothing the words name.
  function showState() {
    var state = orvane.viewerState();
    var missed = spotMissWords();
    var name = describeState(state) + missed;
    if (name === viewerPage.canvas.getAttribute('aria-label')) {
      return;
    }
    viewerPage.canvas.setAttribute('aria-label', name);
    // Beside the lab, where a student who narrowed the cone looks for why the model went dark.
    document.getElementById('lab-spot').textContent = missed === '' ? ''
      : 'The spot misses the model: no corner lies inside its cone, the nearest one ' +
        missed.replace(/^; the spotlight misses the model by /, '') + ' outside it. Widen ' +
        'GL_SPOT_CUTOFF, or aim GL_SPOT_DIRECTION at the model (the second view shows the cone).';
    var keyOn = {1: state.model === 0, 2: state.model === 1, 3: state.model === 2,
                 4: state.model === 3, s: state.smoothShading, h: state.highlight,
                 w: state.polygonMode === 'wireframe', p: state.polygonMode === 'filled',
                 v: state.polygonMode === 'points'};
    document.querySelectorAll('#keys button[aria-pressed]').forEach(function (button) {
      button.setAttribute('aria-pressed', keyOn[button.dataset.key] ? 'true' : 'false');
    });
    if (describedState === null) {
      describedState = state;
      return;
    }
    clearTimeout(sayTimer);
    sayTimer = setTimeout(function () {
      var change = describeChange(describedState, state);
      if (change) {
        said.textContent = change.charAt(0).toUpperCase() + change.slice(1) + '.';
      }
      describedState = state;
    }, SAY_AFTER_MS);
  }

  return {show: showState};
})();

// The page's one way into the program, run inside orvane-viewer.js after the page's other scripts
// (em++ --pre-js): the orvane object, for the page's own parts, for the tests, and for anyone at
// the browser's console or on a teacher's own page. The program's side of each call is a function
// named orvane_... in the layer it belongs to.
//   orvane.probe(x, y)    the lighting probe at canvas pixel (x, y) (gl/probe/answer.cpp); with
//                         the picture lit per pixel open, the equation there too
//   orvane.setProbing(on) keeps frames for the probe (gl/probe/answer.cpp), and gives the
//                         canvas's presses to it (glut/glut.cpp)
//   orvane.lab            the lighting lab's numbers (lab/lab.js)
//   orvane.outside        the second view, the scene from outside (second/second.js)
//   orvane.perPixel       the second view, the picture lit per pixel (second/second.js)
//   orvane.show(steps)    gives the viewer keys, drags and lab numbers as a person would
//                         (page/steps.js), for the lessons' buttons
//   orvane.viewerState()  what the viewer shows, read from it (page/viewer_state.cpp)
//   orvane.redraw()       draws the frame again (glut/glut.cpp)
var orvane = globalThis['orvane'] = {
  'probe': function (x, y) {
    var perPixel = secondView.perPixelApi['isOpen']() ? 1 : 0;
    var answer = JSON.parse(UTF8ToString(Module['_orvane_probe'](x | 0, y | 0, perPixel)));
    if (answer && answer['error']) {
      throw new Error(answer['error']);
    }
    return answer;
  },
  'setProbing': function (on) {
    Module['_orvane_keep_frames_for_probe'](on ? 1 : 0);
    Module['_orvane_set_probing'](on ? 1 : 0);
  },
  'lab': lab.api,
  'outside': secondView.api,
  'perPixel': secondView.perPixelApi,
  // What could not be given is left out, named beside the lab, and given back.
  'show': function (steps) {
    var notes = givenSteps.give(String(steps));
    if (notes.length > 0) {
      labControls.tell('These steps could not be given, and were left out: ' + notes.join(' '));
    }
    return notes;
  },
  // Draws the frame again, for a part of the page that copies the picture as it is drawn.
  'redraw': function () {
    Module['_orvane_redraw']();
  },
  'viewerState': function () {
    return JSON.parse(UTF8ToString(Module['_orvane_viewer_state']()));
  },
};

// After each frame: the picture's name and the words for what changed (describe.js), the address,
// which links to the picture as it is (address.js), the lab's copy of the picture (preview.js), the
// names beside the second view's marks (second.js), and a picture someone asked to save (save.js).
viewerPage.listeners.frameDrawn.push(pictureWords.show, pageAddress.show, labPreview.copyPicture,
                                     secondView.followFrame, savedPicture.afterFrame);

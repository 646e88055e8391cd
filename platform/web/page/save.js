// "Save the picture", run inside orvane-viewer.js (em++ --pre-js): the picture as a PNG for a lab
// report, with the second view beside it while that is open, named for what it shows. Neither
// canvas keeps its picture between frames, so the copy is made in the animation frame that draws
// them.
var savedPicture = (function () {
  var button = document.getElementById('save-picture');
  var saidLine = document.getElementById('save-said');
  var wanted = false;
  var lastUrl = null;

  // orvane-MODEL-NORMALS-normals-highlight-ON/OFF-POLYGONS[-lab-changed][-and-SECOND].png, in
  // the words a link uses for the view; SECOND is what the second view shows, where it is open.
  function saveName(view, labChanged, second) {
    return ['orvane', view.model, view.normals + '-normals', 'highlight-' + view.highlight,
            view.polygons].concat(labChanged ? ['lab-changed'] : [],
                                  second ? ['and-' + second] : []).join('-') + '.png';
  }

  function saveNow() {
    var canvases = [viewerPage.canvas];
    var second = secondView.api['isOpen']() ? 'outside'
      : secondView.perPixelApi['isOpen']() ? 'per-pixel' : null;
    if (second) {
      canvases.push(document.getElementById('second-view'));
    }
    var sheet = document.createElement('canvas');
    sheet.width = canvases.reduce(function (sum, c) { return sum + c.width; }, 0);
    sheet.height = Math.max.apply(null, canvases.map(function (c) { return c.height; }));
    var drawing = sheet.getContext('2d');
    canvases.reduce(function (x, c) {
      drawing.drawImage(c, x, 0);
      return x + c.width;
    }, 0);
    var name = saveName(linkView.read(orvane.viewerState()), lab.changes().length > 0, second);
    sheet.toBlob(function (png) {
      // The address of the last file is kept until the next, so that its download is never cut
      // short.
      if (lastUrl !== null) {
        URL.revokeObjectURL(lastUrl);
      }
      lastUrl = URL.createObjectURL(png);
      var link = document.createElement('a');
      link.href = lastUrl;
      link.download = name;
      link.click();
      saidLine.textContent = 'Saved as ' + name + '.';
    }, 'image/png');
  }

  button.addEventListener('click', function () {
    wanted = true;
    orvane.redraw();
  });

  function saveAfterFrame() {
    if (wanted) {
      wanted = false;
      saveNow();
    }
  }

  return {name: saveName, afterFrame: saveAfterFrame};
})();

// The picture beside a number being edited, run inside orvane-viewer.js (em++ --pre-js). On a
// phone the lab lies far below the picture; while one of its numbers has the focus and the picture
// is out of sight, a small copy of it stands in the corner of the screen, drawn again with every
// frame, so that a student sees what the number does as it is typed or stepped.
var labPreview = (function () {
  var preview = document.getElementById('lab-preview');
  var labEditing = false;

  function labPictureInSight() {
    var box = viewerPage.canvas.getBoundingClientRect();
    return box.bottom > 0 && box.top < window.innerHeight;
  }

  // Shows the copy where it is wanted, asking for a frame to copy when it first shows: the canvas
  // keeps no picture between frames.
  function labPlacePreview() {
    var wanted = labEditing && !labPictureInSight();
    if (wanted && preview.hidden) {
      orvane.redraw();
    }
    preview.hidden = !wanted;
  }

  // After each frame, in the animation frame that drew it, while the picture is still there to
  // copy.
  function labCopyPicture() {
    if (!preview.hidden) {
      preview.getContext('2d').drawImage(viewerPage.canvas, 0, 0, preview.width, preview.height);
    }
  }

  document.getElementById('lab').addEventListener('focusin', function (event) {
    labEditing = event.target.classList.contains('lab-number');
    labPlacePreview();
  });
  document.getElementById('lab').addEventListener('focusout', function () {
    labEditing = false;
    labPlacePreview();
  });
  window.addEventListener('scroll', labPlacePreview, {passive: true});

  return {copyPicture: labCopyPicture};
})();

// The GLUT layer's window is the page's canvas, run inside orvane-viewer.js (em++ --pre-js).
var glutWindow = (function () {
  // Where a page position (a pointer's client coordinates) falls on the canvas, in canvas pixels
  // from its top left, with the fraction kept: the page may show the canvas at another size than
  // it has. Every input that lands on the picture (mouse, touch and pen, the probe's click) comes
  // through here.
  function pixelAt(clientX, clientY) {
    var canvas = document.querySelector('#canvas');
    var box = canvas.getBoundingClientRect();
    return {x: (clientX - box.left) * canvas.width / box.width,
            y: (clientY - box.top) * canvas.height / box.height};
  }

  return {pixelAt: pixelAt};
})();

// The lessons' buttons. Each shows its step in the viewer as a person would get there: it starts
// the viewer afresh, as reloading the page does, then gives it the step's keys, drags and lab
// numbers (orvane.show). So a button gives the same picture whatever the viewer showed before, and
// reaches it only through the viewer's own keys and mouse. The probe's switch stays as it was.
(function () {
  var PENDING = 'orvane-lesson-step';

  document.querySelectorAll('[data-try]').forEach(function (button) {
    button.addEventListener('click', function () {
      sessionStorage.setItem(PENDING, JSON.stringify(
        {name: button.dataset.name, steps: button.dataset.try, scroll: window.scrollY,
         probing: document.getElementById('probe-switch').checked}));
      // Afresh: without the lab's numbers, which the address holds.
      history.replaceState(history.state, '', location.pathname + location.search);
      location.reload();
    });
  });

  // What a button left for the page it reloads; anything else there (another page's, or a
  // browser's mangled copy) is no step.
  var pending = null;
  try {
    pending = JSON.parse(sessionStorage.getItem(PENDING) || 'null');
  } catch (error) {
    pending = null;
  }
  sessionStorage.removeItem(PENDING);
  if (!pending || typeof pending.steps !== 'string') {
    return;
  }
  // The viewer names its window once it has one; its callbacks are in place by the next frame.
  new MutationObserver(function (changes, observer) {
    observer.disconnect();
    requestAnimationFrame(function () {
      // The probe's switch stays as the student left it.
      var probeSwitch = document.getElementById('probe-switch');
      if (pending.probing === true && !probeSwitch.checked) {
        probeSwitch.click();
      }
      orvane.show(pending.steps);
      // Back where the reader was: the page has been laid out again, and the viewer's start has
      // moved the focus (and so the page) to the canvas.
      window.scrollTo(0, Number(pending.scroll) || 0);
      document.body.dataset.shown = pending.name;
    });
  }).observe(document.getElementById('title'), {childList: true, characterData: true,
                                                 subtree: true});
})();

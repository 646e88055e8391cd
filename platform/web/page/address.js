// The page's address, run inside orvane-viewer.js (em++ --pre-js): after its '#', pairs NAME=VALUE
// joined by '&', each part percent-escaped where it must be. A link travels through e-mail, chat
// and learning platforms, which mangle it, so each pair is read on its own: one that cannot be
// read is noted, and the pairs round it are still taken.

var pageAddress = (function () {
  // {pairs: [{name, text}], notes: ['...: why']} from a hash ('#A=1&B=2'); it never throws.
  function addressPairs(hash) {
    var pairs = [];
    var notes = [];
    hash.replace(/^#/, '').split('&').forEach(function (raw) {
      if (raw === '') {
        return;
      }
      var at = raw.indexOf('=');
      if (at <= 0) {
        notes.push(raw + ': not a name, "=" and a value.');
        return;
      }
      try {
        pairs.push({name: decodeURIComponent(raw.slice(0, at)),
                    text: decodeURIComponent(raw.slice(at + 1))});
      } catch (error) {
        notes.push(raw + ': a "%" that does not start a character, so it cannot be read.');
      }
    });
    return {pairs: pairs, notes: notes};
  }

  // The hash for pairs [[name, text], ...], each escaped as a link needs; '' for none.
  function addressHash(pairs) {
    return pairs.length === 0 ? '' : '#' + pairs.map(function (pair) {
      return encodeURIComponent(pair[0]) + '=' + encodeURIComponent(pair[1]).replace(/%2C/g, ',');
    }).join('&');
  }

  // The address for the picture as it is now: the view (view.js), then the lab's changes (lab.js).
  function addressNow() {
    return addressHash(linkView.pairs().concat(lab.pairs()));
  }

  // Kept up to date as the view and the lab change, so that the address is always a link to the
  // picture; replaced, so that the browser's history gains no entry a change.
  function showInAddress() {
    var hash = addressNow();
    if (hash !== location.hash) {
      history.replaceState(history.state, '', location.pathname + location.search + hash);
    }
  }

  function addressLink() {
    return location.href.replace(/#.*$/, '') + addressNow();
  }

  // Takes what the address asks for, once the program has started: the lab's numbers, then the
  // view, reached with the viewer's own keys and drags. Gives back notes on what it could not take.
  function takeAddress() {
    var read = addressPairs(location.hash);
    var notes = read.notes;
    var view = [];
    read.pairs.forEach(function (pair) {
      if (linkView.isPart(pair.name)) {
        view.push(pair);
        return;
      }
      try {
        lab.set(pair.name, lab.parse(pair.text));
      } catch (error) {
        notes.push(pair.name + '=' + pair.text + ': ' + error.message);
      }
    });
    notes = notes.concat(givenSteps.give(linkView.steps(view, notes)));
    showInAddress();
    return notes;
  }

  return {pairs: addressPairs, hash: addressHash, show: showInAddress, link: addressLink,
          take: takeAddress};
})();

// The page's address, run inside orvane-viewer.js (em++ --pre-js): after its '#', pairs NAME=VALUE
// joined by '&', each part percent-escaped where it must be. A link travels through e-mail, chat
// and learning platforms, which mangle it, so each pair is read on its own: one that cannot be
// read is noted, and the pairs round it are still taken.

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

#!/usr/bin/env bash
# Builds the viewer for web browsers and writes the static site to build-web/: index.html and
# orvane-viewer.js, which open from a folder on disk or from any static web server, the lessons
# beside the viewer in lessons.html, and all of it in a zip with a note on using it. Installs what
# is missing first. Emscripten's build tree, with the GL layer's test page, is build-web-obj/; a
# second run rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh web

# The lessons page's Markdown renderer, as its package-lock.json pins it, unless already there.
lessons=platform/web/lessons
if ! [ "$lessons/node_modules/.package-lock.json" -nt "$lessons/package-lock.json" ]; then
  npm ci --prefix "$lessons" --no-audit --no-fund >/dev/null
fi

emcmake cmake -S platform/web -B build-web-obj -DCMAKE_BUILD_TYPE=Release \
  -DORVANE_WEB_SITE="$PWD/build-web" -DORVANE_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build-web-obj --parallel 2

zip=$(ls build-web/orvane-viewer-*-web.zip)
echo "Site: $PWD/build-web ($(stat -c %s build-web/orvane-viewer.js) bytes of JavaScript with" \
  "the WebAssembly inside); to hand out: $PWD/$zip ($(stat -c %s "$zip") bytes)"

#!/usr/bin/env bash
# Installs the browser tests' npm packages into tests/web/node_modules exactly as
# package-lock.json pins them (puppeteer-core, without a browser of its own: the tests drive the
# system's Chromium), unless that install is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

installed=node_modules/.package-lock.json
if [ -f "$installed" ] && [ "$installed" -nt package-lock.json ] && [ "$installed" -nt package.json ]; then
  exit 0
fi
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund

#!/usr/bin/env bash
# Builds the Debian package with CPack into a scratch folder and checks that apt can install it:
# its control data names the libraries the viewer links against, it holds exactly the expected
# files under /usr, and apt finds every dependency on this machine.
# Usage: check_deb.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1
build=$2

source "$(dirname "$0")/../support/checks.sh"
require_tools dpkg-deb dpkg-shlibdeps apt-get

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  echo "FAIL: cpack could not build the package" >&2
  exit 1
fi
packages=("$out"/*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
  echo "FAIL: expected one package, found: ${packages[*]}" >&2
  exit 1
fi
deb=${packages[0]}

field() {
  dpkg-deb --field "$deb" "$1"
}

package=$(field Package)
[ "$package" = orvane-viewer ] || fail "Package is '$package'"
[ "$(basename "$deb")" = "${package}_$(field Version)_$(field Architecture).deb" ] ||
  fail "the file name $(basename "$deb") does not follow name_version_architecture.deb"
[[ $(field Maintainer) =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] ||
  fail "Maintainer is not 'Name <address>': '$(field Maintainer)'"
[ -n "$(field Description)" ] || fail "the package has no Description"

# Depends as bare names, alternatives included: "libglu1-mesa | libglu1, libc6 (>= 2.34)" gives
# libglu1-mesa, libglu1 and libc6.
depends=$(field Depends | tr ',|' '\n' | sed 's/(.*)//; s/^ *//; s/ *$//' | grep -v '^$' || true)
has() {
  grep -qxE "$1" <<<"$depends"
}
has 'libglut3\.12' || fail "Depends lacks GLUT (libglut3.12): '$(field Depends)'"
has 'libglu1-mesa|libglu1' || fail "Depends lacks GLU (libglu1-mesa): '$(field Depends)'"
has 'libgl1|libopengl0|libglx0' || fail "Depends lacks OpenGL (libgl1 or libopengl0): '$(field Depends)'"
has 'libc6' || fail "Depends lacks the C library (libc6): '$(field Depends)'"
has 'libstdc\+\+6' || fail "Depends lacks the C++ library (libstdc++6): '$(field Depends)'"

expected=(
  ./usr/bin/orvane-viewer
  ./usr/share/applications/orvane-viewer.desktop
  ./usr/share/icons/hicolor/128x128/apps/orvane-viewer.png
  ./usr/share/icons/hicolor/48x48/apps/orvane-viewer.png
  ./usr/share/man/man1/orvane-viewer.1.gz
)
contents=$(dpkg-deb --contents "$deb")
if ! difference=$(diff <(printf '%s\n' "${expected[@]}" | sort) <(awk '$1 !~ /^d/ { print $6 }' \
  <<<"$contents" | sort)); then
  fail "the package's files differ from the expected ones (< missing, > unexpected):"$'\n'"$difference"
fi
grep -qE '^-rwxr-xr-x root/root .* \./usr/bin/orvane-viewer$' <<<"$contents" ||
  fail "the binary is not an executable owned by root:"$'\n'"$contents"

# A simulation reads the package's dependencies against what this machine has or can fetch,
# without installing anything or needing root.
if ! report=$(apt-get install --simulate "$deb" 2>&1); then
  fail "apt cannot install the package:"$'\n'"$report"
fi

[ "$failures" -eq 0 ]

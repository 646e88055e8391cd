#!/usr/bin/env bash
# Cross-builds the viewer for 64-bit Windows with MinGW-w64: freeglut from Debian's source package
# as a static library, then the viewer linked statically against it, into
# build-windows/orvane-viewer.exe and a zip a student can unpack and run. Work already done is kept.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build-windows
toolchain=$root/platform/windows/mingw-w64-x86_64.cmake

scripts/setup.sh windows
mkdir -p "$out"

# freeglut's source, fetched with apt through a private list of source archives, so the system's
# apt configuration stays as it is. The archives are the ones the system installs from.
glut=$out/freeglut
fetch_freeglut() {
  local apt="$glut/apt"
  rm -rf "$apt" "$glut/source"
  mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$glut/source"
  : >"$apt/sources.list"
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >>"$apt/sources.list"
  fi
  for list in /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] && sed -n 's/^deb /deb-src /p' "$list" >"$apt/sources.list.d/${list##*/}"
  done
  for sources in /etc/apt/sources.list.d/*.sources; do
    [ -f "$sources" ] && sed 's/^Types:.*/Types: deb-src/' "$sources" >"$apt/sources.list.d/${sources##*/}"
  done
  local options=(-q -o "Dir::Etc::SourceList=$apt/sources.list"
    -o "Dir::Etc::SourceParts=$apt/sources.list.d" -o "Dir::State::Lists=$apt/lists")
  if ! (apt-get "${options[@]}" update && cd "$glut/source" && apt-get "${options[@]}" source freeglut) \
    >"$apt/fetch.log" 2>&1; then
    cat "$apt/fetch.log" >&2
    echo "build-windows: could not fetch freeglut's source with apt-get" >&2
    exit 1
  fi
}

unpacked() {
  find "$glut/source" -mindepth 2 -maxdepth 2 -name CMakeLists.txt -printf '%h\n' 2>/dev/null
}
if [ -z "$(unpacked)" ]; then
  echo "Fetching freeglut's source from Debian's source package" >&2
  fetch_freeglut
fi
source_dir=$(unpacked)

# Static, so the .exe needs no DLL beside it; warnings printing off, since under Wine freeglut
# would report on every start that it cannot open DISPLAY as a Windows display name.
glut_prefix=$glut/install
if [ ! -f "$glut_prefix/lib/libglut.a" ]; then
  echo "Building freeglut for Windows" >&2
  if ! (cmake -S "$source_dir" -B "$glut/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$glut_prefix" \
    -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_BUILD_DEMOS=OFF \
    -DFREEGLUT_REPLACE_GLUT=ON -DFREEGLUT_PRINT_WARNINGS=OFF &&
    cmake --build "$glut/build" --parallel --target install) >"$glut/build.log" 2>&1; then
    cat "$glut/build.log" >&2
    echo "build-windows: freeglut did not build" >&2
    exit 1
  fi
fi

cmake -S . -B "$out/viewer" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_FIND_ROOT_PATH="$glut_prefix" -DORVANE_BUILD_TESTS=OFF \
  -DORVANE_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$out/viewer" --parallel --target orvane-viewer >/dev/null
cp -p "$out/viewer/orvane-viewer.exe" "$out/orvane-viewer.exe"
(cd "$out/viewer" && cpack -G ZIP -B "$out/package" >/dev/null)
cp -p "$out"/package/orvane-viewer-*-windows-x64.zip "$out/"
echo "$out/orvane-viewer.exe"
ls "$out"/orvane-viewer-*-windows-x64.zip

#!/usr/bin/env bash
# Makes sure this machine has what one of the project's commands needs: building and running the
# viewer ("run"), every test ("test"), the picture gallery ("gallery"), the benchmarks ("bench"),
# the Windows program ("windows"), the web site ("web") or the lessons ("lessons").
#
# It looks for the things themselves (programs on PATH; the headers and libraries through the same
# find_package calls the build makes), so a machine that has them goes on without any package
# manager. What is missing is installed with apt-get, dnf, zypper or pacman, whichever this machine
# has: as root, through sudo otherwise, or the line to run is printed.
set -euo pipefail

# One need a row: its name | how it is found | what it is, in plain words | the packages that
# give it with apt-get | dnf | zypper | pacman ("-" where that manager has none).
# "program A B": any of the programs on PATH. "cmake VAR": a find_package of the probe below sets
# VAR. "library NAME": the dynamic linker knows NAME.
NEEDS=$(
  cat <<'EOF'
cmake     | program cmake          | CMake                                     | cmake         | cmake              | cmake            | cmake
make      | program make           | make                                      | make          | make               | make             | make
compiler  | program c++ g++        | a C++ compiler (g++)                      | g++           | gcc-c++            | gcc-c++          | gcc
gl        | cmake OPENGL_FOUND     | the OpenGL headers and library (GL/gl.h, libGL) | libgl-dev | mesa-libGL-devel | Mesa-libGL-devel | mesa
glu       | cmake OPENGL_GLU_FOUND | the GLU headers and library (GL/glu.h, libGLU) | libglu1-mesa-dev | mesa-libGLU-devel | glu-devel | glu
glut      | cmake GLUT_FOUND       | the GLUT headers and library (GL/glut.h, freeglut) | libglut-dev | freeglut-devel | freeglut-devel | freeglut
mesa      | library libGLX_mesa.so.0 | the Mesa OpenGL drivers (libGLX_mesa)   | libgl1-mesa-dri libglx-mesa0 | mesa-dri-drivers mesa-libGL | Mesa-dri Mesa-libGL1 | mesa
xvfb      | program Xvfb           | the virtual X server Xvfb                 | xvfb xauth    | xorg-x11-server-Xvfb | xorg-x11-server-Xvfb | xorg-server-xvfb
gtest     | cmake GTest_FOUND      | GoogleTest (gtest/gtest.h and its library) | libgtest-dev | gtest-devel        | gtest            | gtest
x11       | cmake X11_FOUND        | the Xlib headers and library (X11/Xlib.h, libX11) | libx11-dev | libX11-devel | libX11-devel    | libx11
xdotool   | program xdotool        | xdotool                                   | xdotool       | xdotool            | xdotool          | xdotool
xwd       | program xwd            | xwd, the X window dump program            | x11-apps      | xwd                | xwd              | xorg-xwd
desktop   | program desktop-file-validate | desktop-file-validate              | desktop-file-utils | desktop-file-utils | desktop-file-utils | desktop-file-utils
man       | program man            | man                                       | man-db        | man-db             | man              | man-db
groff     | program groff          | groff                                     | groff-base    | groff-base         | groff            | groff
file      | program file           | file                                      | file          | file               | file             | file
dpkg-dev  | program dpkg-shlibdeps | dpkg-deb and dpkg-shlibdeps, to build and check the Debian package | dpkg-dev | dpkg-dev | dpkg | dpkg
magick    | program convert        | ImageMagick (convert, import)             | imagemagick   | ImageMagick        | ImageMagick      | imagemagick
gnuplot   | program gnuplot        | gnuplot                                   | gnuplot-nox   | gnuplot            | gnuplot          | gnuplot
benchmark | cmake benchmark_FOUND  | Google Benchmark (benchmark/benchmark.h and its library) | libbenchmark-dev | google-benchmark-devel | google-benchmark-devel | benchmark
mingw     | program x86_64-w64-mingw32-g++-posix | the MinGW-w64 C++ cross compiler for 64-bit Windows, posix threads | g++-mingw-w64-x86-64-posix | - | - | -
debsource | program apt-get        | apt-get with Debian's source archives, for freeglut's source | - | - | - | -
dpkg-src  | program dpkg-source    | dpkg-source, to unpack Debian source packages | dpkg-dev   | -                  | -                | -
wine      | program wine           | Wine, to run the Windows program in the tests | wine wine64 | wine             | wine             | wine
emscripten | program em++         | Emscripten (em++)                         | emscripten    | emscripten         | emscripten       | emscripten
node      | program node           | Node.js                                   | nodejs        | nodejs             | nodejs           | nodejs
npm       | program npm            | npm                                       | npm           | npm                | npm              | npm
chromium  | program chromium chromium-browser | the Chromium web browser       | chromium      | chromium           | chromium         | chromium
firefox   | program firefox-esr firefox | the Firefox web browser            | firefox-esr   | firefox            | MozillaFirefox   | firefox
webkit    | program WebKitWebDriver | WebKitGTK's WebDriver and its MiniBrowser | webkit2gtk-driver | -          | -                | -
EOF
)

run_needs=(cmake make compiler gl glu glut mesa)
# The viewer runs on a virtual display when there is no real one.
[ -n "${DISPLAY:-}" ] || run_needs+=(xvfb)
windows_needs=(cmake make mingw debsource dpkg-src)
web_needs=(emscripten node npm)
test_needs=(cmake make compiler gl glu glut mesa xvfb gtest x11 xdotool xwd desktop man groff file
  dpkg-dev "${windows_needs[@]}" wine "${web_needs[@]}" npm chromium firefox webkit)

# --list prints the profile's needs, one a line, and installs nothing: the set-up test checks with
# it that the profiles its cases run are ones the test command itself installs.
list=''
if [ "${1:-}" = --list ]; then
  list=yes
  shift
fi
profile=${1:-run}
case "$profile" in
run) wanted=("${run_needs[@]}") ;;
test) wanted=("${test_needs[@]}") ;;
gallery) wanted=("${run_needs[@]}" xvfb xdotool xwd magick) ;;
bench) wanted=("${run_needs[@]}" xvfb benchmark gnuplot) ;;
windows) wanted=("${windows_needs[@]}") ;;
web) wanted=("${web_needs[@]}") ;;
lessons) wanted=("${run_needs[@]}" xvfb gtest gnuplot magick emscripten node npm chromium) ;;
*)
  echo "usage: $0 [--list] [run|test|gallery|bench|windows|web|lessons]" >&2
  exit 2
  ;;
esac
if [ -n "$list" ]; then
  printf '%s\n' "${wanted[@]}" | awk '!seen[$0]++'
  exit 0
fi

field() { # ROW N: the row's Nth field, without the spaces round it
  local value
  value=$(cut -d '|' -f "$2" <<<"$1")
  value=${value#"${value%%[![:space:]]*}"}
  echo "${value%"${value##*[![:space:]]}"}"
}

row() {
  grep -E "^$1 +\|" <<<"$NEEDS"
}

# Runs one configure that makes the project's own find_package calls and keeps the variables of
# those that succeeded. It needs CMake and a compiler; without them it finds nothing.
probed='' probe_found=''
probe() {
  local dir
  probed=yes
  command -v cmake >/dev/null && { command -v c++ >/dev/null || command -v g++ >/dev/null; } ||
    return 0
  dir=$(mktemp -d)
  cat >"$dir/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.16)
project(probe CXX)
find_package(OpenGL QUIET)
find_package(GLUT QUIET)
find_package(GTest QUIET)
find_package(X11 QUIET)
find_package(benchmark CONFIG QUIET)
foreach(found OPENGL_FOUND OPENGL_GLU_FOUND GLUT_FOUND GTest_FOUND X11_FOUND benchmark_FOUND)
  if(${found})
    message(NOTICE "found ${found}")
  endif()
endforeach()
EOF
  probe_found=$(cmake -S "$dir" -B "$dir/build" 2>&1 >/dev/null | sed -n 's/^found //p' || true)
  rm -rf "$dir"
}

has() { # NEED
  local how kind
  how=$(field "$(row "$1")" 2)
  kind=${how%% *}
  case "$kind" in
  program)
    for program in ${how#program }; do
      command -v "$program" >/dev/null && return 0
    done
    return 1
    ;;
  cmake)
    [ -n "$probed" ] || probe
    grep -qx "${how#cmake }" <<<"$probe_found"
    ;;
  # Read whole before searching: with pipefail, a grep that stops early would fail the pipe.
  library) grep -qF "${how#library } " <<<"$(ldconfig -p 2>/dev/null || /sbin/ldconfig -p)" ;;
  esac
}

missing_needs() {
  for need in "${wanted[@]}"; do
    has "$need" || echo "$need"
  done | awk '!seen[$0]++'
}

describe() { # NEEDS...
  local need
  for need in "$@"; do
    echo "  - $(field "$(row "$need")" 3)"
  done
}

mapfile -t missing < <(missing_needs)
[ ${#missing[@]} -eq 0 ] && exit 0

# The column of NEEDS that holds each manager's package names.
manager='' column=''
for candidate in apt-get:4 dnf:5 zypper:6 pacman:7; do
  if command -v "${candidate%:*}" >/dev/null; then
    manager=${candidate%:*} column=${candidate#*:}
    break
  fi
done
if [ -z "$manager" ]; then
  echo "setup: these are missing, and no package manager this script knows (apt-get, dnf, zypper," >&2
  echo "pacman) is here; install them by hand, then run this again:" >&2
  describe "${missing[@]}" >&2
  exit 1
fi

packages=()
unavailable=()
for need in "${missing[@]}"; do
  names=$(field "$(row "$need")" "$column")
  if [ "$names" = - ]; then
    unavailable+=("$need")
  else
    read -r -a names_array <<<"$names"
    packages+=("${names_array[@]}")
  fi
done
if [ ${#unavailable[@]} -gt 0 ]; then
  echo "setup: $manager has no package for these; install them by hand, then run this again:" >&2
  describe "${unavailable[@]}" >&2
  exit 1
fi

refresh=()
case "$manager" in
apt-get)
  refresh=(apt-get update -q)
  install=(apt-get install -y -q --no-install-recommends "${packages[@]}")
  ;;
dnf) install=(dnf install -y "${packages[@]}") ;;
zypper) install=(zypper --non-interactive install "${packages[@]}") ;;
pacman) install=(pacman -S --needed --noconfirm "${packages[@]}") ;;
esac

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "setup: these are missing:" >&2
  describe "${missing[@]}" >&2
  echo "Install them as root with: ${install[*]}" >&2
  exit 1
fi

echo "setup: installing with $manager: ${packages[*]}" >&2
if [ ${#refresh[@]} -gt 0 ]; then
  "${as_root[@]}" "${refresh[@]}"
fi
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive "${install[@]}"

mapfile -t still_missing < <(missing_needs)
if [ ${#still_missing[@]} -gt 0 ]; then
  echo "setup: $manager installed ${packages[*]}, but these are still missing:" >&2
  describe "${still_missing[@]}" >&2
  exit 1
fi

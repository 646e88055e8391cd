#!/usr/bin/env bash
# Runs the set-up script as it would run on distributions without dpkg and apt: on a PATH that
# mirrors this machine's programs minus dpkg, apt and whatever a case takes away, with a stand-in
# package manager that records its arguments and "installs" the program taken away.
# Usage: check_setup.sh SETUP_SCRIPT
set -euo pipefail
setup=$1

source "$(dirname "$0")/../support/checks.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# name | profile | program taken away | package manager on PATH | exit status | its arguments
# (once), or what the message must name
cases='
present, nothing to do       | run  | -       | -       | 0 | -
present, manager untouched   | web  | -       | dnf     | 0 | -
missing, dnf installs it     | web  | em++    | dnf     | 0 | install -y emscripten
missing, pacman installs it  | run  | Xvfb    | pacman  | 0 | -S --needed --noconfirm xorg-server-xvfb
missing, zypper installs it  | run  | Xvfb    | zypper  | 0 | --non-interactive install xorg-x11-server-Xvfb
missing, no manager          | run  | Xvfb    | -       | 1 | the virtual X server Xvfb
missing, not in dnf          | windows | x86_64-w64-mingw32-g++-posix | dnf | 1 | dnf has no package for these
'

# Whether a "present" case passes must not depend on what else happens to be on this machine: every
# profile a case runs may need only what the test command's own profile installs.
tested=$(bash "$setup" --list test | sort)
for profile in $(cut -s -d '|' -f 2 <<<"$cases" | sort -u); do
  beyond=$(comm -23 <(bash "$setup" --list "$profile" | sort) <(echo "$tested"))
  [ -z "$beyond" ] ||
    fail "profile '$profile' needs what the test profile does not install: $(echo $beyond)"
done

# This machine's programs, in PATH order, without dpkg and apt.
programs="$work/programs"
mkdir "$programs"
ln -s /usr/local/bin/* /usr/bin/* /usr/sbin/* "$programs" 2>/dev/null || true
rm -f "$programs"/{dpkg,dpkg-query,apt,apt-get}

while IFS='|' read -r name profile takeaway manager status expected; do
  [ -n "$name" ] || continue
  read -r name <<<"$name"
  read -r profile takeaway manager status <<<"$profile $takeaway $manager $status"
  expected=$(sed 's/^ *//; s/ *$//' <<<"$expected")

  bin="$work/$RANDOM"
  mkdir -p "$bin"
  [ "$takeaway" = - ] || mv "$programs/$takeaway" "$work/taken"
  log="$bin/manager.log"
  if [ "$manager" != - ]; then
    cat >"$bin/$manager" <<EOF
#!/bin/sh
echo "\$*" >>"$log"
[ ! -e "$work/taken" ] || cp -P "$work/taken" "$bin/$takeaway"
EOF
    chmod +x "$bin/$manager"
  fi

  actual=0
  output=$(env -i HOME="$HOME" PATH="$bin:$programs" bash "$setup" "$profile" 2>&1) || actual=$?
  [ "$takeaway" = - ] || mv "$work/taken" "$programs/$takeaway"
  calls=$(cat "$log" 2>/dev/null || true)
  [ "$actual" = "$status" ] || fail "$name: exit status $actual, not $status:"$'\n'"$output"
  grep -q 'command not found' <<<"$output" && fail "$name: a bare 'command not found':"$'\n'"$output"
  if [ "$status" != 0 ]; then
    grep -qF "$expected" <<<"$output" || fail "$name: the message does not name '$expected':"$'\n'"$output"
  elif [ "$expected" = - ]; then
    [ -z "$calls$output" ] || fail "$name: expected silence and no install, saw:"$'\n'"$output$calls"
  else
    [ "$calls" = "$expected" ] || fail "$name: $manager was called with '$calls', not once with '$expected'"
    grep -qF "installing with $manager: ${expected##* }" <<<"$output" ||
      fail "$name: no line saying what is installed with $manager:"$'\n'"$output"
  fi
done <<<"$cases"

[ "$failures" -eq 0 ]

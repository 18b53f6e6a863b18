#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs the Debian packages that building, running or testing Chromabox needs.
#   tools/install-deps.sh run    what building and starting the program needs
#   tools/install-deps.sh package  that, plus what making the Debian package needs
#   tools/install-deps.sh test   that, plus the test, fuzzing and benchmark tools
# Installs only what is missing, as root or through sudo, without asking questions.
set -eu

run_packages="cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libpng-dev fonts-dejavu-core fonts-liberation2 fonts-urw-base35"
test_packages="libgtest-dev libgmock-dev libbenchmark-dev clang-14 libclang-rt-14-dev xvfb openbox xdotool xclip \
imagemagick wmctrl x11-utils x11-apps libinih-dev libsimpleini-dev hyperfine weston desktop-file-utils appstream \
dpkg-dev file python3 xfce4-clipman time"

case "${1:-run}" in
  run) wanted=$run_packages ;;
  package) wanted="$run_packages dpkg-dev file" ;;
  test) wanted="$run_packages $test_packages" ;;
  *) echo "usage: $0 run|package|test" >&2; exit 2 ;;
esac

missing=""
for p in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *" installed") ;;
    *) missing="$missing $p" ;;
  esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then as_root=""; else as_root="sudo"; fi
echo "Installing:$missing"
$as_root apt-get update -q
# shellcheck disable=SC2086
$as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing

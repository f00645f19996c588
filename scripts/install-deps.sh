#!/bin/sh
# Installs, from Debian's packages, everything the build, the tests and the
# Windows cross build with its runs under Wine need, then the Wayland protocol
# descriptions that only Debian's wlroots source package holds.
set -eu
cd "$(dirname "$0")/.."

packages="cmake ninja-build g++ make python3 pkg-config dpkg-dev \
  libgtest-dev googletest libbenchmark-dev libstb-dev \
  mingw-w64 g++-mingw-w64-x86-64-posix \
  wine wine64 xvfb xauth x11-utils xdotool imagemagick \
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev libcanberra-dev \
  sway grim wtype weston kwin-wayland plasma-wayland-protocols python3-dbus dbus"

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
# Others may be installing on the same machine: wait for dpkg's lock instead of failing.
$sudo apt-get -o DPkg::Lock::Timeout=600 update
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends $packages
$sudo scripts/fetch-protocols.sh

#!/bin/sh
# Installs, from Debian's packages, everything the build, the tests and the
# Windows cross build with its runs under Wine need.
set -eu

packages="cmake ninja-build g++ make python3 \
  libgtest-dev googletest libbenchmark-dev libstb-dev \
  mingw-w64 g++-mingw-w64-x86-64-posix \
  wine wine64 xvfb xauth x11-utils xdotool imagemagick"

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $packages

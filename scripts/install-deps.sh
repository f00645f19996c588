#!/bin/sh
# Installs, from Debian's packages, what is missing of:
#   run      what scripts/run.sh needs to build and show the Linux program
#   windows  what scripts/run.sh --windows needs for the Windows program under Wine, and
#            its installer (nsis) with the reader of the shortcut it makes (liblnk-utils)
#   linux    what the Linux program's builds and tests need, nothing for Windows
#   all      (the default) everything the builds and every test need
# With nothing missing it changes nothing and needs no root. For the Linux program
# it then fetches the Wayland protocol descriptions that only Debian's wlroots
# source package holds (scripts/fetch-protocols.sh), unless they are here already.
set -eu

run="cmake ninja-build g++ pkg-config dpkg-dev libstb-dev \
  libx11-dev libxext-dev libxi-dev libxrandr-dev libcanberra-dev libcanberra-pulse sound-theme-freedesktop \
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev \
  xvfb xauth xdotool imagemagick"
windows="cmake ninja-build g++ make mingw-w64 g++-mingw-w64-x86-64-posix libstb-dev \
  wine wine64 xvfb xauth xdotool imagemagick nsis liblnk-utils"
tests="python3 libgtest-dev googletest libbenchmark-dev libstb-dev x11-utils x11-xserver-utils \
  pulseaudio pulseaudio-utils xcompmgr xbindkeys dpkg-dev \
  sway grim weston kwin-wayland python3-dbus dbus \
  mutter xwayland wev debootstrap desktop-file-utils appstream man-db lintian rpm rpmlint"

case "${1:-all}" in
run) wanted="$run" ;;
windows) wanted="$windows" ;;
linux) wanted="$run $tests" ;;
all) wanted="$run $windows $tests" ;;
*) echo "usage: $0 [run|windows|linux|all]" >&2; exit 2 ;;
esac

missing=""
for package in $wanted; do
    case " $missing " in *" $package "*) continue ;; esac
    if ! dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
        missing="$missing $package"
    fi
done
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    # Other installs may hold the dpkg lock for a while: wait for it rather than fail.
    $sudo apt-get -o DPkg::Lock::Timeout=600 update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends \
        $missing
fi
if [ "${1:-all}" != windows ]; then
    "$(dirname "$0")/fetch-protocols.sh"
fi

#!/bin/sh
# Installs what the tests need, builds everything (from nothing in a fresh clone) and
# runs every test: the native unit tests, the end-to-end runs of the Linux program on
# X11 and on Wayland (sway and KWin nested on Xvfb, headless Mutter), its packages, the same unit tests
# under the sanitizers, all of that again on Debian 13 in a debootstrap
# root (scripts/debian13.sh), the Windows build with its tests
# under Wine, its zip and its installer, and the end-to-end runs of the Windows program under Wine
# (the installed one among them).
set -eu
cd "$(dirname "$0")/.."

step() { printf '\n=== %s\n' "$*"; }

if [ "${ZIMBLET_SKIP_INSTALL:-0}" != 1 ]; then
    step "Installing packages"
    scripts/install-deps.sh
fi

step "The core includes only the C++ standard library; Xlib and Wayland only in their desktops"
# Standard C++ headers have neither a dot nor a slash in their names.
if grep -rnE '#include <[^>]*[./][^>]*>' src/world src/render src/interaction src/sound src/host; then
    echo "the core includes a header that is not the C++ standard library's" >&2; exit 1
fi
if grep -rlE '#include <X11/' src | grep -v '^src/app/x11/'; then
    echo "Xlib outside src/app/x11" >&2; exit 1
fi
if grep -rlE '#include [<"](wayland-|xkbcommon/)' src | grep -v '^src/app/wayland/'; then
    echo "Wayland outside src/app/wayland" >&2; exit 1
fi

step "Native build and unit tests"
cmake --preset linux
cmake --build --preset linux
ctest --preset linux -j2

step "End-to-end: the Linux program on X11 in Xvfb, on four kinds of display"
tests/e2e/run_e2e.py build/linux --desktop x11

step "End-to-end: the Linux program on Wayland compositors (sway and KWin nested on Xvfb, headless Mutter)"
tests/e2e/run_e2e.py build/linux --desktop wayland --repeat 3

step "The Linux packages: validators, lintian, rpmlint; the .deb installed, played from /usr and removed"
(cd build/linux && rm -f zimblet*.deb zimblet*.rpm && cpack -G "DEB;RPM")
tests/e2e/run_e2e.py build/linux --desktop packages

step "Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize -j2

step "The Linux program on Debian 13: builds, unit tests, sanitizers, X11 and Wayland end-to-end runs, packages"
scripts/debian13.sh

step "Windows build, its unit tests under Wine, the zip and the installer"
cmake --preset windows-mingw
cmake --build --preset windows-mingw
# The build ran the sound synthesiser under Wine: a test that starts while that
# prefix's wineserver is still going away can fail at once, so wait for it.
WINEPREFIX="$PWD/build/windows-mingw/wine-prefix" wineserver -w
ctest --preset windows-mingw
(cd build/windows-mingw && cpack -G ZIP && cpack -G NSIS64)
# Two separate builds must synthesise byte-identical sounds.
for sound in build/linux/Sounds/*.wav; do
    cmp "$sound" "build/windows-mingw/Sounds/$(basename "$sound")"
done

step "End-to-end: the Windows program under Wine, driven by real input"
tests/e2e/run_e2e.py build/windows-mingw --repeat 5

step "All tests passed"

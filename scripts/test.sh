#!/bin/sh
# Installs what the tests need, builds everything from scratch and runs every test:
# the native unit tests, the same tests under the sanitizers, the Windows build
# with its tests under Wine and its zip, and the end-to-end runs of the real
# programs: the Windows one under Wine in Xvfb, the Linux one on headless Wayland
# compositors.
set -eu
cd "$(dirname "$0")/.."

step() { printf '\n=== %s\n' "$*"; }

if [ "${ZIMBLET_SKIP_INSTALL:-0}" != 1 ]; then
    step "Installing packages"
    scripts/install-deps.sh
fi

step "Native build and unit tests"
cmake --preset linux
cmake --build --preset linux
ctest --preset linux -j2

step "Unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize -j2

step "Windows build, its unit tests under Wine, and the zip"
cmake --preset windows-mingw
cmake --build --preset windows-mingw
ctest --preset windows-mingw
(cd build/windows-mingw && cpack -G ZIP)
# Two separate builds must synthesise byte-identical sounds.
for sound in build/linux/Sounds/*.wav; do
    cmp "$sound" "build/windows-mingw/Sounds/$(basename "$sound")"
done

step "End-to-end: the Windows program under Wine, driven by real input"
tests/e2e/run_e2e.sh build/windows-mingw --repeat 5

step "End-to-end: the Linux program on headless Wayland compositors, driven by real input"
tests/e2e/run_e2e.sh build/linux --desktop wayland --repeat 3

step "All tests passed"

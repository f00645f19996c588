#!/bin/sh
# Measures what damage costs under headless sway (pixman): a typical drag step's
# dirty rectangles against the whole surface, at 1920x1080 and 3840x2160 (at scale 1
# and 2), and on two
# 3840x2160 outputs side by side (the picture spans both, the drag runs on one). The
# output runs at 1000 Hz so that frame callbacks wait for the work, not the clock.
# usage: bench/wayland_damage.sh [BUILD_DIR]   (default build/linux; run as root or a plain user)
set -eu
build=$(cd "${1:-build/linux}" && pwd)
work=$(mktemp -d)
chmod 755 "$work"  # sway's user must reach its runtime folder inside
trap 'kill "$sway" 2>/dev/null || true; rm -rf "$work"' EXIT
runtime="$work/runtime"
mkdir -m 700 "$runtime"
printf 'xwayland disable\ndefault_border none\n' >"$work/sway.conf"
as_user=""
if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$runtime"
    as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi
env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman $as_user sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway=$!  # setpriv becomes sway: the same process
for _ in $(seq 100); do [ -S "$runtime/wayland-1" ] && ls "$runtime"/sway-ipc.*.sock >/dev/null 2>&1 && break; sleep 0.1; done
export XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$(ls "$runtime"/sway-ipc.*.sock)"
for size in 1920x1080 3840x2160; do
    swaymsg -- output HEADLESS-1 mode --custom "${size}@1000Hz" >/dev/null
    "$build/bench/wayland_damage_timing" "$sway"
done
swaymsg -- output HEADLESS-1 scale 2 >/dev/null  # every logical pixel a 2x2 block of the 4K screen
"$build/bench/wayland_damage_timing" "$sway"
swaymsg -- output HEADLESS-1 scale 1 >/dev/null
swaymsg create_output >/dev/null
swaymsg -- output HEADLESS-1 position 0 0 >/dev/null
swaymsg -- output HEADLESS-2 mode --custom 3840x2160@1000Hz position 3840 0 >/dev/null
"$build/bench/wayland_damage_timing" "$sway"

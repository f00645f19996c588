#!/bin/sh
# Shows the toy. Installs the Debian packages it needs when they are missing,
# builds the Linux program and starts it on your desktop (Wayland with layer-shell
# when WAYLAND_DISPLAY is set, else the X11 display DISPLAY names). With
# no display it runs it under Xvfb instead, saves a screenshot, prints its path
# and ends the program with Escape.
#   scripts/run.sh            the Linux program, zimblet
#   scripts/run.sh --windows  the Windows program, zimblet.exe, under Wine
set -eu
cd "$(dirname "$0")/.."

case "${1:-}" in
"") mode=linux ;;
--windows) mode=windows ;;
*) echo "usage: $0 [--windows]" >&2; exit 2 ;;
esac

if [ "$mode" = linux ]; then
    scripts/install-deps.sh run
    # A build of its own, without the tests' and benchmarks' dependencies.
    cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DZIMBLET_BUILD_TESTS=OFF >/dev/null
    cmake --build build/run --target zimblet zimblet_sounds
    build="$PWD/build/run"
    program="$build/zimblet"
    screenshot="$build/zimblet-screenshot.png"
else
    scripts/install-deps.sh windows
    cmake --preset windows-mingw >/dev/null
    cmake --build --preset windows-mingw --target zimblet zimblet_sounds
    build="$PWD/build/windows-mingw"
    screenshot="$build/zimblet-screenshot.png"
fi
size="${ZIMBLET_DESKTOP_SIZE:-1280x800}"
export WINEPREFIX="$build/run-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Both programs find their Sounds folder in the current directory.
cd "$build"

# A Wine virtual desktop: the Windows program's low-level hooks then see all its input.
prepare_prefix() {
    if [ ! -f "$WINEPREFIX/zimblet-desktop-$size" ]; then
        echo "Preparing the Wine prefix $WINEPREFIX (once)"
        wineboot -i >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$size" /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/zimblet-desktop-$size"
    fi
}

start_program() {
    if [ "$mode" = linux ]; then
        "$program" "$@"
    else
        prepare_prefix
        wine zimblet.exe "$@"
    fi
}

if [ "$mode" = linux ] && [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Zimblet is on your desktop; hold a brick and press Escape (or Ctrl+C here) to end it."
    exec "$program"
fi
if [ -n "${DISPLAY:-}" ]; then
    if [ "$mode" = linux ]; then
        echo "Zimblet is on your desktop; press Escape to end it."
        exec "$program"
    fi
    prepare_prefix
    echo "Zimblet runs inside the Wine desktop window; press Escape there to end it."
    exec wine zimblet.exe
fi

Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp 3>"$build/run-display" 2>"$build/run-xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$build/run-display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$build/run-display")"
unset WAYLAND_DISPLAY

start_program 2>"$build/run-program.log" &
program_pid=$!

# The picture is up once the red bricks show.
shown=no
for _ in $(seq 120); do
    import -window root "$screenshot" 2>/dev/null || true
    red=$(convert "$screenshot" -fill black +opaque "#C4281B" -fill white -opaque "#C4281B" \
          -format "%[fx:round(mean*w*h)]" info: 2>/dev/null || echo 0)
    if [ "$red" -gt 500 ]; then shown=yes; break; fi
    kill -0 $program_pid 2>/dev/null || break
    sleep 0.5
done

xdotool mousemove 5 5 key Escape
status=0
for _ in $(seq 40); do kill -0 $program_pid 2>/dev/null || break; sleep 0.5; done
if kill -0 $program_pid 2>/dev/null; then
    kill $program_pid
    status=1
else
    wait $program_pid || status=$?
fi
[ "$mode" = windows ] && { wineserver -k 2>/dev/null || true; }

if [ "$shown" = yes ] && [ "$status" -eq 0 ]; then
    echo "Screenshot of Zimblet: $screenshot"
else
    echo "The bricks did not appear, or Escape did not end the program (exit $status); see $build/run-program.log." >&2
    echo "Last screenshot: $screenshot" >&2
    exit 1
fi

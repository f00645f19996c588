#!/bin/sh
# Shows the toy: cross-builds the Windows program and starts it under Wine in a
# Wine desktop window. With no display it runs it under Xvfb instead, saves a
# screenshot, names it, and ends the program with Escape.
set -eu
cd "$(dirname "$0")/.."

cmake --preset windows-mingw >/dev/null
cmake --build --preset windows-mingw --target zimblet zimblet_sounds

build="$PWD/build/windows-mingw"
size="${ZIMBLET_DESKTOP_SIZE:-1280x800}"
export WINEPREFIX="$build/run-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The program plays its sounds from the Sounds folder of the current directory.
cd "$build"

# A Wine virtual desktop: the program's low-level hooks then see all its input.
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

if [ -n "${DISPLAY:-}" ]; then
    prepare_prefix
    echo "Zimblet runs inside the Wine desktop window; press Escape there to end it."
    exec wine zimblet.exe
fi

screenshot="$build/zimblet-screenshot.png"
Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp 3>"$build/run-display" 2>"$build/run-xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$build/run-display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$build/run-display")"

prepare_prefix
wine zimblet.exe 2>/dev/null &
program=$!

# The picture is up once the red bricks show.
shown=no
for _ in $(seq 120); do
    import -window root "$screenshot" 2>/dev/null || true
    red=$(convert "$screenshot" -fill black +opaque "#C4281B" -fill white -opaque "#C4281B" \
          -format "%[fx:round(mean*w*h)]" info: 2>/dev/null || echo 0)
    if [ "$red" -gt 500 ]; then shown=yes; break; fi
    sleep 0.5
done

xdotool mousemove 5 5 key Escape
for _ in $(seq 40); do kill -0 $program 2>/dev/null || break; sleep 0.5; done
wineserver -k 2>/dev/null || true

if [ "$shown" = yes ]; then
    echo "Screenshot of Zimblet under Wine: $screenshot"
else
    echo "The bricks did not appear within a minute; last screenshot: $screenshot" >&2
    exit 1
fi

#!/usr/bin/python3
"""End-to-end run of the Linux program zimblet on X11 in Xvfb, on three kinds of display; see README.md.

usage: run_x11_e2e.py BUILD_DIR
"""

import argparse
import shutil
import signal
import subprocess
import sys
import time
from collections import namedtuple
from pathlib import Path

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))

from lib import x11  # noqa: E402
from lib.bench import AppLog, Bench, check, wait_until  # noqa: E402
from lib.plan import make_plan  # noqa: E402
from run_e2e import WIDTH, HEIGHT, DESKTOP_RGB, attempt, report, say  # noqa: E402

Setup = namedtuple("Setup", "program_exe replay_exe desktop_rgb app_log sounds_dir")
# One run of every scenario on one kind of display: the name of its rows and run folder, Xvfb's extra
# arguments, whether xcompmgr composites, whether the window beneath holds Escape without modifiers.
Display = namedtuple("Display", "tag folder xvfb_args compositor escape_held")
DISPLAYS = [
    Display("plain", "plain", [], False, False),
    # Without Composite Xvfb offers no 32-bit visual: the program falls back to the default one.
    Display("no Composite, default visual", "default-visual", ["-extension", "COMPOSITE"], False, False),
    # Without MIT-SHM pictures come by XPutImage; with Escape held by the window beneath only XInput2's raw
    # key events can tell the program of it.
    Display("xcompmgr, no MIT-SHM, Escape held elsewhere", "xcompmgr", ["-extension", "MIT-SHM"], True, True),
]


def build_underneath_app(work_dir):
    source, exe = Path(__file__).resolve().parent / "underneath_x11.cpp", work_dir / "underneath_x11"
    if not exe.exists() or exe.stat().st_mtime < source.stat().st_mtime:
        work_dir.mkdir(parents=True, exist_ok=True)
        subprocess.run(["g++", "-std=c++20", "-O2", "-Wall", "-Wextra", "-o", exe, source, "-lX11"], check=True)
    return exe


def run_once(build_dir, display, pulse, app_exe, rows):
    tag, compositor = display.tag, display.compositor
    run_dir = build_dir / "e2e-x11" / display.folder
    shutil.rmtree(run_dir, ignore_errors=True)
    lonely = run_dir / "lonely"  # the program alone, away from every Sounds folder
    lonely.mkdir(parents=True)
    shutil.copy2(build_dir / "zimblet", lonely / "zimblet")
    setup = Setup(build_dir / "zimblet", build_dir / "zimblet-replay", DESKTOP_RGB, AppLog(run_dir / "underneath.log"),
                  build_dir / "Sounds")

    bench = Bench(run_dir, run_dir, WIDTH, HEIGHT, display.xvfb_args)
    helpers, sessions = [], []
    try:
        helpers.append(subprocess.Popen([app_exe, setup.app_log.path, *map(str, DESKTOP_RGB),
                                         *(["grab-escape"] if display.escape_held else [])], env=bench.env(),
                                        stderr=subprocess.DEVNULL))
        ready = wait_until(lambda: next((l for l in setup.app_log.lines() if l.startswith("ready")), None), 30,
                           "the window beneath to show")
        check(ready == f"ready {WIDTH}x{HEIGHT}", f"the screen is not {WIDTH}x{HEIGHT}: '{ready}'")
        if compositor:
            helpers.append(subprocess.Popen(["xcompmgr"], env=bench.env(), stderr=subprocess.DEVNULL))
            wait_until(lambda: subprocess.run([app_exe, "--compositor"], env=bench.env(), capture_output=True,
                                              text=True).stdout.strip() not in ("", "0"), 10, "xcompmgr to take over")
        wait_until(lambda: bench.screenshot() == bytes(DESKTOP_RGB) * (WIDTH * HEIGHT), 30,
                   "the window beneath to cover the screen")

        main = x11.X11Session(bench, "main", build_dir, setup, pulse)
        sessions.append(main)
        world = main.expected()
        plan = make_plan(world.units, world.screen, WIDTH, HEIGHT, DESKTOP_RGB)

        def row(name, action):
            report(rows, f"[{tag}] {name}", attempt(action))
        row("1 start: the bricks over the window beneath", lambda: x11.start(main, plan))
        row("2 click-through: buttons and the wheel beside the bricks reach the window beneath",
            lambda: x11.click_through(main, plan))
        row("3 click on a brick: nothing moves, nothing reaches the window beneath",
            lambda: x11.click_on_brick(main, plan))
        row("4 drag and drop: fast moves, press and release kept", lambda: x11.scenarios.drag_and_drop(main, plan))
        row("5 snap and attach: silence, then the attach sound's samples", lambda: x11.snap_and_attach(main, plan))
        row("6 pull loose: right press, the detach sound's samples", lambda: x11.pull_loose(main, plan))
        row("7 on top: a window raised over the bricks goes under again", lambda: x11.stays_on_top(main, plan))
        row("8 keys: a key reaches the window beneath, Alt+Escape ends nothing, Escape ends with 0",
            lambda: x11.keys_then_escape(main, plan, escape_held_elsewhere=display.escape_held))
        main.stop()

        lone = x11.X11Session(bench, "lonely", lonely, setup._replace(program_exe=lonely / "zimblet"), pulse)
        sessions.append(lone)
        row("9 no sound file: the bell instead, and the program runs on", lambda: x11.bell_without_sound_file(lone, plan))
        row("10 display lost: the program ends within 5 s", lambda: x11.display_lost(lone, bench))
    finally:
        for process in [session.process for session in sessions] + helpers:
            if process.poll() is None:
                process.kill()
                process.wait()
        bench.stop()


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # still clean up Xvfb and PulseAudio
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=Path, help="the linux build directory")
    build_dir = parser.parse_args().build_dir.resolve()
    check((build_dir / "Sounds").is_dir(), f"no Sounds folder in {build_dir}")

    rows, began = [], time.monotonic()
    app_exe = build_underneath_app(build_dir / "e2e-x11")
    pulse = x11.Pulse(build_dir / "e2e-x11" / "pulse")
    try:
        report(rows, "start-up failures: each with its message and exit code 1",
               attempt(lambda: x11.start_failures(build_dir / "zimblet", build_dir / "e2e-x11")))
        for display in DISPLAYS:
            failure, seconds = attempt(lambda: run_once(build_dir, display, pulse, app_exe, rows))
            if failure:
                report(rows, "harness", (failure, seconds))
    finally:
        pulse.stop()
    say(f"{rows.count(True)} passed, {rows.count(False)} failed ({time.monotonic() - began:.0f} s)")
    return 1 if False in rows else 0


if __name__ == "__main__":
    sys.exit(main())

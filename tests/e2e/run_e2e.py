#!/usr/bin/python3
"""End-to-end runs of the real program: the Windows build under Wine in Xvfb, or the Linux build on
headless Wayland compositors; see README.md.

usage: run_e2e.py BUILD_DIR [--repeat N] [--desktop wine|wayland]
"""

import argparse
import shutil
import signal
import subprocess
import sys
import time
import traceback
from collections import namedtuple
from pathlib import Path

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))

from lib import scenarios  # noqa: E402
from lib.bench import AppLog, Bench, Failure, check, wait_until  # noqa: E402
from lib.plan import centre, make_plan  # noqa: E402
from lib.session import Session  # noqa: E402
from lib.wayland_run import run_kwin, run_sway  # noqa: E402

WIDTH, HEIGHT = 1024, 800     # the bricks are scattered over 1000 x 768 pixels
DESKTOP_RGB = (32, 96, 128)   # the colour of the application underneath
Setup = namedtuple("Setup", "program_exe replay_exe desktop_rgb app_log")


def say(line):
    print(line, flush=True)


def build_underneath_app(work_dir):
    source, exe = Path(__file__).resolve().parent / "underneath_app.cpp", work_dir / "underneath_app.exe"
    if not exe.exists() or exe.stat().st_mtime < source.stat().st_mtime:
        work_dir.mkdir(parents=True, exist_ok=True)
        subprocess.run(["x86_64-w64-mingw32-g++-posix", "-std=c++20", "-O2", "-Wall", "-Wextra", "-static", "-mwindows",
                        "-o", exe, source], check=True)
    return exe


def attempt(action):
    """Runs a check; returns its failure ("" if none) and its duration."""
    began = time.monotonic()
    try:
        action()
        failure = ""
    except Failure as error:
        failure = str(error)
    except Exception as error:  # a harness fault counts as the scenario's failure
        failure = f"{type(error).__name__}: {error}\n{traceback.format_exc()}"
    return failure, time.monotonic() - began


def report(rows, name, *attempts):
    failures = [failure for failure, _ in attempts if failure]
    rows.append(not failures)
    seconds = sum(duration for _, duration in attempts)
    say(f"{'FAIL' if failures else 'PASS'}  {name}  ({seconds:.1f} s){': ' if failures else ''}{'; '.join(failures)}")


def run_once(build_dir, rows):
    work_dir = build_dir / "e2e"
    run_dir = work_dir / "run"  # left behind: traces, the application's log, replay files, failed pictures
    shutil.rmtree(run_dir, ignore_errors=True)
    (run_dir / "no-sounds").mkdir(parents=True)  # a current directory without a Sounds folder
    app_exe = build_underneath_app(work_dir)
    check((build_dir / "Sounds").is_dir(), f"no Sounds folder in {build_dir}")
    setup = Setup(build_dir / "zimblet.exe", build_dir / "zimblet-replay.exe", DESKTOP_RGB,
                  AppLog(run_dir / "underneath.log"))

    bench = Bench(work_dir, run_dir, WIDTH, HEIGHT)
    sessions = []
    try:
        bench.ensure_prefix()
        bench.wine([app_exe, setup.app_log.path.name], run_dir, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
        ready = wait_until(lambda: next((l for l in setup.app_log.lines() if l.startswith("ready")), None), 60,
                           "the application underneath to start")
        check(ready == f"ready {WIDTH}x{HEIGHT}", f"the Wine desktop is not {WIDTH}x{HEIGHT}: '{ready}'")
        wait_until(lambda: bench.screenshot() == bytes(DESKTOP_RGB) * (WIDTH * HEIGHT), 30,
                   "the application to cover the desktop")

        main = Session(bench, "main", build_dir, setup)
        sessions.append(main)
        start_world = main.expected()
        plan = make_plan(start_world.units, start_world.screen, WIDTH, HEIGHT, DESKTOP_RGB)
        report(rows, "1 start: the bricks over the desktop", attempt(lambda: scenarios.start(main, plan)))
        report(rows, "2 click-through: clicks beside bricks and the wheel reach the application",
               attempt(lambda: scenarios.click_through(main, plan)))
        report(rows, "3 drag and drop: fast moves, press and release swallowed",
               attempt(lambda: scenarios.drag_and_drop(main, plan)))
        report(rows, "4 snap and attach: slow steps, one attach sound",
               attempt(lambda: scenarios.snap_and_attach(main, plan)))
        report(rows, "5 pull loose: right press, one detach sound", attempt(lambda: scenarios.pull_loose(main, plan)))
        escape_on_brick = attempt(lambda: scenarios.keys_then_escape(main, plan, centre(plan.target)))
        main.stop()  # only one program may cover the desktop

        quiet = Session(bench, "no-sounds", run_dir / "no-sounds", setup)
        sessions.append(quiet)
        report(rows, "6 no Sounds folder: the attach completes and the program runs on",
               attempt(lambda: scenarios.without_sounds_folder(quiet, plan)))
        report(rows, "7 keys: Escape ends with 0 (pointer on a brick, then on the desktop), Alt+Escape does not",
               escape_on_brick, attempt(lambda: scenarios.keys_then_escape(quiet, plan, plan.bare)))
    finally:
        for session in sessions:
            session.stop()
        bench.stop()


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # still clean up Xvfb and Wine
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=Path, help="the windows-mingw (wine) or linux (wayland) build directory")
    parser.add_argument("--desktop", choices=("wine", "wayland"), default="wine",
                        help="the Windows program under Wine, or the Linux program on sway and KWin")
    parser.add_argument("--repeat", type=int, default=1, help="run everything this many times in a row")
    args = parser.parse_args()

    rows, runs = [], []
    for number in range(1, args.repeat + 1):
        say(f"== end-to-end run {number} of {args.repeat} ==")
        began, failed_before = time.monotonic(), rows.count(False)
        if args.desktop == "wine":
            failure, _ = attempt(lambda: run_once(args.build_dir.resolve(), rows))
        else:
            for run_desktop in (run_sway, run_kwin):
                failure, _ = attempt(lambda: run_desktop(args.build_dir.resolve(), (WIDTH, HEIGHT), DESKTOP_RGB,
                                                         rows, report, attempt))
                if failure:
                    report(rows, f"harness ({run_desktop.__name__})", (failure, 0))
            failure = ""
        if failure:
            report(rows, "harness", (failure, 0))
        runs.append((time.monotonic() - began, rows.count(False) == failed_before))
        say(f"== run {number}: {runs[-1][0]:.0f} s, {'all passed' if runs[-1][1] else 'with failures'} ==")
    if args.repeat > 1:
        rows.append(all(ok for _, ok in runs))
        say(f"{'PASS' if rows[-1] else 'FAIL'}  8 stable: {sum(ok for _, ok in runs)} of {args.repeat} runs passed "
            f"({', '.join(f'{seconds:.0f} s' for seconds, _ in runs)})")
    say(f"{rows.count(True)} passed, {rows.count(False)} failed")
    return 1 if False in rows else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""End-to-end run of the Windows build under Wine in Xvfb.

Starts a screen and a Wine desktop of their own, puts a plain application on the
desktop, runs zimblet.exe over it and plays with the bricks through xdotool. The
program is judged by screenshots against the replay host's frames for the same
mouse events, by Wine's trace of the sounds it plays, by what the application
underneath receives, and by its exit code.

usage: run_e2e.py BUILD_DIR [--repeat N]
"""

import argparse
import shutil
import signal
import subprocess
import sys
import time
import traceback
from pathlib import Path

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))

from lib import scenarios  # noqa: E402
from lib.app_log import AppLog  # noqa: E402
from lib.images import Image, compare  # noqa: E402
from lib.plan import make_plan  # noqa: E402
from lib.replay import ReplayHost  # noqa: E402
from lib.session import Rig, ScenarioFailure, Session  # noqa: E402
from lib.waits import WaitTimeout, wait_until  # noqa: E402
from lib.wine_prefix import WinePrefix  # noqa: E402
from lib.xserver import XServer  # noqa: E402

WIDTH, HEIGHT = 1024, 800           # the bricks are scattered over 1000 x 768 pixels
DESKTOP_RGB = (32, 96, 128)         # the colour of the application underneath
HERE = Path(__file__).resolve().parent
MINGW_CXX = "x86_64-w64-mingw32-g++-posix"


def say(line):
    print(line, flush=True)


def build_underneath_app(out_dir):
    """Cross-builds the application underneath unless an up-to-date one is there."""
    source = HERE / "underneath_app.cpp"
    exe = out_dir / "underneath_app.exe"
    if not exe.exists() or exe.stat().st_mtime < source.stat().st_mtime:
        out_dir.mkdir(parents=True, exist_ok=True)
        subprocess.run([MINGW_CXX, "-std=c++20", "-O2", "-Wall", "-Wextra", "-static", "-mwindows",
                        "-o", str(exe), str(source)], check=True)
    return exe


class Results:
    def __init__(self):
        self.rows = []

    def run(self, name, action, earlier_seconds=0.0):
        began = time.monotonic()
        try:
            action()
            passed, detail = True, ""
        except (ScenarioFailure, WaitTimeout) as failure:
            passed, detail = False, str(failure)
        except Exception as error:  # a harness fault is reported as the scenario's failure
            passed, detail = False, f"{type(error).__name__}: {error}\n{traceback.format_exc()}"
        seconds = time.monotonic() - began + earlier_seconds
        self.rows.append((name, passed))
        say(f"{'PASS' if passed else 'FAIL'}  {name}  ({seconds:.1f} s){': ' + detail if detail else ''}")
        return passed

    def counts(self):
        passed = sum(1 for _, ok in self.rows if ok)
        return passed, len(self.rows) - passed


# Where the build puts its programs, first match wins; a packaging copy is never taken.
PROGRAM_PLACES = {
    "zimblet.exe": ["zimblet.exe", "bin/zimblet.exe", "src/app/win32/zimblet.exe"],
    "zimblet-replay.exe": ["zimblet-replay.exe", "bin/zimblet-replay.exe", "src/app/replay/zimblet-replay.exe"],
}


def find_built(build_dir, name):
    for place in PROGRAM_PLACES[name]:
        if (build_dir / place).is_file():
            return build_dir / place
    raise RuntimeError(f"no {name} in {build_dir} (looked at {', '.join(PROGRAM_PLACES[name])}): "
                       "build the windows-mingw preset first")


def run_once(build_dir, work_dir, results):
    program_exe = find_built(build_dir, "zimblet.exe")
    replay_exe = find_built(build_dir, "zimblet-replay.exe")
    # The program finds its sounds relative to its current directory: run it where they are.
    program_dir = program_exe.parent if (program_exe.parent / "Sounds").is_dir() else build_dir
    if not (program_dir / "Sounds").is_dir():
        raise RuntimeError(f"no Sounds folder beside {program_exe} or in {build_dir}")

    run_dir = work_dir / "run"
    shutil.rmtree(run_dir, ignore_errors=True)
    artifacts = run_dir / "artifacts"
    artifacts.mkdir(parents=True)
    quiet_dir = run_dir / "no-sounds"   # a current directory without a Sounds folder
    quiet_dir.mkdir()
    app_exe = build_underneath_app(work_dir)

    xserver = XServer(WIDTH, HEIGHT, artifacts / "xvfb.log")
    prefix = None
    sessions = []
    try:
        display = xserver.start()
        say(f"Xvfb on {display}, {WIDTH}x{HEIGHT}")
        prefix = WinePrefix(work_dir / "wineprefix", display, WIDTH, HEIGHT, say)
        prefix.ensure()

        replay = ReplayHost(prefix, replay_exe, run_dir / "replay", WIDTH, HEIGHT)
        began = time.monotonic()
        initial = replay.run([])
        plan = make_plan(initial.world, initial.frame, WIDTH, HEIGHT)
        say(f"replay host ready ({time.monotonic() - began:.1f} s); lone brick unit {plan.lone.index} at "
            f"({plan.lone.x},{plan.lone.y}), target unit {plan.target.index} at ({plan.target.x},{plan.target.y}), "
            f"{len(plan.beside)} points beside bricks")

        app_log = AppLog(run_dir / "underneath.log")
        prefix.start([app_exe, app_log.path.name], cwd=run_dir, stdout=subprocess.DEVNULL,
                           stderr=open(artifacts / "underneath-stderr.txt", "wb"))
        ready = wait_until(lambda: next((l for l in app_log.lines() if l.startswith("ready")), None), 60,
                           "the application underneath to start")
        if ready != f"ready {WIDTH}x{HEIGHT}":
            raise RuntimeError(f"the Wine desktop is not {WIDTH}x{HEIGHT}: the application says '{ready}'")
        bare = Image(WIDTH, HEIGHT, 3, bytes(DESKTOP_RGB) * (WIDTH * HEIGHT))
        wait_until(lambda: not compare(xserver.screenshot(), bare), 30, "the application to cover the desktop")

        rig = Rig(xserver, prefix, replay, app_log, DESKTOP_RGB, program_exe, artifacts, say)
        main = Session(rig, "main", program_dir)
        sessions.append(main)
        results.run("1 start: the bricks over the desktop", lambda: scenarios.start(main, plan))
        results.run("2 click-through: clicks beside bricks and the wheel reach the application",
                    lambda: scenarios.click_through(main, plan))
        results.run("3 drag and drop: fast moves, press and release swallowed",
                    lambda: scenarios.drag_and_drop(main, plan))
        results.run("4 snap and attach: slow steps, one attach sound", lambda: scenarios.snap_and_attach(main, plan))
        results.run("5 pull loose: right press, one detach sound", lambda: scenarios.pull_loose(main, plan))
        escape_checks = []
        escape_checks.append(_attempt(lambda: scenarios.keys_then_escape(
            main, plan, pointer=plan.target.centre())))
        main.stop()  # whatever happened, only one program may cover the desktop

        quiet = Session(rig, "no-sounds", quiet_dir)
        sessions.append(quiet)
        results.run("6 no Sounds folder: the attach completes and the program runs on",
                    lambda: scenarios.without_sounds_folder(quiet, plan))
        escape_checks.append(_attempt(lambda: scenarios.keys_then_escape(quiet, plan, pointer=plan.bare)))

        def escape_results():
            failures = [failure for failure, _ in escape_checks if failure]
            if failures:
                raise ScenarioFailure("; ".join(failures))
        results.run("7 keys: Escape ends with 0 (pointer on a brick, then on the desktop), Alt+Escape does not",
                    escape_results, earlier_seconds=sum(seconds for _, seconds in escape_checks))
    finally:
        for session in sessions:
            session.stop()
        if prefix is not None:
            prefix.kill_server()
        xserver.stop()


def _attempt(action):
    """Runs a check now and keeps its failure, if any, and its duration for a later report."""
    began = time.monotonic()
    try:
        action()
        failure = ""
    except (ScenarioFailure, WaitTimeout) as error:
        failure = str(error)
    except Exception as error:
        failure = f"{type(error).__name__}: {error}"
    return failure, time.monotonic() - began


def main():
    # A terminated run still stops its Xvfb and its Wine processes on the way out.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=Path, help="the windows-mingw build directory")
    parser.add_argument("--repeat", type=int, default=1, help="run everything this many times in a row")
    args = parser.parse_args()
    build_dir = args.build_dir.resolve()
    work_dir = build_dir / "e2e"

    results = Results()
    run_durations = []
    for number in range(1, args.repeat + 1):
        say(f"== end-to-end run {number} of {args.repeat} ==")
        began = time.monotonic()
        failed_before = results.counts()[1]
        try:
            run_once(build_dir, work_dir, results)
        except Exception as error:
            results.rows.append(("harness", False))
            say(f"FAIL  harness: {type(error).__name__}: {error}")
            traceback.print_exc()
        seconds = time.monotonic() - began
        run_durations.append((seconds, results.counts()[1] == failed_before))
        say(f"== run {number}: {seconds:.0f} s, {'all passed' if run_durations[-1][1] else 'with failures'} ==")
    if args.repeat > 1:
        stable = all(ok for _, ok in run_durations)
        results.rows.append(("8 stable", stable))
        say(f"{'PASS' if stable else 'FAIL'}  8 stable: {sum(ok for _, ok in run_durations)} of {args.repeat} runs "
            f"passed ({', '.join(f'{s:.0f} s' for s, _ in run_durations)})")
    passed, failed = results.counts()
    say(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

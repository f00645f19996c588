#!/usr/bin/python3
"""End-to-end runs of the real program: the Windows build under Wine in Xvfb, the Linux build on X11 in Xvfb,
or the Linux build on headless Wayland compositors; see README.md.

usage: tests/e2e/run_e2e.py BUILD_DIR [--desktop wine|x11|wayland] [--repeat N] [--stop-on-failure]
"""

import argparse
import signal
import sys
import time
import traceback
from pathlib import Path

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))

from lib.bench import Failure  # noqa: E402
from lib.desktops import DESKTOPS  # noqa: E402


def say(line):
    print(line, flush=True)


class Rows:
    """The PASS and FAIL rows of a run; a row judges one or more attempts."""

    def __init__(self, stop_on_failure=False):
        self.passed, self.stop_on_failure, self.run = [], stop_on_failure, 1  # run: which of a --repeat

    @staticmethod
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

    def report(self, name, *attempts):
        failures = [failure for failure, _ in attempts if failure]
        self.passed.append(not failures)
        seconds = sum(duration for _, duration in attempts)
        say(f"{'FAIL' if failures else 'PASS'}  {name}  ({seconds:.1f} s){': ' if failures else ''}{'; '.join(failures)}")
        if failures and self.stop_on_failure:
            sys.exit(1)  # through every clean-up on the way out

    def row(self, name, *actions):
        self.report(name, *map(self.attempt, actions))

    def harness(self, name, action):
        """Runs a whole round; a fault of its own that no row caught is a row of its own."""
        failure, seconds = self.attempt(action)
        if failure:
            self.report(f"harness ({name})", (failure, seconds))


def main():
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))  # still clean up Xvfb, Wine, the compositors
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir", type=Path, help="the windows-mingw (wine) or linux (x11, wayland) build directory")
    parser.add_argument("--desktop", choices=DESKTOPS, default="wine",
                        help="the Windows program under Wine, or the Linux program on X11 or on sway and KWin")
    parser.add_argument("--repeat", type=int, default=1, help="run everything this many times in a row")
    parser.add_argument("--stop-on-failure", action="store_true", help="end at the first failed row")
    args = parser.parse_args()

    rows, runs = Rows(args.stop_on_failure), []
    for number in range(1, args.repeat + 1):
        say(f"== end-to-end run {number} of {args.repeat} ==")
        began, failed_before, rows.run = time.monotonic(), rows.passed.count(False), number
        rows.harness(args.desktop, lambda: DESKTOPS[args.desktop](args.build_dir.resolve(), rows))
        runs.append((time.monotonic() - began, rows.passed.count(False) == failed_before))
        say(f"== run {number}: {runs[-1][0]:.0f} s, {'all passed' if runs[-1][1] else 'with failures'} ==")
    if args.repeat > 1:
        passed = sum(ok for _, ok in runs)
        rows.report(f"stable: {passed} of {args.repeat} runs passed ({', '.join(f'{s:.0f} s' for s, _ in runs)})",
                    ("" if passed == args.repeat else "not every run passed", 0))
    say(f"{rows.passed.count(True)} passed, {rows.passed.count(False)} failed")
    return 1 if False in rows.passed else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Drives the zimblet-replay program from outside, as the end-to-end tools do."""

import os
import subprocess
import sys
import tempfile
import unittest

REPLAY = None  # path to the program, from the command line
FIELDS = "index colour x y drawX drawY left right above below pendingAbove pendingBelow".split()


def run(args, script=""):
    return subprocess.run([REPLAY, *args], input=script, capture_output=True, text=True, timeout=60)


def read_state(path):
    with open(path) as f:
        header, *lines = f.read().splitlines()
    units = [dict(zip(FIELDS, line.split())) for line in lines]
    for unit in units:
        unit.update({name: int(value) for name, value in unit.items() if name != "colour"})
    return header.split(), units


class ReplayCommandLine(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def test_drag_in_slow_steps_snaps_then_attaches_with_a_sound(self):
        self.assertEqual(run(["--state", self.path("start.txt")]).returncode, 0)
        header, units = read_state(self.path("start.txt"))
        self.assertEqual(header, ["state", "Idle", "grabbed", "-1", "snapHeld", "-1", "snapTarget", "-1"])
        for unit in units:
            self.assertRegex(unit["colour"], r"^[0-9a-f]{6}$")
        held = next(u for u in units if u["left"] == -1 and u["right"] == -1)
        # A target whose resting place, and the approach to it, are clear of every other unit.
        def clear(x, y):
            return all(abs(u["x"] - x) > 15 or abs(u["y"] - y) > 18 for u in units if u is not held)
        target = next(t for t in units if t is not held and t["y"] >= 60
                      and all(clear(t["x"] + dx, t["y"] - 25) for dx in (0, 4, 8)))
        tx, ty = target["x"], target["y"] - 25
        script = f"# pick up a lone brick\nleft-down {held['x'] + 3} {held['y'] + 3}\n" + "".join(
            f"move {tx + dx} {ty}\n" for dx in (8, 4, 0)) + f"left-up {tx} {ty}\n"
        frame = self.path("frame.png")
        result = run(["--size", "1024x800", "--frame", frame, "--state", self.path("end.txt")], script)
        self.assertEqual(result.returncode, 0, result.stderr)
        lines = result.stdout.splitlines()
        self.assertEqual(lines[0], f"2: left-down {held['x'] + 3} {held['y'] + 3} -> swallow Holding")
        self.assertEqual(lines[1], f"3: move {tx + 8} {ty} -> deliver Holding")
        self.assertEqual(lines[3], f"5: move {tx} {ty} -> deliver Snapped")
        self.assertEqual(lines[4], f"6: left-up {tx} {ty} -> swallow Idle")
        self.assertRegex(lines[5], r"^  sound Sounds\\attach[0-3]\.wav$")
        self.assertEqual(len(lines), 6)

        header, after = read_state(self.path("end.txt"))
        self.assertEqual(header[:4], ["state", "Idle", "grabbed", str(held["index"])])
        partner = after[after[held["index"]]["below"]]
        self.assertEqual((partner["above"], header[7]), (held["index"], str(partner["index"])))
        with open(frame, "rb") as f:
            png = f.read(24)
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual((int.from_bytes(png[16:20], "big"), int.from_bytes(png[20:24], "big")), (1024, 800))

    def test_escape_is_swallowed_and_ends_the_script(self):
        result = run([], "move 5 5\nescape\nthis is not an event\n")
        self.assertEqual((result.returncode, result.stderr), (0, ""))
        self.assertEqual(result.stdout, "1: move 5 5 -> chain Idle\n2: escape -> swallow Idle\n")

    def test_malformed_script_fails_naming_the_line_and_writes_nothing(self):
        frame, state = self.path("bad.png"), self.path("bad.txt")
        result = run(["--frame", frame, "--state", state], "move 1 1\n# note\nmove 1\n")
        self.assertEqual((result.returncode, result.stdout, result.stderr),
                         (2, "", "zimblet-replay: line 3: malformed event: move 1\n"))
        self.assertFalse(os.path.exists(frame) or os.path.exists(state))

    def test_bad_arguments_exit_2_naming_the_argument(self):
        second = self.path("second.script")  # a script that could be read: only one may be given
        open(second, "w").close()
        frame = self.path("never.png")
        for args, named in [(["--size", "12", "--frame", frame], "12"), (["--bogus", "--frame", frame], "--bogus"),
                            (["--frame", frame, "--state"], "--state"), (["-", second, "--frame", frame], second)]:
            with self.subTest(args=args):
                result = run(args)
                self.assertEqual(result.returncode, 2)
                self.assertIn(named, result.stderr.splitlines()[0])
                self.assertFalse(os.path.exists(frame))

    def test_output_that_cannot_be_written_exits_1_naming_it(self):
        for option in ("--state", "--frame"):
            with self.subTest(option=option):
                result = run([option, self.path(f"no-such-folder/{option[2:]}")], "move 1 1\n")
                self.assertEqual(result.returncode, 1)
                self.assertIn(f"cannot write {option[2:]} '{self.path('no-such-folder')}", result.stderr)


if __name__ == "__main__":
    REPLAY = sys.argv.pop(1)
    unittest.main(verbosity=2)

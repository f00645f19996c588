#!/usr/bin/env python3
"""Drives the zimblet-replay program from outside, as the end-to-end tools do."""

import os
import subprocess
import sys
import tempfile
import unittest

REPLAY = None  # path to the program, from the command line


def run(args, script=None):
    return subprocess.run([REPLAY, *args], input=script, capture_output=True, text=True, timeout=60)


def read_state(path):
    with open(path) as f:
        header, *units = f.read().splitlines()
    parsed = []
    for line in units:
        fields = line.split()
        parsed.append({
            "index": int(fields[0]), "colour": fields[1],
            "x": int(fields[2]), "y": int(fields[3]), "drawX": int(fields[4]), "drawY": int(fields[5]),
            "left": int(fields[6]), "right": int(fields[7]), "above": int(fields[8]), "below": int(fields[9]),
            "pendingAbove": int(fields[10]), "pendingBelow": int(fields[11]),
        })
    return header.split(), parsed


def clear_of(units, x, y, skip):
    return all(abs(u["x"] - x) > 15 or abs(u["y"] - y) > 18 for u in units if u["index"] != skip)


class ReplayCommandLine(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def start_state(self):
        result = run(["--state", self.path("start.txt")], "")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, "")
        return read_state(self.path("start.txt"))

    def test_start_state_lists_the_created_world(self):
        header, units = self.start_state()
        self.assertEqual(header, ["state", "Idle", "grabbed", "-1", "snapHeld", "-1", "snapTarget", "-1"])
        self.assertTrue(100 <= len(units) <= 400)
        for unit in units:
            self.assertRegex(unit["colour"], r"^[0-9a-f]{6}$")
            self.assertEqual((unit["x"], unit["y"]), (unit["drawX"], unit["drawY"]))
            self.assertEqual([unit["above"], unit["below"], unit["pendingAbove"], unit["pendingBelow"]], [-1] * 4)

    def test_drag_in_slow_steps_snaps_then_attaches_with_a_sound(self):
        _, units = self.start_state()
        held = next(u for u in units if u["left"] == -1 and u["right"] == -1)
        # A target whose resting place, and the approach to it, are clear of every other unit.
        target = next(t for t in units if t["index"] != held["index"] and t["y"] >= 60
                      and all(clear_of(units, t["x"] + dx, t["y"] - 25, held["index"]) for dx in (0, 4, 8)))
        tx, ty = target["x"], target["y"] - 25
        script = "\n".join([
            "# pick up a lone brick and bring it over the target",
            f"left-down {held['x'] + 3} {held['y'] + 3}",
            f"move {tx + 8} {ty}",
            f"move {tx + 4} {ty}",
            f"move {tx} {ty}",
            f"left-up {tx} {ty}",
        ]) + "\n"
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
        moved = after[held["index"]]
        partner = after[moved["below"]]
        self.assertEqual(partner["above"], held["index"])
        self.assertEqual(header[7], str(partner["index"]))
        self.assertEqual((moved["x"], moved["y"]), (partner["x"], partner["y"] - 18))
        self.assertEqual((moved["drawX"], moved["drawY"]), (moved["x"], moved["y"]))

        with open(frame, "rb") as f:
            png = f.read(24)
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(int.from_bytes(png[16:20], "big"), 1024)
        self.assertEqual(int.from_bytes(png[20:24], "big"), 800)

    def test_escape_is_swallowed_and_ends_the_script(self):
        result = run([], "move 5 5\nescape\nthis is not an event\n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, "1: move 5 5 -> chain Idle\n2: escape -> swallow Idle\n")

    def test_malformed_script_fails_without_output(self):  # which lines are malformed: replay_script_test
        frame, state = self.path("bad.png"), self.path("bad.txt")
        result = run(["--frame", frame, "--state", state], "move 1 1\n# note\nmove 1\n")
        self.assertEqual(result.returncode, 2)
        self.assertEqual(result.stdout, "")
        self.assertIn("line 3", result.stderr)
        self.assertIn("move 1", result.stderr)
        self.assertEqual(len(result.stderr.strip().splitlines()), 1)
        self.assertFalse(os.path.exists(frame) or os.path.exists(state))

    def test_bad_arguments_exit_2_naming_the_argument(self):
        second = self.path("second.script")  # a script that could be read: only one may be given
        open(second, "w").close()
        for args, named in [(["--size", "12"], "12"), (["--bogus"], "--bogus"), (["--state"], "--state"),
                            (["-", second], second)]:
            with self.subTest(args=args):
                frame = self.path("never.png")
                result = run([*args, "--frame", frame] if args[0] != "--state" else ["--frame", frame, *args], "")
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

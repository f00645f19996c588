"""The expected side: the replay host, run the way the program runs (under Wine for the Windows build,
natively for the Linux one) so that it draws the same rand() as the program."""

import subprocess
from collections import namedtuple

from .bench import CONVERT, check

Unit = namedtuple("Unit", "index x y left right above below")  # covers (x, y) to (x + 15, y + 18)
Expected = namedtuple("Expected", "screen units sounds")  # RGB bytes; Units in World order; sounds per event


def expected_screen(frame_png, desktop_rgb):
    """The frame over the desktop colour: opaque pixels as drawn, transparent ones the desktop."""
    return subprocess.run([CONVERT, frame_png, "-background", "rgb(%d,%d,%d)" % desktop_rgb, "-flatten",
                           "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout


def parse_units(state_text):
    """`state ...` then one line per unit: index colour x y drawX drawY left right above below ..."""
    units = []
    for line in state_text.splitlines()[1:]:
        fields = line.split()
        if fields:
            units.append(Unit(*(int(fields[i]) for i in (0, 2, 3, 6, 7, 8, 9))))
    return units


def replay(bench, exe, workdir, events, desktop_rgb, native=False):
    """Replays the script lines from a fresh start of the world."""
    workdir.mkdir(parents=True, exist_ok=True)
    (workdir / "events.script").write_text("".join(f"{line}\n" for line in events))
    args = [exe, "--size", f"{bench.width}x{bench.height}", "--frame", "frame.png", "--state", "state.txt",
            "events.script"]
    streams = dict(stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    done = subprocess.Popen(args, cwd=workdir, **streams) if native else bench.wine(args, workdir, **streams)
    out, err = done.communicate(timeout=120)
    check(done.returncode == 0, f"replay host failed with {done.returncode}: {err.decode(errors='replace')[-800:]}")
    sounds = []  # "N: EVENT -> ANSWER STATE", each followed by "  sound NAME" per sound it started
    for line in out.decode().splitlines():
        if line.startswith("  sound "):
            sounds[-1].append(line.split()[1])
        elif line.strip():
            sounds.append([])
    check(len(sounds) == len(events), f"replay host reported {len(sounds)} events for {len(events)}")
    return Expected(expected_screen(workdir / "frame.png", desktop_rgb),
                    parse_units((workdir / "state.txt").read_text()), sounds)

"""The expected side: the replay host, run under Wine so that it draws the same rand() as the program."""

import re
from dataclasses import dataclass
from pathlib import Path

from .images import load_png_rgba
from .world_state import parse_state

REPORT_LINE = re.compile(r"^(\d+): (.+) -> (swallow|deliver|chain) (Idle|Holding|Snapped)$")
SOUND_LINE = re.compile(r"^  sound (\S+)$")


@dataclass
class Outcome:
    """What the replay host says one event did."""
    event: str
    answer: str
    state: str
    sounds: list


@dataclass
class ReplayResult:
    frame: object   # RGBA image
    world: object   # WorldState
    outcomes: list  # one Outcome per event

    def sounds(self):
        return [sound for outcome in self.outcomes for sound in outcome.sounds]


def parse_report(text):
    outcomes = []
    for line in text.splitlines():
        event = REPORT_LINE.match(line)
        if event:
            outcomes.append(Outcome(event.group(2), event.group(3), event.group(4), []))
            continue
        sound = SOUND_LINE.match(line)
        if sound and outcomes:
            outcomes[-1].sounds.append(sound.group(1))
        elif line.strip():
            raise ValueError(f"unexpected replay output line: {line!r}")
    return outcomes


class ReplayHost:
    def __init__(self, prefix, exe, workdir, width, height):
        self.prefix = prefix
        self.exe = Path(exe)
        self.workdir = Path(workdir)
        self.size = f"{width}x{height}"
        self.runs = 0

    def run(self, events):
        """Replays a list of script lines from a fresh start of the world."""
        self.workdir.mkdir(parents=True, exist_ok=True)
        self.runs += 1
        script = self.workdir / "events.script"
        frame = self.workdir / "frame.png"
        state = self.workdir / "state.txt"
        for old in (frame, state):
            old.unlink(missing_ok=True)
        script.write_text("".join(f"{line}\n" for line in events))
        done = self.prefix.run([self.exe, "--size", self.size, "--frame", frame.name, "--state", state.name,
                                script.name], cwd=self.workdir, timeout=120)
        if done.returncode != 0:
            raise RuntimeError(f"replay host failed with {done.returncode}: "
                               f"{done.stderr.decode(errors='replace').strip()[-800:]}")
        outcomes = parse_report(done.stdout.decode(errors="replace").replace("\r\n", "\n"))
        if len(outcomes) != len(events):
            raise RuntimeError(f"replay host reported {len(outcomes)} events for a script of {len(events)}")
        return ReplayResult(load_png_rgba(frame), parse_state(state.read_text()), outcomes)

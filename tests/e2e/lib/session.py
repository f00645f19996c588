"""One start of the program, driven as a user would; every mouse event is kept as a replay line, and the replay
host, run the way the program runs (under Wine for the Windows build, natively for the Linux one) so that it
draws the same rand(), gives what the screen must show."""

import subprocess
from collections import namedtuple

from .bench import CONVERT, Failure, check, wait_until

Unit = namedtuple("Unit", "index x y left right above below")  # covers (x, y) to (x + 15, y + 18)
Expected = namedtuple("Expected", "screen units sounds")  # RGB bytes; Units in World order; sounds per event


def expected_screen(frame_png, bench):
    """The frame over the bench's background, the screen before the program started (the frame's pixels are
    fully opaque or fully transparent), each of its pixels a block of the screen's scale."""
    return subprocess.run([CONVERT, "-size", "%dx%d" % bench.device_size(), "-depth", "8", "rgb:-", "(", frame_png,
                           "-scale", f"{100 * bench.scale}%", ")", "-composite", "-depth", "8", "rgb:-"],
                          input=bench.background, check=True, capture_output=True).stdout


def parse_units(state_text):
    """`state ...` then one line per unit: index colour x y drawX drawY left right above below ..."""
    units = []
    for line in state_text.splitlines()[1:]:
        fields = line.split()
        if fields:
            units.append(Unit(*(int(fields[i]) for i in (0, 2, 3, 6, 7, 8, 9))))
    return units


def replay(bench, workdir, events):
    """Replays the script lines from a fresh start of the world."""
    workdir.mkdir(parents=True, exist_ok=True)
    (workdir / "events.script").write_text("".join(f"{line}\n" for line in events))
    args = [bench.replay_exe, "--size", f"{bench.width}x{bench.height}", "--origin", "%d,%d" % bench.origin, "--frame",
            "frame.png", "--state", "state.txt", "events.script"]
    streams = dict(stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    done = subprocess.Popen(args, cwd=workdir, **streams) if bench.native else bench.wine(args, workdir, **streams)
    out, err = done.communicate(timeout=120)
    check(done.returncode == 0, f"replay host failed with {done.returncode}: {err.decode(errors='replace')[-800:]}")
    sounds = []  # "N: EVENT -> ANSWER STATE", each followed by "  sound NAME" per sound it started
    for line in out.decode().splitlines():
        if line.startswith("  sound "):
            sounds[-1].append(line.split()[1])
        elif line.strip():
            sounds.append([])
    check(len(sounds) == len(events), f"replay host reported {len(sounds)} events for {len(events)}")
    return Expected(expected_screen(workdir / "frame.png", bench),
                    parse_units((workdir / "state.txt").read_text()), sounds)


class Session:
    """One start of the program on a desktop (`bench`), from `cwd`, with its stderr (or Wine's trace) kept."""

    def __init__(self, bench, name, cwd, program=None):
        self.bench, self.name, self.cwd, self.log = bench, name, cwd, bench.log
        self.program = program or bench.program
        self.history, self.pointer, self.replayed = [], None, {}
        self.stderr = bench.artifacts / f"{name}-stderr.txt"
        self.process = bench.launch(self)

    def run_again(self, *args):
        """Another start with these arguments while this one runs; its exit code."""
        return self.bench.launch(self, args).wait(timeout=10)

    def require_running(self):
        check(self.process.poll() is None, f"the program is not running (exit code {self.process.poll()})")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def wait_end(self, timeout, status=0, said=""):
        """Waits for the end with exit status `status` and `said` on stderr; a death by a signal, another status or
        no end in time fails."""
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program did not end within {timeout:g} s") from None
        check(code >= 0, f"the program died of signal {-code}")
        check(code == status and said in self.errors(), f"{self.name}: exit code {code}, stderr {self.errors()!r}")

    def errors(self):
        return self.stderr.read_text(errors="replace")[-800:]

    def expected(self):
        """The replay host's result for every mouse event sent so far."""
        key = tuple(self.history)
        if key not in self.replayed:
            self.replayed[key] = replay(self.bench, self.bench.artifacts / "replay", key)
        return self.replayed[key]

    def wait_picture(self, label, timeout=15):
        """Waits until the screen is the replay frame for the events so far over the background."""
        want, shot = self.expected().screen, b""

        def shows_it():
            nonlocal shot
            self.require_running()
            shot = self.bench.screenshot()
            return shot == want
        try:
            wait_until(shows_it, timeout, f"the picture {label}", interval=0.02)
        except Failure as failure:
            stem = self.bench.artifacts / f"{self.name}-{label.replace(' ', '-')}"
            width, height = self.bench.device_size()
            header = b"P6\n%d %d\n255\n" % (width, height)
            for suffix, picture in (("screen", shot), ("expected", want)):
                stem.with_name(f"{stem.name}-{suffix}.ppm").write_bytes(header + picture)
            wrong = [i // 3 for i in range(0, len(want), 3) if shot[i:i + 3] != want[i:i + 3]]
            where = f", first at {divmod(wrong[0], width)[::-1]}" if wrong else ""
            raise Failure(f"{failure}: {len(wrong)} pixels differ{where} (pictures in {stem}-*.ppm)") from None

    def move(self, x, y):
        if self.pointer != (x, y):  # a move to where the pointer is sends no event
            self.bench.input("move", x, y)
            self.pointer = (x, y)
            self.history.append(f"move {x} {y}")

    def button(self, name, action):  # action: "down" or "up"
        self.bench.input(action, name)
        self.history.append(f"{name}-{action} {self.pointer[0]} {self.pointer[1]}")

    def wheel(self, button=4):  # one notch away from the user (X button 4) or towards them (5)
        self.bench.input("wheel", button)
        self.history.append(f"wheel {self.pointer[0]} {self.pointer[1]}")

    def key(self, name):
        self.bench.input("key", name)

    def click_through(self, name, x, y):
        """Clicks beside the bricks; the application underneath must log the press and the release."""
        mark = self.log.mark()
        self.move(x, y)
        self.button(name, "down")
        self.button(name, "up")
        seen = self.log.wait_for(f"{name[0]}buttonup {x} {y}", since=mark)
        check(f"{name[0]}buttondown {x} {y}" in seen, f"the application got the {name} release without the press")

    def focus_beneath(self, x, y):
        """The keyboard to the window beneath: the pointer over it (X11's focus follows it), and under Wine a middle
        click, which the program passes on, so it is no replay line."""
        self.move(x, y)
        if not self.bench.native:
            mark = self.log.mark()
            self.bench.xdotool("click", 2)
            self.log.wait_for(f"mbuttondown {x} {y}", since=mark)

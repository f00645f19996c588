"""What every desktop's bench has: waiting, the log of the windows beneath, and an Xvfb screen driven by xdotool."""

import contextlib
import math
import os
import re
import shutil
import signal
import socket
import subprocess
import time
from collections import defaultdict
from pathlib import Path

DEVNULL = subprocess.DEVNULL
CONVERT = shutil.which("convert-im6.q16") or "convert"  # ImageMagick itself, not a wrapper on PATH
WIDTH, HEIGHT = 1024, 800     # the bricks are scattered over 1000 x 768 pixels
DESKTOP_RGB = (32, 96, 128)   # the colour of the application underneath


class Failure(Exception):
    """What a scenario saw that it should not have, or a condition that did not come true in time."""


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(condition, timeout, what, interval=0.05):
    """Polls condition() until it returns a true value, and returns that value."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)
    return value


class Beneath:
    """The windows beneath read as one log in the words of our application beneath (underneath_app.cpp, under
    Wine): `lbuttondown X Y` (on the screen), `mousewheel X Y 120`, `keydown NAME`, `char 97`, `kbenter`, into
    which xev's (X11) and wev's (Wayland) lines are translated. A mark is a count of lines; `windows` says whose
    each line is."""

    PATTERNS = {  # an event is read once all its lines are there
        "application": re.compile(r"(?P<line>.+?)\r?\n"),  # its lines end as Windows ends them
        "xev": re.compile(r"Button(?P<button>Press|Release) event.*\n.*root:\((?P<x>\d+),(?P<y>\d+)\),\n"
                          r".*button (?P<b>\d+)|Key(?P<key>Press|Release) event(?:.*\n){2}"
                          r".*keysym \w+, (?P<name>\w+)\).*\n.*XLookupString gives \d+ bytes: (?:\((?P<char>\w\w)\))?"),
        "wev": re.compile(r"\[(?P<id>\d+): +wl_(?P<device>pointer|keyboard)\] (?:(?:enter|motion):.*x, y: "
                          r"(?P<x>[\d.]+), (?P<y>[\d.]+)|button:.*button: (?P<b>\d+).*state: (?P<button>\d)"
                          r"|axis: .*axis: 0.*value: (?P<wheel>-?)|key:.*state: (?P<key>\d).*\n +sym: (?P<name>\S+)"
                          r"|(?P<focus>enter|leave):)"),
    }
    BUTTONS = {"1": "l", "2": "m", "3": "r", "272": "l", "274": "m", "273": "r"}
    STATES = {"Press": "down", "1": "down", "Release": "up", "0": "up"}

    def __init__(self, scale=1, **logs):  # application=PATH, xev=PATH, wev=PATH; scale: of their device positions
        self.logs, self.scale, self.offset = logs, scale, (0, 0)  # offset: where wev's window lies on the screen
        self.read, self.pointer, self.last = dict.fromkeys(logs, 0), dict.fromkeys(logs, (0, 0)), {}
        self.translated, self.windows = [], []

    def lines(self):
        for window, path in self.logs.items():
            with open(path, "rb") as log:
                log.seek(self.read[window])
                text = log.read().decode("latin-1")
            end = 0
            for match in self.PATTERNS[window].finditer(text[:text.rfind("\n") + 1]):
                end, said = match.end(), self._translate(window, defaultdict(lambda: None, match.groupdict()),
                                                         match[0].split("]", 1)[-1])
                self.translated += said
                self.windows += [window] * len(said)
            self.read[window] += end
        return list(self.translated)

    def mark(self):
        return len(self.lines())

    def who(self, since):
        """The windows that logged anything since mark `since`."""
        self.lines()
        return set(self.windows[since:])

    def wait_for(self, line, since, timeout=10):
        """Waits until `line` is logged after mark `since`; returns the lines after the mark up to it."""
        def found():
            later = self.lines()[since:]
            return later[:later.index(line) + 1] if line in later else None
        return wait_until(found, timeout, f"the application underneath to log '{line}'")

    def _translate(self, window, event, text):
        if event["line"]:  # the application's own words, in device pixels
            return [re.sub(r"(?<= )\d+ \d+\b", lambda m: " ".join(str(int(n) // self.scale) for n in m[0].split()),
                           event["line"], count=1)]
        # wev binds a pointer at each change of the seat's capabilities, and each of them tells the same event.
        last = self.last.get((window, event["device"]))
        if last is not None and last[0] != event["id"] and last[1] == text:
            return []
        self.last[(window, event["device"])] = (event["id"], text)
        if event["x"]:  # wev's buttons carry no position: the last enter or motion has it
            dx, dy = self.offset if window == "wev" else (0, 0)
            scale = 1 if window == "wev" else self.scale  # wev's are logical already
            self.pointer[window] = (pixel(event["x"]) // scale + dx, pixel(event["y"]) // scale + dy)
        x, y = self.pointer[window]
        state = self.STATES.get(event["button"] or event["key"])
        if event["b"] in self.BUTTONS:
            return [f"{self.BUTTONS[event['b']]}button{state} {x} {y}"]
        if event["wheel"] is not None or event["b"] in ("4", "5") and state == "down":
            return [f"mousewheel {x} {y} {120 if event['wheel'] == '-' or event['b'] == '4' else -120}"]
        if event["key"]:
            char = [f"char {int(event['char'], 16)}"] if event["char"] and state == "down" else []
            return [f"key{state} {event['name']}", *char]
        return [f"kb{event['focus']}"] if event["device"] == "keyboard" and event["focus"] else []


def pixel(position):
    """The pixel a logged position lies in. Mutter's sums of relative moves come a 256th short (239.996094 for
    240): a position that close below a whole pixel is that pixel."""
    return math.floor(float(position) + 1 / 64)


STARTED = []  # every server and window beneath started so far, each the leader of a session of its own


def start(command, **options):
    """A long-lived process in a session of its own, so that end() ends whatever it starts too."""
    process = subprocess.Popen([str(word) for word in command], start_new_session=True, **options)
    STARTED.append(process)
    return process


def end(process, grace=10):
    """SIGTERM to the process's session; after `grace` seconds, SIGKILL to whatever of it is left."""
    for number, timeout in ((signal.SIGTERM, grace), (signal.SIGKILL, None)):
        with contextlib.suppress(ProcessLookupError, subprocess.TimeoutExpired):
            os.killpg(process.pid, number)
            process.wait(timeout=timeout)


def reap(since=0):
    """Ends every process started since `since` (a length of STARTED), the last started first."""
    while len(STARTED) > since:
        end(STARTED.pop())


def accepts(path):
    """Whether a server listens on the Unix socket at `path` (its file comes before it listens)."""
    with socket.socket(socket.AF_UNIX) as probe:
        return probe.connect_ex(str(path)) == 0


def build_helper(source, exe, command):
    """Compiles one of our small programs from tests/e2e/ unless it is up to date."""
    source = Path(__file__).resolve().parent.parent / source
    if not exe.exists() or exe.stat().st_mtime < source.stat().st_mtime:
        exe.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run([*command[:1], "-std=c++20", "-O2", "-Wall", "-Wextra", "-o", exe, source, *command[1:]],
                       check=True)
    return exe


def wait_beneath(bench, ready, timeout=30):
    """Waits until the window beneath is `ready` and the screen is steady: that screen is the background of
    every expected picture."""
    wait_until(ready, timeout, "the window beneath")
    shots = []

    def steady():
        shots.append(bench.screenshot())
        return shots[-3:] == shots[-1:] * 3
    wait_until(steady, timeout, "a steady screen under the window beneath")
    bench.background = shots[-1]


def start_xvfb(args, log_path, size=(WIDTH, HEIGHT)):
    """Xvfb on a display number of its choosing; returns the process and the display."""
    read_end, write_end = os.pipe()
    screen = [] if "-screen" in args else ["-screen", "0", "%dx%dx24" % size]
    with open(log_path, "ab") as log:
        process = start(["Xvfb", "-displayfd", write_end, *screen, "-noreset", "-nolisten", "tcp", *args],
                        pass_fds=(write_end,), stdin=DEVNULL, stdout=log, stderr=log)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:  # Xvfb writes its display number once it takes clients
        display = pipe.readline().decode().strip()
    check(display, f"Xvfb did not start; see {log_path}")
    return process, ":" + display


class Desktop:
    """What every desktop has: a run folder (emptied at the start, left behind for a look after a failure), the
    program and the replay host of a build, the windows beneath and the background they make."""

    width, height = WIDTH, HEIGHT
    output_width = WIDTH  # the first output's, where the bricks start and the window beneath lies
    origin = (0, 0)  # the primary monitor's corner, where the bricks start
    native = True  # the replay host draws the same rand() natively, as the Linux program does
    end_timeout = 5  # seconds from Escape to the end of the program
    wheel_through_bricks = False  # the wheel over a brick reaches the window beneath
    # Device pixels per logical pixel along each axis: the pictures are the replay host's enlarged by it. Sizes,
    # positions and the lines of the windows beneath are logical pixels.
    scale = 1

    def device_size(self):
        return self.width * self.scale, self.height * self.scale

    def __init__(self, build_dir, run_dir, exe=""):
        check((build_dir / "Sounds").is_dir(), f"no Sounds folder in {build_dir}")
        shutil.rmtree(run_dir, ignore_errors=True)
        run_dir.mkdir(parents=True)
        self.run_dir = self.artifacts = self.home = run_dir  # home: where the program starts
        self.program, self.replay_exe = build_dir / f"zimblet{exe}", build_dir / f"zimblet-replay{exe}"
        self.sounds_dir = build_dir / "Sounds"

    def start_beneath(self, name, command, env):
        """A window beneath logging to `name.log` in the run folder, line by line; returns the log's path."""
        log = self.run_dir / f"{name}.log"
        with open(log, "wb") as stream:
            start(["stdbuf", "-oL", *command], cwd=self.run_dir, env=env, stdin=DEVNULL, stdout=stream,
                  stderr=subprocess.STDOUT)
        return log

    def xwininfo(self, *args):
        """What xwininfo tells of the desktop's X display, the one of env()."""
        return subprocess.run(["xwininfo", *args], env=self.env(), capture_output=True, text=True).stdout

    def refusal(self):
        """(title, check) where the program must refuse this desktop, else None."""
        return None

    def check_start(self, session):
        """What else the program's start must show on this desktop."""

    def escape_seen_elsewhere(self):
        """After Escape ended the program: whatever else must have seen it."""

    def stop(self):
        """What ends gracefully; on() then ends every process the desktop started."""


class XScreen(Desktop):
    """An Xvfb screen of our own, driven by xdotool and pictured by ImageMagick."""

    def __init__(self, build_dir, run_dir, exe="", xvfb_args=()):
        super().__init__(build_dir, run_dir, exe)
        self.xvfb, self.display = start_xvfb(list(xvfb_args), run_dir / "xvfb.log", self.device_size())

    def env(self):
        env = dict(os.environ, DISPLAY=self.display)
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def screenshot(self):
        """The whole screen as raw RGB bytes."""
        return subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "rgb:-"],
                              check=True, capture_output=True, timeout=30).stdout

    def windows(self, pattern, size, count):
        """The top-level windows whose line in the tree matches `pattern`, once `count` of them are of `size`
        (device pixels) and viewable; None before."""
        found = re.findall(rf"(0x[0-9a-f]+) {pattern}  {size[0]}x{size[1]}\+", self.xwininfo("-root", "-children"))
        viewable = [window for window in found if "IsViewable" in self.xwininfo("-id", window)]
        return len(viewable) >= count and viewable

    def place(self, window, x, y):
        """Moves a top-level window and waits until the server has it there."""
        self.xdotool("windowmove", window, x, y)
        wait_until(lambda: re.search(rf"upper-left X: +{x}\n +Absolute upper-left Y: +{y}\n",
                                     self.xwininfo("-id", window)), 10, f"window {window} at {x},{y}")

    def focus(self, window):
        """Gives a viewable window the X focus and waits until it has it."""
        def focused():
            self.xdotool("windowfocus", window)
            return int(self.xdotool("getwindowfocus")) == int(window, 16)
        wait_until(focused, 10, f"the focus on window {window}")

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=30,
                              capture_output=True, text=True).stdout

    def input(self, verb, *args):
        """move X Y; down|up left|right|middle; wheel [4|5]; key NAME; press|release NAME."""
        if verb in ("down", "up"):
            self.xdotool(f"mouse{verb}", {"left": 1, "middle": 2, "right": 3}[args[0]])
        elif verb == "move":  # to the last device pixel of the logical one: a position rounded up would show
            self.xdotool("mousemove", *(int(n) * self.scale + self.scale - 1 for n in args))
        else:
            verb = {"move": "mousemove", "wheel": "click", "press": "keydown", "release": "keyup"}.get(verb, verb)
            self.xdotool(verb, *(args or (4,)))

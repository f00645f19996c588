"""One run of the toy under Wine, driven as a user would, with every mouse event kept as a replay script."""

from .images import compare, expected_screen, save_pnm
from .program import Program
from .waits import WaitTimeout, wait_until

BUTTONS = {"left": 1, "right": 3}


class ScenarioFailure(Exception):
    """What a scenario saw that it should not have."""


def check(condition, message):
    if not condition:
        raise ScenarioFailure(message)


class Rig:
    """What every session shares: the screen, the prefix, the replay host, the application underneath."""

    def __init__(self, xserver, prefix, replay, app_log, desktop_rgb, program_exe, artifacts, log):
        self.xserver = xserver
        self.prefix = prefix
        self.replay = replay
        self.app_log = app_log
        self.desktop_rgb = desktop_rgb
        self.program_exe = program_exe
        self.artifacts = artifacts
        self.log = log


class Session:
    def __init__(self, rig, name, cwd):
        self.rig = rig
        self.name = name
        self.cwd = cwd
        self.history = []      # every mouse event the program was sent, as replay script lines
        self.pointer = None    # where the X pointer is, once we have put it somewhere
        self.program = None
        self._replayed = {}

    # -- the program --------------------------------------------------------

    def start(self):
        self.program = Program(self.rig.prefix, self.rig.program_exe, self.cwd,
                               trace_path=self.rig.artifacts / f"{self.name}-winmm-trace.txt",
                               output_path=self.rig.artifacts / f"{self.name}-output.txt")

    def require_running(self):
        check(self.program is not None and self.program.running(),
              f"the program is not running (exit code {self.program.process.poll() if self.program else None})")

    def stop(self):
        if self.program:
            self.program.stop()

    # -- what the replay host expects ------------------------------------------

    def expected(self):
        """The replay host's result for everything sent so far."""
        key = tuple(self.history)
        if key not in self._replayed:
            self._replayed[key] = self.rig.replay.run(list(key))
        return self._replayed[key]

    def wait_picture(self, label, timeout=15):
        """Waits until the screen shows the replay frame for the events so far over the desktop colour."""
        want = expected_screen(self.expected().frame, self.rig.desktop_rgb)
        last = {}

        def shows_it():
            self.require_running()
            shot = self.rig.xserver.screenshot()
            last["shot"] = shot
            return not compare(shot, want)

        try:
            wait_until(shows_it, timeout, f"the picture {label}", interval=0.02)
        except WaitTimeout as timed_out:
            stem = self.rig.artifacts / f"{self.name}-{label.replace(' ', '-')}"
            difference = compare(last["shot"], want) if "shot" in last else None
            if "shot" in last:
                save_pnm(last["shot"], f"{stem}-screen.ppm")
            save_pnm(want, f"{stem}-expected.ppm")
            detail = difference.describe() if difference is not None else "no screenshot taken"
            raise ScenarioFailure(f"{timed_out}: {detail} (pictures saved as {stem}-*.ppm)") from None

    # -- input, as a user gives it -------------------------------------------------

    def move(self, x, y):
        """Moves the pointer; a move to where it already is sends nothing."""
        if self.pointer == (x, y):
            return
        self.rig.xserver.xdotool("mousemove", x, y)
        self.pointer = (x, y)
        self.history.append(f"move {x} {y}")

    def down(self, button):
        self.rig.xserver.xdotool("mousedown", BUTTONS[button])
        self.history.append(f"{button}-down {self.pointer[0]} {self.pointer[1]}")

    def up(self, button):
        self.rig.xserver.xdotool("mouseup", BUTTONS[button])
        self.history.append(f"{button}-up {self.pointer[0]} {self.pointer[1]}")

    def wheel(self):
        """One notch of the wheel, away from the user."""
        self.rig.xserver.xdotool("click", 4)
        self.history.append(f"wheel {self.pointer[0]} {self.pointer[1]}")

    def key(self, name):
        self.rig.xserver.xdotool("key", name)

    # -- the application underneath -------------------------------------------------

    def click_through(self, button, x, y, timeout=10):
        """Clicks beside the bricks and waits until the application underneath logs the press and release."""
        mark = self.rig.app_log.mark()
        self.move(x, y)
        self.down(button)
        self.up(button)
        prefix = "l" if button == "left" else "r"
        seen = self.rig.app_log.wait_for(f"{prefix}buttonup {x} {y}", since=mark, timeout=timeout)
        check(f"{prefix}buttondown {x} {y}" in seen,
              f"the application logged the {button} release at ({x},{y}) without the press: {seen}")
        return seen

    def focus_application(self, x, y, timeout=10):
        """Middle-clicks the application underneath, which makes it the active window.

        The middle button passes the program by untouched, so it has no place in the replay script.
        """
        mark = self.rig.app_log.mark()
        self.move(x, y)
        self.rig.xserver.xdotool("click", 2)
        self.rig.app_log.wait_for(f"mbuttondown {x} {y}", since=mark, timeout=timeout)

"""One start of the Linux program on a Wayland bench, driven through the input helper."""

import subprocess

from .bench import check
from .session import Session


class WaylandSession(Session):
    native = True  # the native replay host draws the same rand() as the program

    def __init__(self, bench, name, cwd, setup, pulse=None):
        self.pulse = pulse  # the PulseAudio daemon its sounds go to, when they are to be heard
        super().__init__(bench, name, cwd, setup)

    def launch(self, cwd):
        self.stderr = self.bench.artifacts / f"{self.name}-stderr.txt"
        sound = {}
        if self.pulse is not None:  # XDG_RUNTIME_DIR is the compositor's: name the sound server's socket
            sound["PULSE_SERVER"] = f"unix:{self.pulse.env['XDG_RUNTIME_DIR']}/pulse/native"
        with open(self.stderr, "wb") as errors:
            return self.bench.client([self.setup.program_exe], cwd, extra_env=sound, stdout=errors,
                                     stderr=subprocess.STDOUT)

    def sounds(self):
        raise NotImplementedError("the Wayland benches trace no sounds")

    def move(self, x, y):
        if self.pointer != (x, y):
            self.bench.hands.send(f"move {x} {y}")
            self.pointer = (x, y)
            self.history.append(f"move {x} {y}")

    def button(self, name, action):
        self.bench.hands.send(f"{action} {name}")
        self.history.append(f"{name}-{action} {self.pointer[0]} {self.pointer[1]}")

    def wheel(self):
        self.bench.hands.send("wheel")
        self.history.append(f"wheel {self.pointer[0]} {self.pointer[1]}")

    def key(self, name):
        self.bench.hands.send(f"key {name}")

    def wait_end(self, timeout):
        """The exit status; a death by a signal or no end in time fails."""
        try:
            code = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            check(False, f"the program did not end within {timeout:g} s")
        check(code >= 0, f"the program died of signal {-code}")
        return code

    def errors(self):
        return self.stderr.read_text(errors="replace")

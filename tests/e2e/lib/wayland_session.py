"""One start of the Linux program on a Wayland bench, driven through the input helper."""

import subprocess

from .session import Session


class WaylandSession(Session):
    native = True  # the native replay host draws the same rand() as the program
    end_timeout = 5

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

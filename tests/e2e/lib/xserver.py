"""An Xvfb screen of our own, its screenshots and the input that xdotool sends to it."""

import os
import subprocess

from .images import parse_pnm


class XServer:
    """Xvfb on a display number it picks itself, the size of the Wine desktop."""

    def __init__(self, width, height, log_path):
        self.width = width
        self.height = height
        self.log_path = log_path
        self.process = None
        self.display = None

    def start(self, timeout=30):
        read_end, write_end = os.pipe()
        with open(self.log_path, "ab") as log:
            self.process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{self.width}x{self.height}x24",
                 "-noreset", "-nolisten", "tcp"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        os.close(write_end)
        # Xvfb writes its display number once it accepts clients.
        with os.fdopen(read_end, "rb") as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError(f"Xvfb did not start; see {self.log_path}")
        self.display = f":{number.decode()}"
        return self.display

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        return env

    def screenshot(self):
        """The whole screen as an RGB image."""
        blob = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "ppm:-"],
                              check=True, capture_output=True, timeout=30).stdout
        return parse_pnm(blob)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=30,
                       stdout=subprocess.DEVNULL)

"""A Wine prefix of the harness's own, set up once in the build tree and reused."""

import os
import shutil
import subprocess
from pathlib import Path

# Bump when the settings below change, so that old prefixes are made anew.
PREFIX_LAYOUT = "1"


class WinePrefix:
    def __init__(self, path, display, width, height, log):
        self.path = Path(path)
        self.display = display
        self.width = width
        self.height = height
        self.log = log  # a callable taking one line
        self.stamp = self.path / "zimblet-e2e-prefix"

    def env(self, debug="-all"):
        env = dict(os.environ)
        env.update({
            "WINEPREFIX": str(self.path),
            "WINEARCH": "win64",
            "DISPLAY": self.display,
            "WINEDEBUG": debug,
            # No Mono or Gecko installer dialogs; nothing here needs them.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
        })
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def _stamp_text(self):
        return f"layout {PREFIX_LAYOUT} desktop {self.width}x{self.height}\n"

    def _run(self, *args, timeout=180):
        subprocess.run(list(args), env=self.env(), check=True, timeout=timeout,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def ensure(self):
        """Creates and configures the prefix unless a matching one is already there."""
        if self.stamp.is_file() and self.stamp.read_text() == self._stamp_text():
            self.log(f"reusing Wine prefix {self.path}")
            self.kill_server()  # whatever an interrupted run left running in it
            return
        self.log(f"creating Wine prefix {self.path} (once)")
        self.kill_server()
        shutil.rmtree(self.path, ignore_errors=True)
        self.path.parent.mkdir(parents=True, exist_ok=True)
        self._run("wineboot", "-i")
        # Every program runs inside one virtual desktop of a known size: the
        # low-level hooks then see all input, and Xvfb's screen is the desktop.
        self._run("wine", "reg", "add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default", "/f")
        self._run("wine", "reg", "add", r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default",
                  "/d", f"{self.width}x{self.height}", "/f")
        # No audio device: PlaySound still goes through winmm, so its trace names the files.
        self._run("wine", "reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/d", "", "/f")
        self.wait_server()
        self.stamp.write_text(self._stamp_text())

    def start(self, args, cwd, stdout, stderr, debug="-all"):
        """Starts `wine ARGS...`; the returned process ends with the program's exit code."""
        return subprocess.Popen(["wine", *map(str, args)], cwd=cwd, env=self.env(debug),
                                stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr)

    def run(self, args, cwd, timeout, debug="-all"):
        return subprocess.run(["wine", *map(str, args)], cwd=cwd, env=self.env(debug), timeout=timeout,
                              stdin=subprocess.DEVNULL, capture_output=True)

    def wait_server(self, timeout=60):
        subprocess.run(["wineserver", "-w"], env=self.env(), timeout=timeout, check=False)

    def kill_server(self):
        """Ends every process of this prefix (and no other prefix's)."""
        if (self.path / "system.reg").exists():
            subprocess.run(["wineserver", "-k"], env=self.env(), timeout=60, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], env=self.env(), timeout=60, check=False)

"""The bench: an Xvfb screen, a Wine prefix kept in the build tree, the application underneath, waiting."""

import os
import shutil
import subprocess
import time

DEVNULL = subprocess.DEVNULL
CONVERT = shutil.which("convert-im6.q16") or "convert"  # ImageMagick itself, not a wrapper on PATH


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


class AppLog:
    """The lines the application underneath has logged; a mark is a count of lines."""

    def __init__(self, path):
        self.path = path

    def lines(self):
        try:  # a line still being written has no newline yet: leave it for the next look
            return self.path.read_text().split("\n")[:-1]
        except FileNotFoundError:
            return []

    def mark(self):
        return len(self.lines())

    def wait_for(self, line, since, timeout=10):
        """Waits until `line` is logged after mark `since`; returns the lines after the mark up to it."""
        def found():
            later = self.lines()[since:]
            return later[:later.index(line) + 1] if line in later else None
        return wait_until(found, timeout, f"the application underneath to log '{line}'")


class Bench:
    def __init__(self, work_dir, artifacts, width, height, xvfb_args=()):
        self.prefix = work_dir / "wineprefix"
        self.artifacts = artifacts
        self.width, self.height = width, height
        read_end, write_end = os.pipe()
        with open(artifacts / "xvfb.log", "ab") as log:
            self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                          f"{width}x{height}x24", "-noreset", "-nolisten", "tcp", *xvfb_args],
                                         pass_fds=(write_end,), stdin=DEVNULL, stdout=log, stderr=log)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:  # Xvfb writes its display number once it takes clients
            self.display = ":" + pipe.readline().decode().strip()
        check(self.display != ":", "Xvfb did not start; see xvfb.log")

    def env(self, debug="-all"):
        env = dict(os.environ, DISPLAY=self.display, WINEPREFIX=str(self.prefix), WINEARCH="win64",
                   WINEDEBUG=debug, WINEDLLOVERRIDES="mscoree,mshtml=")  # no Mono or Gecko dialogs
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def ensure_prefix(self):
        """Makes the Wine prefix unless its stamp says it is already there with these settings."""
        self.kill_wine()  # whatever an interrupted run left running
        stamp, wanted = self.prefix / "zimblet-e2e-prefix", f"layout 1 desktop {self.width}x{self.height}\n"
        if stamp.is_file() and stamp.read_text() == wanted:
            return
        print(f"creating Wine prefix {self.prefix} (once)", flush=True)
        shutil.rmtree(self.prefix, ignore_errors=True)
        reg_add = ["wine", "reg", "add"]
        for command in (["wineboot", "-i"],
                        # One virtual desktop of the screen's size: the hooks see all input, at 0,0 of the screen.
                        reg_add + [r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default", "/f"],
                        reg_add + [r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default",
                                   "/d", f"{self.width}x{self.height}", "/f"],
                        # No audio device: PlaySound still runs through winmm, whose trace names the files.
                        reg_add + [r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/d", "", "/f"],
                        ["wineserver", "-w"]):
            subprocess.run(command, env=self.env(), check=True, timeout=180, stdout=DEVNULL, stderr=DEVNULL)
        stamp.write_text(wanted)

    def wine(self, args, cwd, debug="-all", **streams):
        return subprocess.Popen(["wine", *map(str, args)], cwd=cwd, env=self.env(debug), stdin=DEVNULL, **streams)

    def kill_wine(self):
        if (self.prefix / "system.reg").exists():
            for flag in ("-k", "-w"):
                subprocess.run(["wineserver", flag], env=self.env(), timeout=60, stdout=DEVNULL, stderr=DEVNULL)

    def stop(self):
        self.kill_wine()
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)

    def screenshot(self):
        """The whole screen as raw RGB bytes."""
        return subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "rgb:-"],
                              check=True, capture_output=True, timeout=30).stdout

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=30, stdout=DEVNULL)

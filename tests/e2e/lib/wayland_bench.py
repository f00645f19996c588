"""The Wayland benches: a headless compositor (sway or KWin) with the input helper, screenshots and the clients."""

import os
import re
import select
import shutil
import signal
import struct
import subprocess
from pathlib import Path

from .bench import DEVNULL, Failure, check, wait_until

NOBODY = 65534  # sway refuses to run as root
IMAGE = 0xFFFD0002  # an Xcursor image chunk


def write_invisible_cursor_theme(folder):
    """An Xcursor theme whose pointers are one transparent pixel: screenshots then show no cursor, even
    during a drag, when sway's hide_cursor does not hide it."""
    image = struct.pack("<9I", 36, IMAGE, 24, 1, 1, 1, 0, 0, 0) + struct.pack("<I", 0)
    data = struct.pack("<4sIII", b"Xcur", 16, 0x10000, 1) + struct.pack("<III", IMAGE, 24, 16 + 12) + image
    cursors = folder / "invisible" / "cursors"
    cursors.mkdir(parents=True, exist_ok=True)
    for name in ("default", "left_ptr", "text", "xterm", "grabbing", "pointer"):
        (cursors / name).write_bytes(data)


def parse_ppm(data, width, height):
    """The RGB bytes of a binary PPM of the given size."""
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
    check(header is not None and (int(header[1]), int(header[2])) == (width, height),
          f"unexpected screenshot header {data[:20]}")
    return data[header.end():]


class Hands:
    """The input helper: one command a line, answered with "ok" once the compositor has seen it."""

    def __init__(self, bench):
        self.process = bench.client([bench.tools / "wayland_input_helper", bench.width, bench.height], bench.artifacts,
                                    stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                    stderr=open(bench.artifacts / "input-helper.log", "ab"))
        self._answer("ready")

    def _answer(self, word, timeout=10):
        ready, _, _ = select.select([self.process.stdout], [], [], timeout)
        line = self.process.stdout.readline().decode().strip() if ready else ""
        check(line == word, f"the input helper answered '{line}' instead of '{word}' (input-helper.log)")

    def send(self, command):
        self.process.stdin.write(f"{command}\n".encode())
        self.process.stdin.flush()
        self._answer("ok")

    def stop(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            self.process.wait(timeout=10)


class WaylandBench:
    """What a compositor bench shares: the clients' environment, the helper, the shutdown."""

    def __init__(self, tools, artifacts, width, height):
        self.tools, self.artifacts, self.width, self.height = tools, artifacts, width, height
        self.runtime = artifacts / f"{self.name}-runtime"
        shutil.rmtree(self.runtime, ignore_errors=True)
        self.runtime.mkdir(mode=0o700, parents=True)
        self.hands, self.compositor = None, None

    def env(self):
        env = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
        return dict(env, XDG_RUNTIME_DIR=str(self.runtime), WAYLAND_DISPLAY=self.socket)

    def client(self, args, cwd, **streams):
        streams.setdefault("stdin", DEVNULL)
        return subprocess.Popen([str(arg) for arg in args], cwd=cwd, env=self.env(), **streams)

    launch = client  # the replay host

    def start_hands(self):
        self.hands = Hands(self)

    def alive(self):
        return self.compositor is not None and self.compositor.poll() is None

    def kill(self):
        """Kills the compositor outright, as a crash would."""
        self.compositor.send_signal(signal.SIGKILL)
        self.compositor.wait(timeout=10)

    def stop(self):
        if self.hands is not None and self.alive():
            self.hands.stop()
        if self.alive():
            self.compositor.terminate()
            try:
                self.compositor.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.kill()


class SwayBench(WaylandBench):
    """Headless sway 1.7 with the pixman renderer, run as an unprivileged user in its own runtime folder."""

    name = "sway"
    socket = "wayland-1"

    def __init__(self, tools, artifacts, width, height, background):
        super().__init__(tools, artifacts, width, height)
        config = artifacts / "sway.conf"
        config.write_text(f"output HEADLESS-1 resolution {width}x{height} position 0 0 "
                          f"background #{'%02x%02x%02x' % background} solid_color\n"
                          "xwayland disable\ndefault_border none\nfocus_follows_mouse no\n"
                          "seat * xcursor_theme invisible 24\n")
        write_invisible_cursor_theme(self.runtime / "icons")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(self.runtime),
               "XDG_RUNTIME_DIR": str(self.runtime), "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
               "WLR_RENDERER": "pixman", "XCURSOR_PATH": str(self.runtime / "icons")}
        command = ["sway", "-c", str(config)]
        if os.geteuid() == 0:
            os.chown(self.runtime, NOBODY, NOBODY)
            command = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", *command]
        with open(artifacts / "sway.log", "ab") as log:
            self.compositor = subprocess.Popen(command, env=env, stdin=DEVNULL, stdout=log, stderr=log)
        wait_until(lambda: (self.runtime / self.socket).exists() or not self.alive(), 20, "sway's socket")
        check(self.alive(), "sway ended at start; see sway.log")

    def screenshot(self):
        """The whole output as raw RGB bytes."""
        shot = subprocess.run(["grim", "-t", "ppm", "-"], env=self.env(), check=True, capture_output=True, timeout=30)
        return parse_ppm(shot.stdout, self.width, self.height)

    def swaymsg(self, *args):
        sockets = list(self.runtime.glob("sway-ipc.*.sock"))
        check(sockets, "sway has no IPC socket")
        env = dict(self.env(), SWAYSOCK=str(sockets[0]))
        return subprocess.run(["swaymsg", *args], env=env, check=True, capture_output=True, timeout=30).stdout

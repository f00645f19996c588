"""The Wayland benches: a headless compositor (sway or KWin) with the input helper, screenshots and the clients."""

import os
import re
import select
import shutil
import signal
import struct
import subprocess

from .bench import DESKTOP_RGB, DEVNULL, HEIGHT, WIDTH, check, wait_until

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

    def __init__(self, tools, artifacts):
        self.tools, self.artifacts, self.width, self.height = tools, artifacts, WIDTH, HEIGHT
        self.runtime = artifacts / f"{self.name}-runtime"
        shutil.rmtree(self.runtime, ignore_errors=True)
        self.runtime.mkdir(mode=0o700, parents=True)
        self.hands, self.compositor = None, None

    def env(self):
        env = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
        return dict(env, XDG_RUNTIME_DIR=str(self.runtime), WAYLAND_DISPLAY=self.socket)

    def client(self, args, cwd, extra_env=None, **streams):
        streams.setdefault("stdin", DEVNULL)
        return subprocess.Popen([str(arg) for arg in args], cwd=cwd, env=dict(self.env(), **(extra_env or {})),
                                **streams)

    def start_hands(self):
        self.hands = Hands(self)

    def input(self, *words):
        self.hands.send(" ".join(map(str, words)))

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

    def __init__(self, tools, artifacts):
        super().__init__(tools, artifacts)
        config = artifacts / "sway.conf"
        config.write_text(f"output HEADLESS-1 resolution {WIDTH}x{HEIGHT} position 0 0 "
                          f"background #{'%02x%02x%02x' % DESKTOP_RGB} solid_color\n"
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
        shot = subprocess.run(["grim", "-t", "ppm", "-"], env=self.env(), check=True, capture_output=True,
                              timeout=30).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", shot)
        check(header is not None and (int(header[1]), int(header[2])) == (self.width, self.height),
              f"unexpected screenshot header {shot[:20]}")
        return shot[header.end():]


class KWinBench(WaylandBench):
    """Headless KWin 5.27 (--virtual) on a D-Bus session bus of its own; input through fake input, screenshots
    through its ScreenShot2 interface, both allowed by KWin's environment."""

    name = "kwin"
    socket = "kwin-e2e"

    def __init__(self, tools, artifacts):
        super().__init__(tools, artifacts)
        # The installed binary carries a file capability a container may refuse: run a plain copy.
        kwin = artifacts / "kwin_wayland"
        shutil.copyfile(shutil.which("kwin_wayland"), kwin)
        kwin.chmod(0o755)
        self.dbus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], stdin=DEVNULL,
                                     stdout=subprocess.PIPE, stderr=DEVNULL)
        self.bus = self.dbus.stdout.readline().decode().strip()
        check(self.bus, "dbus-daemon gave no address")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(self.runtime),
               "XDG_RUNTIME_DIR": str(self.runtime), "DBUS_SESSION_BUS_ADDRESS": self.bus,
               "KWIN_WAYLAND_NO_PERMISSION_CHECKS": "1", "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS": "1",
               "XCURSOR_PATH": str(self.runtime / "icons"), "XCURSOR_THEME": "invisible"}
        write_invisible_cursor_theme(self.runtime / "icons")
        with open(artifacts / "kwin.log", "ab") as log:
            self.compositor = subprocess.Popen(
                [kwin, "--virtual", "--width", str(WIDTH), "--height", str(HEIGHT), "--socket", self.socket,
                 "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"],
                env=env, stdin=DEVNULL, stdout=log, stderr=log)
        wait_until(lambda: (self.runtime / self.socket).exists() or not self.alive(), 30, "KWin's socket")
        check(self.alive(), "KWin ended at start; see kwin.log")

    def screenshot(self):
        """The whole workspace as raw RGB bytes: KWin writes premultiplied BGRA rows into a pipe we pass."""
        import dbus  # python3-dbus, only for KWin
        bus = dbus.bus.BusConnection(self.bus)
        shots = dbus.Interface(bus.get_object("org.kde.KWin", "/org/kde/KWin/ScreenShot2"), "org.kde.KWin.ScreenShot2")
        read_end, write_end = os.pipe()
        try:
            info = shots.CaptureWorkspace({"native-resolution": True, "include-cursor": False},
                                          dbus.types.UnixFd(write_end))
        finally:
            os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            data = pipe.read()
        bus.close()
        width, height, stride = int(info["width"]), int(info["height"]), int(info["stride"])
        check((width, height, int(info["format"])) == (self.width, self.height, 6), f"unexpected screenshot {dict(info)}")
        rows = b"".join(data[y * stride:y * stride + 4 * width] for y in range(height)) if stride != 4 * width else data
        rgb = bytearray(3 * width * height)
        rgb[0::3], rgb[1::3], rgb[2::3] = rows[2::4], rows[1::4], rows[0::4]
        return bytes(rgb)

    def stop(self):
        super().stop()
        self.dbus.terminate()
        self.dbus.wait(timeout=10)

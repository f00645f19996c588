"""The Wayland benches: a headless compositor (sway or KWin) with the input helper, screenshots and the clients."""

import os
import re
import select
import shutil
import signal
import struct
import subprocess
import tempfile
from pathlib import Path

from .bench import DESKTOP_RGB, DEVNULL, HEIGHT, WIDTH, Beneath, Bench, Failure, check, start_xvfb, wait_until

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

    def __init__(self, tools, artifacts, runtime=None):
        self.tools, self.artifacts, self.width, self.height = tools, artifacts, WIDTH, HEIGHT
        self.runtime = runtime or artifacts / f"{self.name}-runtime"
        if runtime is None:
            shutil.rmtree(self.runtime, ignore_errors=True)
            self.runtime.mkdir(mode=0o700, parents=True)
        self.hands, self.compositor, self.beneath = None, None, []  # beneath: wev, and xev on GNOME

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

    def wait_started(self, timeout):
        """Waits for the compositor's socket; a compositor that ends instead takes the bench down with it, as the
        caller has no bench to stop yet."""
        try:
            wait_until(lambda: (self.runtime / self.socket).exists() or not self.alive(), timeout,
                       f"{self.name}'s socket")
            check(self.alive(), f"{self.name} ended at start; see {self.name}.log")
        except Failure:
            self.stop()
            raise

    def kill(self):
        """Kills the compositor outright, as a crash would."""
        self.compositor.send_signal(signal.SIGKILL)
        self.compositor.wait(timeout=10)

    def stop(self):
        for process in self.beneath:  # wev spins once its compositor is gone
            process.kill()
            process.wait()
        if self.hands is not None and self.alive():
            self.hands.stop()
        if self.alive():
            self.compositor.terminate()
            try:
                self.compositor.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.kill()


class SwayBench(WaylandBench):
    """Headless sway with the pixman renderer, run as an unprivileged user. Its runtime folder, config and cursor
    theme lie in /tmp, which that user reaches wherever the clone is (not in /root, mode 700)."""

    name = "sway"
    socket = "wayland-1"

    def __init__(self, tools, artifacts):
        super().__init__(tools, artifacts, Path(tempfile.mkdtemp(prefix="zimblet-sway-")))
        config = self.runtime / "sway.conf"
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
        self.wait_started(20)

    def screenshot(self):
        """The whole output as raw RGB bytes."""
        shot = subprocess.run(["grim", "-t", "ppm", "-"], env=self.env(), check=True, capture_output=True,
                              timeout=30).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", shot)
        check(header is not None and (int(header[1]), int(header[2])) == (self.width, self.height),
              f"unexpected screenshot header {shot[:20]}")
        return shot[header.end():]

    def stop(self):
        super().stop()
        shutil.rmtree(self.runtime, ignore_errors=True)


class KWinBench(WaylandBench):
    """KWin nested in an Xvfb of its own: its output is a window at 0,0 that covers the X screen, so pictures come
    from the X root and need neither OpenGL nor KWin's screenshot interface (KWin 6 with no GPU has neither).
    Input through fake input, allowed by KWin's environment."""

    name = "kwin"
    socket = "kwin-e2e"
    screenshot = Bench.screenshot  # the X root; the window beneath covering it all shows KWin's window does too

    def __init__(self, tools, artifacts):
        super().__init__(tools, artifacts)
        self.xvfb, self.display = start_xvfb([], artifacts / "xvfb.log")
        # The installed binary carries a file capability a container may refuse: run a plain copy (KWin 6 wants
        # it to keep its name).
        kwin = artifacts / "kwin_wayland"
        shutil.copyfile(shutil.which("kwin_wayland"), kwin)
        kwin.chmod(0o755)
        (self.runtime / ".config").mkdir()  # windows placed as maximized: the one beneath covers the output
        (self.runtime / ".config" / "kwinrc").write_text("[Windows]\nPlacement=Maximizing\n")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(self.runtime),
               "XDG_RUNTIME_DIR": str(self.runtime), "KWIN_WAYLAND_NO_PERMISSION_CHECKS": "1"}
        with open(artifacts / "kwin.log", "ab") as log:
            self.compositor = subprocess.Popen(
                [kwin, "--x11-display", self.display, "--width", str(WIDTH), "--height", str(HEIGHT),
                 "--socket", self.socket, "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"],
                env=env, stdin=DEVNULL, stdout=log, stderr=log)
        self.wait_started(30)

    def stop(self):
        super().stop()
        self.xvfb.terminate()
        self.xvfb.wait(timeout=10)


class MutterBench(WaylandBench):
    """Headless Mutter on a D-Bus session bus of its own, with its XWayland; input through its RemoteDesktop
    interface; pictures of the overlay's own X11 window (XWayland's root holds no picture, and Mutter's own
    pictures come only through PipeWire)."""

    name = "mutter"
    socket = "mutter-e2e"
    KEYSYMS = {"Escape": 0xFF1B, "alt": 0xFFE9, "Shift_L": 0xFFE1}  # others: Latin-1 characters

    def __init__(self, tools, artifacts):
        super().__init__(tools, artifacts)
        self.background = bytes(3 * WIDTH * HEIGHT)  # pictures are the overlay's own, transparent pixels black
        self.dbus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"], stdin=DEVNULL,
                                     stdout=subprocess.PIPE, stderr=DEVNULL)
        self.bus = self.dbus.stdout.readline().decode().strip()
        check(self.bus, "dbus-daemon gave no address")
        if not os.path.isdir("/tmp/.X11-unix"):  # a fresh root may lack it, and Mutter then starts no XWayland
            os.mkdir("/tmp/.X11-unix")
            os.chmod("/tmp/.X11-unix", 0o1777)
        settings = self.runtime / ".config" / "glib-2.0" / "settings"
        # A click on xev's window must not raise it over wev's; relative moves are exact only unaccelerated.
        settings.mkdir(parents=True)
        (settings / "keyfile").write_text("[org/gnome/desktop/wm/preferences]\nraise-on-click=false\n"
                                          "[org/gnome/desktop/peripherals/mouse]\naccel-profile='flat'\n")
        env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(self.runtime),
               "XDG_RUNTIME_DIR": str(self.runtime), "DBUS_SESSION_BUS_ADDRESS": self.bus,
               "GSETTINGS_BACKEND": "keyfile"}
        told = artifacts / "mutter-env.txt"
        # Mutter ends with its command: this one tells XWayland's display and its own id, and waits.
        with open(artifacts / "mutter.log", "ab") as log:
            self.compositor = subprocess.Popen(
                ["mutter", "--headless", "--wayland", "--virtual-monitor", f"{WIDTH}x{HEIGHT}",
                 f"--wayland-display={self.socket}", "--", "sh", "-c",
                 '{ env; echo "COMMAND=$$"; } > "$0.part" && mv "$0.part" "$0" && exec sleep infinity', told],
                env=env, stdin=DEVNULL, stdout=log, stderr=log)
        wait_until(lambda: told.exists() or not self.alive(), 30, "Mutter and XWayland")
        check(self.alive(), "Mutter ended at start; see mutter.log")
        said = dict(line.split("=", 1) for line in told.read_text().splitlines() if "=" in line)
        self.x11, self.command = {key: said[key] for key in ("DISPLAY", "XAUTHORITY")}, int(said["COMMAND"])
        info = subprocess.run(["xdpyinfo"], env=self.env(), check=True, capture_output=True, text=True).stdout
        release = int(re.search(r"vendor release number:\s+(\d+)", info)[1])  # 12401006: 24.1.6
        self.xwayland = (release // 100000 % 100, release // 1000 % 100)

    def env(self):
        return dict(super().env(), **self.x11)

    def input(self, verb, *args):
        """One command in the Wayland input helper's words (move X Y, down|up left|right, wheel [4|5], key NAME)."""
        if verb == "move":  # relative moves are exact, absolute ones need a screencast stream
            x, y = map(int, args)
            self.hands.NotifyPointerMotionRelative(float(x - self.pointer[0]), float(y - self.pointer[1]))
            self.pointer = (x, y)
        elif verb in ("down", "up"):
            self.hands.NotifyPointerButton({"left": 272, "right": 273, "middle": 274}[args[0]], verb == "down")
        elif verb == "wheel":
            self.hands.NotifyPointerAxisDiscrete(0, -1 if int(*(args or (4,))) == 4 else 1)
        else:
            keys = [self.KEYSYMS.get(name) or ord(name) for name in args[0].split("+")]
            for key, pressed in [(key, True) for key in keys] + [(key, False) for key in reversed(keys)]:
                self.hands.NotifyKeyboardKeysym(key, pressed)

    def windows_beneath(self, folder):
        """xev's X11 window over the whole screen, wev's Wayland window over part of it; returns their log."""
        log, wev = Beneath(xev=folder / "xev.log", wev=folder / "wev.log"), folder / "wev.log"
        for name, command in (("xev", ["xev", "-geometry", f"{WIDTH}x{HEIGHT}+0+0", "-event", "button"]),
                              ("wev", ["wev"])):
            self.beneath.append(self.client(["stdbuf", "-oL", *command], folder,
                                            stdout=open(folder / f"{name}.log", "wb"), stderr=subprocess.STDOUT))
            if name == "xev":  # no frame: then it covers the screen, at 0,0
                window = wait_until(lambda: self._x11_window("Event Tester"), 20, "xev's window")
                subprocess.run(["xprop", "-id", window, "-f", "_MOTIF_WM_HINTS", "32c", "-set", "_MOTIF_WM_HINTS",
                                "2, 0, 0, 0, 0"], env=self.env(), check=True)
                wait_until(lambda: f"{WIDTH}x{HEIGHT}+0+0" in self._xwininfo("-id", window), 20, "xev's window at 0,0")
        wait_until(lambda: "xdg_surface] configure" in wev.read_text(), 20, "wev's window")
        import dbus  # python3-dbus
        bus, name = dbus.bus.BusConnection(self.bus), "org.gnome.Mutter.RemoteDesktop"
        path = dbus.Interface(bus.get_object(name, "/org/gnome/Mutter/RemoteDesktop"), name).CreateSession()
        self.hands = dbus.Interface(bus.get_object(name, path), name + ".Session")
        self.hands.Start()
        for _ in range(2):  # the first events make the session's pointer and keyboard, and are lost
            self.hands.NotifyPointerMotionRelative(-5000.0, -5000.0)  # against the corner: at 0,0
            self.input("key", "Shift_L")
            wait_until(lambda: "capabilities: pointer keyboard" in wev.read_text(), 10, "the session's devices")
        self.pointer = (0, 0)
        self.input("move", WIDTH // 2, HEIGHT // 2)  # wev's window covers the centre wherever Mutter puts it
        local = wait_until(lambda: re.search(r"enter: .*x, y: ([\d.]+), ([\d.]+)", wev.read_text()), 10,
                           "the pointer to enter wev's window")
        log.offset = (WIDTH // 2 - int(float(local[1])), HEIGHT // 2 - int(float(local[2])))
        return log

    def _xwininfo(self, *args):
        return subprocess.run(["xwininfo", *args], env=self.env(), capture_output=True, text=True).stdout

    def _x11_window(self, name):
        found = re.search(r"Window id: (0x[0-9a-f]+)", self._xwininfo("-name", name))
        return found and found[1]

    def screenshot(self):
        """The overlay's own pixels as raw RGB bytes, without alpha: its transparent pixels are black."""
        window = self._x11_window("Zimblet")
        return subprocess.run(["import", "-window", window, "-depth", "8", "rgb:-"], env=self.env(),
                              capture_output=True, timeout=30).stdout if window else b""

    def stop(self):
        for process in self.beneath:
            process.kill()
            process.wait()
        try:  # Mutter ends with its command
            os.kill(self.command, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            self.compositor.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.kill()
        self.dbus.terminate()
        self.dbus.wait(timeout=10)

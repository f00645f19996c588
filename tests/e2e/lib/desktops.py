"""The desktops, each a table of its setup: how to start it and put windows beneath, how to start the program on
it, drive it and take its pictures. The scenarios are the same rows for all (scenarios.py)."""

import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
from collections import namedtuple
from pathlib import Path

from . import packages, sound
from .bench import (CONVERT, DESKTOP_RGB, DEVNULL, HEIGHT, STARTED, WIDTH, Beneath, Desktop, XScreen, accepts,
                    build_helper, check, pixel, reap, start, start_xvfb, wait_beneath, wait_until)
from .scenarios import play

NOBODY = 65534  # sway refuses to run as root
STALL = float(os.environ.get("ZIMBLET_E2E_STALL", 0))  # seconds each compositor stops at its start (README)


# The Wine setups: the name of its rows, its folders' suffix, the prefix's LogPixels (the dpi Wine reports for
# the monitor, whether the program is DPI aware or not), the scale the program must show it at (the virtual
# desktop is the bench's size times it, in device pixels), whether every run of a --repeat plays it or the
# first alone, and whether the program is the one its installer puts in a fresh prefix (InstalledWine).
WineSetup = namedtuple("WineSetup", "tag suffix dpi scale every_run installed", defaults=[False])
WINE_SETUPS = [WineSetup("wine", "", 96, 1, True), WineSetup("wine 192 dpi", "-192dpi", 192, 2, False),
               WineSetup("wine installed", "-installed", 96, 1, False, True)]


class Wine(XScreen):
    """The Windows program under Wine in Xvfb, over a window of our own (underneath_app.cpp); its sounds are
    judged by Wine's trace of PlaySound."""

    kind, native, end_timeout, wheel_through_bricks = "wine", False, 15, True
    KEY_LINES = ("keydown 65", "syskeydown 27", "keydown 27")  # the application's lines for A, Alt+Escape, Escape
    # winmm traces each PlaySound call on the calling thread, then names the file on the playing thread.
    SOUND_CALL = ":trace:winmm:MULTIMEDIA_PlaySound "
    SOUND_NAME = re.compile(r':trace:winmm:proc_PlaySound SoundName=L"(.*)" !')

    def __init__(self, build_dir, setup):
        self.setup, self.scale = setup, setup.scale
        super().__init__(build_dir, build_dir / "e2e" / f"run{setup.suffix}", ".exe")
        self.prefix, self.home = build_dir / "e2e" / f"wineprefix{setup.suffix}", build_dir

    def set_up(self):
        app = build_helper("underneath_app.cpp", self.prefix.parent / "underneath_app.exe",
                           ["x86_64-w64-mingw32-g++-posix", "-static", "-mwindows"])
        self.ensure_prefix()
        (self.run_dir / "underneath.log").touch()
        self.log = Beneath(self.scale, application=self.run_dir / "underneath.log")
        start(["wine", app, "underneath.log"], cwd=self.run_dir, env=self.env(), stdin=DEVNULL, stdout=DEVNULL,
              stderr=DEVNULL)
        width, height = self.device_size()
        wait_beneath(self, lambda: self.screenshot() == bytes(DESKTOP_RGB) * (width * height), 60)

    def env(self, debug="-all"):
        return dict(super().env(), WINEPREFIX=str(self.prefix), WINEARCH="win64", WINEDEBUG=debug,
                    WINEDLLOVERRIDES="mscoree,mshtml=")  # no Mono or Gecko dialogs

    def ensure_prefix(self):
        """Makes the Wine prefix unless its stamp says it is already there with these settings."""
        self.kill_wine()  # whatever an interrupted run left running
        size = "%dx%d" % self.device_size()
        stamp, wanted = self.prefix / "zimblet-e2e-prefix", f"layout 2 desktop {size} dpi {self.setup.dpi}\n"
        if stamp.is_file() and stamp.read_text() == wanted:
            return
        print(f"creating Wine prefix {self.prefix}", flush=True)
        shutil.rmtree(self.prefix, ignore_errors=True)
        reg_add = ["wine", "reg", "add"]
        for command in (["wineboot", "-i"],
                        # One virtual desktop of the screen's size: the hooks see all input, at 0,0 of the screen.
                        reg_add + [r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "Default", "/f"],
                        reg_add + [r"HKCU\Software\Wine\Explorer\Desktops", "/v", "Default", "/d", size, "/f"],
                        # Read by Wine 8 as the monitor's dpi (absent, it is 96).
                        reg_add + [r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                                   "/d", str(self.setup.dpi), "/f"],
                        # No audio device: PlaySound still runs through winmm, whose trace names the files.
                        reg_add + [r"HKCU\Software\Wine\Drivers", "/v", "Audio", "/d", "", "/f"],
                        ["wineserver", "-w"]):
            subprocess.run(command, env=self.env(), check=True, timeout=180, stdout=DEVNULL, stderr=DEVNULL)
        stamp.write_text(wanted)

    def wine(self, args, cwd, debug="-all", **streams):
        return subprocess.Popen(["wine", *map(str, args)], cwd=cwd, env=self.env(debug), stdin=DEVNULL, **streams)

    def launch(self, session, args=()):
        with open(session.stderr, "wb") as trace:
            return self.wine([session.program, *args], session.cwd, debug="fixme-all,trace+winmm", stdout=trace,
                             stderr=subprocess.STDOUT)

    def sounds(self, session):
        """How many PlaySound calls the trace shows so far, and the files they named (unescaped)."""
        lines = session.stderr.read_text(errors="replace").splitlines()
        names = [m.group(1).replace("\\\\", "\\") for m in map(self.SOUND_NAME.search, lines) if m]
        return sum(self.SOUND_CALL in line for line in lines), names

    def heard(self, session, play, label, sounds_at):
        """Runs play(); returns what it returns and how many times the trace shows a sound file played since, as
        many PlaySound calls, each naming that file."""
        calls, names = self.sounds(session)
        result = play()

        def played(name):
            named = wait_until(lambda: now[len(names):] if len(now := self.sounds(session)[1]) > len(names) else None,
                               10, "the sound file's name in the winmm trace")
            count = self.sounds(session)[0] - calls
            check(count == len(named) and set(named) == {name},
                  f"the trace shows {count} PlaySound calls of {named} for the replay host's {name}")
            return count
        return result, played

    def kill_wine(self):
        if (self.prefix / "system.reg").exists():
            for flag in ("-k", "-w"):
                subprocess.run(["wineserver", flag], env=self.env(), timeout=60, stdout=DEVNULL, stderr=DEVNULL)

    def stop(self):
        self.kill_wine()


class InstalledWine(Wine):
    """The program as its installer puts it for the user in a fresh prefix, started as its Start-menu shortcut does."""

    kind, key = "nsis", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zimblet"

    def set_up(self):
        setup = next(self.home.glob("zimblet-*-win64-setup.exe"), None)
        check(setup, f"no installer in {self.home}: run `cpack -G NSIS64` there")
        check(b'level="asInvoker"' in setup.read_bytes(), "the installer asks for administrator rights")
        shutil.rmtree(self.prefix, ignore_errors=True)
        self.ensure_prefix()
        subprocess.run(["wine", setup, "/S"], env=self.env(), check=True, timeout=120)
        user = next(path for path in (self.prefix / "drive_c" / "users").iterdir() if path.name != "Public")
        self.shortcut = user / "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Zimblet.lnk"
        folder = rf"C:\users\{user.name}\AppData\Local\Programs\Zimblet"
        self.home = user / "AppData/Local/Programs/Zimblet"
        self.program = self.home / "zimblet.exe"
        link = dict(re.findall(r"\t(Local path|Working directory)\t+: (.*)", subprocess.run(
            ["lnkinfo", self.shortcut], capture_output=True, text=True).stdout))
        check(link == {"Local path": rf"{folder}\zimblet.exe", "Working directory": folder},
              f"{self.shortcut} says {link}")
        check(sorted(os.listdir(self.home / "Sounds")) == sorted(os.listdir(self.sounds_dir)), "Sounds not installed")
        values = dict(re.findall(r"^ +(\w+) +REG_\w+ +(.*)$", self.reg_query().stdout, re.M))
        uninstaller = rf'"{folder}\Uninstall.exe"'
        check(int(values.pop("EstimatedSize", "0"), 16) > 0 and values == dict(
            DisplayName="Zimblet", DisplayVersion=setup.name.split("-")[1], Publisher="The Zimblet developers",
            DisplayIcon=rf"{folder}\zimblet.exe", InstallLocation=folder, NoModify="0x1", NoRepair="0x1",
            UninstallString=uninstaller, QuietUninstallString=uninstaller + " /S"), f"the Uninstall key: {values}")
        super().set_up()

    def reg_query(self):
        return subprocess.run(["wine", "reg", "query", self.key], env=self.env(), capture_output=True, text=True)

    def uninstall(self):
        """The silent uninstaller hands over to a copy of itself and returns at once: wait for what it takes away."""
        subprocess.run(["wine", self.home / "Uninstall.exe", "/S"], env=self.env(), check=True, timeout=60)
        wait_until(lambda: not self.home.exists() and not self.shortcut.exists() and self.reg_query().returncode,
                   30, "the uninstaller to take the folder, the shortcut and the Uninstall key away", interval=0.5)


class Linux:
    """What the Linux program's desktops share: a PulseAudio null sink its sounds are heard from, and its start."""

    KEY_LINES = ("keydown a", "keydown Escape", "keydown Escape")
    heard = staticmethod(sound.heard)

    program_env = {}  # beside the client's environment

    def launch(self, session, args=()):
        errors = session.stderr.with_suffix(".again.txt") if args else session.stderr
        env = dict(self.client_env(), PULSE_SERVER=f"unix:{self.pulse.runtime}/pulse/native", **self.program_env)
        with open(errors, "wb") as stream:
            return subprocess.Popen([session.program, *args], cwd=session.cwd, env=env, stdin=DEVNULL, stdout=stream,
                                    stderr=subprocess.STDOUT)

    def kill(self):
        """The display server gone, as a crash would take it."""
        self.server.send_signal(signal.SIGKILL)
        self.server.wait(timeout=10)

    pulse = server = None


# The kinds of X display: the name of its rows and run folder, Xvfb's extra arguments, whether xcompmgr
# composites, whether another client holds Escape without modifiers, the names of its RandR monitors, each
# WIDTH x HEIGHT, side by side ('*': the primary), its scale (Xft.dpi 96 x scale; sizes above are logical), and
# whether the program is the one the .deb installed in /usr rather than the build's.
Display = namedtuple("Display", "tag folder xvfb_args compositor escape_held monitors scale installed",
                     defaults=[(), 1, False])
GROWN_HEIGHT = 1024  # where the root grows to in the grown-root row
INSTALLED_SOUNDS = Path("/usr/share/zimblet/Sounds")
DISPLAYS = [
    Display("plain", "plain", [], False, False),
    # Without Composite Xvfb offers no 32-bit visual: the program falls back to the default one.
    Display("no Composite, default visual", "default-visual", ["-extension", "COMPOSITE"], False, False),
    # Without MIT-SHM pictures come by XPutImage; with Escape held elsewhere (xbindkeys) only XInput2's raw key
    # events can tell the program of it.
    Display("xcompmgr, no MIT-SHM, Escape held elsewhere", "xcompmgr", ["-extension", "MIT-SHM"], True, True),
    # Two monitors, the primary on the right: the bricks start there.
    Display("two monitors, the primary on the right", "monitors", [], False, False, ("left", "*right")),
    Display("Xft.dpi 192: every pixel a 2x2 block", "scale-2", [], False, False, scale=2),
]


class X11(Linux, XScreen):
    """The Linux program on an Xvfb display, over xev's window; no window manager, so xev lies at 0,0 and the
    keyboard follows the pointer."""

    kind = "x11"

    def __init__(self, build_dir, display):
        self.width = WIDTH * max(1, len(display.monitors))
        self.origin = next(((WIDTH * i, 0) for i, name in enumerate(display.monitors) if name[0] == "*"), (0, 0))
        self.height = GROWN_HEIGHT  # Xvfb's root never grows past its first size: it starts grown, set_up shrinks it
        self.scale = display.scale
        super().__init__(build_dir, build_dir / "e2e-x11" / display.folder, xvfb_args=display.xvfb_args)
        self.display_kind, self.server = display, self.xvfb
        if display.installed:  # started from its run folder, it finds its sounds in /usr/share/zimblet
            self.kind, self.program, self.sounds_dir = "deb", Path("/usr/bin/zimblet"), INSTALLED_SOUNDS

    def client_env(self):
        return dict(self.env(), XDG_RUNTIME_DIR=str(self.pulse.runtime), HOME=str(self.pulse.runtime))

    def set_up(self):
        self.pulse = sound.Pulse(self.run_dir / "pulse")
        if self.scale > 1:  # what a desktop's settings set for a scaled screen, read by the program at start
            subprocess.run(["xrdb", "-nocpp", "-merge"], input=f"Xft.dpi: {96 * self.scale}\n", text=True,
                           env=self.env(), check=True, timeout=30)
        width, height = self.device_size()
        self.log = Beneath(self.scale, xev=self.start_beneath("xev", ["xev", "-geometry", f"{width}x{height}+0+0",
                                                          "-event", "button", "-event", "keyboard"], self.env()))
        wait_until(lambda: "IsViewable" in self.xwininfo("-name", "Event Tester"), 30, "xev's window")
        if self.display_kind.escape_held:  # xbindkeys runs its command at each Escape it takes
            (self.run_dir / "xbindkeysrc").write_text(f'"touch {self.run_dir}/escape-taken"\n  Escape\n')
            log = self.start_beneath("xbindkeys", ["xbindkeys", "-n", "-v", "-f", self.run_dir / "xbindkeysrc"],
                                     self.env())
            wait_until(lambda: "starting loop" in log.read_text(), 10, "xbindkeys to grab Escape")
        if self.display_kind.compositor:  # the window of xcompmgr's compositing-manager selection
            start(["xcompmgr"], env=self.env(), stderr=DEVNULL)
            wait_until(lambda: '"xcompmgr"' in self.xwininfo("-root", "-children"), 30, "xcompmgr")
        wait_beneath(self, lambda: True)
        self.grown = self.height, self.background  # what grow() brings back
        self.height = HEIGHT
        width, height = self.device_size()
        self.xrandr("--newmode", "start", "0", *[str(width)] * 4, *[str(height)] * 4)
        self.xrandr("--addmode", "screen", "start")
        self.xrandr("--output", "screen", "--mode", "start", "--fb", f"{width}x{height}")
        for i, name in enumerate(self.display_kind.monitors):
            size = WIDTH * self.scale, HEIGHT * self.scale
            self.xrandr("--setmonitor", name, f"{size[0]}/270x{size[1]}/211+{size[0] * i}+0", "none")
        wait_beneath(self, lambda: True)

    def xrandr(self, *args):
        subprocess.run(["xrandr", *args], env=self.env(), check=True, timeout=30)

    def grow(self):
        """The output takes Xvfb's first mode, the root grows with it (`--fb` alone: the pointer stays out)."""
        self.height, self.background = self.grown
        size = "%dx%d" % self.device_size()
        self.xrandr("--output", "screen", "--mode", size, "--fb", size)

    def escape_seen_elsewhere(self):
        if self.display_kind.escape_held:
            taken = self.run_dir / "escape-taken"
            wait_until(taken.exists, 5, "xbindkeys to take the Escape")
            taken.unlink()

    def lonely(self):
        """The program alone in a folder whose Sounds hold detach sounds that are not sound files."""
        lonely = self.run_dir / "lonely"
        (lonely / "Sounds").mkdir(parents=True)
        for variant in range(4):
            (lonely / "Sounds" / f"detach{variant}.wav").write_text("not a sound file\n")
        shutil.copy2(self.program, lonely / "zimblet")
        return dict(cwd=lonely, program=lonely / "zimblet")


class Wayland(Linux):
    """A Wayland compositor of the bench's own, with its sounds heard; wev is the window beneath, on the first
    output."""

    def client_env(self):
        env = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
        return dict(env, XDG_RUNTIME_DIR=str(self.runtime), WAYLAND_DISPLAY=self.socket)

    def run_compositor(self, command, env, timeout):
        self.pulse = sound.Pulse(self.run_dir / "pulse")
        with open(self.run_dir / f"{self.kind}.log", "ab") as log:
            self.server = start(command, env=dict(env, HOME=str(self.runtime), XDG_RUNTIME_DIR=str(self.runtime),
                                                  PATH=os.environ.get("PATH", "/usr/bin:/bin")),
                                stdin=DEVNULL, stdout=log, stderr=log)
        wait_until(lambda: accepts(self.runtime / self.socket) or self.server.poll() is not None, timeout,
                   f"{self.kind} to take clients")
        check(self.server.poll() is None, f"{self.kind} ended at start; see {self.kind}.log")
        if STALL:  # the compositor stopped for a while once it takes clients: one slow to make its outputs
            self.server.send_signal(signal.SIGSTOP)
            threading.Timer(STALL, self.server.send_signal, (signal.SIGCONT,)).start()

    def set_up(self):
        self.start_compositor()
        log = self.start_beneath("wev", ["wev"], self.client_env())  # sway tiles it, KWin maximizes it
        self.log = Beneath(wev=log)
        wait_beneath(self, lambda: f"configure: width: {self.output_width}; height: {self.height}" in log.read_text())


class Sway(Wayland, XScreen):
    """sway with the pixman renderer, run as an unprivileged user, its two outputs side by side windows on the
    Xvfb, with room for a third; pictures by grim. The pointer is one virtual pointer over the whole layout
    (virtual_pointer.cpp): X's own grab would hold a drag inside the window where it began, and sway a window's
    pointer inside its output. Keys come through an output's window, which has the X focus while the X pointer
    stays below every window. The program starts as a package installs it, from a folder without
    sounds: they lie under ../share."""

    kind, socket, outputs = "sway", "wayland-1", 2
    # wlroots 0.18 hands X positions on as fractions of the output's size, which come back exact only where
    # that size is a power of two.
    output_width = height = 1024
    width = outputs * output_width

    def __init__(self, build_dir, output_scale=1):
        # A fractional scale's pictures are sampled back to logical pixels: one logical pixel is a block of one or
        # two device pixels, which no enlargement of the replay host's frame gives.
        self.output_scale, self.scale = output_scale, output_scale if output_scale == int(output_scale) else 1
        self.device = int(self.output_width * output_scale)  # an output's width and height in device pixels
        folder = "run-sway" + (f"-x{output_scale}" if output_scale != 1 else "")
        super().__init__(build_dir, build_dir / "e2e" / folder,
                         xvfb_args=["-screen", "0", f"{(self.outputs + 1) * self.device}x{self.device + 1}x24"])
        if output_scale != 1:  # the buffers' sizes and scale are read from the protocol's log
            self.program_env = dict(WAYLAND_DEBUG="client")
        self.pointer_helper = build_dir / "tests" / "e2e_virtual_pointer"
        # Its runtime folder and config lie in /tmp, which that user reaches wherever the clone is.
        self.runtime = Path(tempfile.mkdtemp(prefix="zimblet-sway-"))
        config = self.runtime / "sway.conf"
        config.write_text(f"output * resolution {self.device}x{self.device} scale {output_scale} "
                          f"background #{'%02x%02x%02x' % DESKTOP_RGB} solid_color\n" +
                          "".join(f"output X11-{n} position {self.output_width * self.column(n)} 0\n"
                                  for n in range(1, 9)) +
                          "xwayland disable\ndefault_border none\nfocus_follows_mouse no\n")
        installed = self.program = self.run_dir / "usr" / "bin" / "zimblet"
        installed.parent.mkdir(parents=True)
        shutil.copy2(build_dir / "zimblet", installed)
        shutil.copytree(self.sounds_dir, self.run_dir / "usr" / "share" / "zimblet" / "Sounds")
        os.chown(self.runtime, NOBODY, NOBODY)

    def start_compositor(self):
        config = self.runtime / "sway.conf"
        self.run_compositor(["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups", "sway", "-c",
                               config], dict(DISPLAY=self.display, WLR_BACKENDS="x11", WLR_RENDERER="pixman",
                                             WLR_LIBINPUT_NO_DEVICES="1", WLR_X11_OUTPUTS=str(self.outputs)), 20)
        self.place_output_windows(self.outputs)
        self.swaymsg("focus", "output", "X11-2")  # new windows go there (sway 1.10 starts on the last output)
        self.pointer = start([self.pointer_helper], env=self.client_env(), text=True, stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE)

    @staticmethod
    def column(number):
        """Where output X11-`number` lies: the second at the left, so that the primary, the output at the layout's
        top-left, is not the first announced; outputs added later at the right."""
        return {1: 1, 2: 0}.get(number, 2)

    def laid_out(self, count):
        """Whether sway answers with `count` outputs, each at its mode and its place in the layout."""
        ipc = next(self.runtime.glob("sway-ipc.*.sock"), None)
        done = ipc and accepts(ipc) and self.swaymsg("-t", "get_outputs", "-r")
        outputs = json.loads(done.stdout) if done and done.returncode == 0 else []
        return len(outputs) == count and all(
            (o["current_mode"]["width"], o["current_mode"]["height"]) == (self.device, self.device) and
            o["rect"]["x"] == self.output_width * self.column(int(o["name"].split("-")[1])) for o in outputs)

    def place_output_windows(self, count):
        """Each output's window (made at 0,0, in the order of their names) where its output lies in the layout,
        once sway has given every output its mode and place, and its window that size and mapped it."""
        wait_until(lambda: self.laid_out(count), 20, f"sway to lay {count} outputs out")
        windows = sorted(wait_until(lambda: self.windows(r"\(has no name\): \(\)", (self.device,) * 2, count), 20,
                                    f"{count} output windows"), key=lambda window: int(window, 16))
        for number, window in enumerate(windows):
            self.place(window, self.device * self.column(number + 1), 0)
        self.xdotool("mousemove", 0, self.device)
        self.focus(windows[0])

    def input(self, verb, *args):
        """The words of XScreen.input; the pointer's through the virtual pointer."""
        if verb not in ("move", "down", "up", "wheel"):
            return super().input(verb, *args)
        self.pointer.stdin.write(" ".join(map(str, (verb, *(args or (4,)), *((self.width, self.height) if verb ==
                                                                            "move" else ())))) + "\n")
        self.pointer.stdin.flush()
        check(self.pointer.stdout.readline() == "ok\n", "the virtual pointer ended")

    def swaymsg(self, *args):
        sock = next(self.runtime.glob("sway-ipc.*.sock"))
        return subprocess.run(["swaymsg", "-s", sock, *args], env=self.client_env(), capture_output=True, timeout=10)

    def add_output(self):
        """One more output at the right; the picture then covers it."""
        check(self.swaymsg("create_output").returncode == 0, "sway made no output")
        self.outputs += 1
        self.place_output_windows(self.outputs)
        self.resize(self.width + self.output_width)

    def remove_output(self):
        """The last output unplugged (sway 1.8 and later); False where sway cannot."""
        name = max(json.loads(self.swaymsg("-t", "get_outputs", "-r").stdout), key=lambda o: o["rect"]["x"])["name"]
        if self.swaymsg("output", name, "unplug").returncode != 0:
            return False
        self.outputs -= 1
        wait_until(lambda: self.laid_out(self.outputs), 20, f"sway to lay {self.outputs} outputs out")
        self.resize(self.width - self.output_width)
        return True

    def resize(self, width):
        """The screen's new width: a new output's background is the last one's (swaybg's colour, which sway 1.10
        draws darker towards the edges at a fractional scale)."""
        (old, rows), self.width = self.device_size(), width
        new, last = self.device_size()[0], 3 * self.output_width * self.scale
        rows = [self.background[3 * old * y:3 * old * (y + 1)] for y in range(rows)]
        self.background = b"".join((row + row[-last:])[:3 * new] for row in rows)

    def screenshot(self):
        """The layout as raw RGB bytes, in device pixels, or sampled back to logical ones at a fractional scale."""
        shot = subprocess.run(["grim", "-s", str(self.output_scale), "-t", "ppm", "-"], env=self.client_env(),
                              check=True, capture_output=True, timeout=30).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", shot)
        check(header is not None, f"unexpected screenshot header {shot[:20]}")
        size = int(header[1]), int(header[2])
        if size != (self.width * self.device // self.output_width, self.device):
            return b""
        if self.scale == self.output_scale:
            return shot[header.end():]
        return subprocess.run([CONVERT, "ppm:-", "-sample", "%dx%d!" % self.device_size(), "-depth", "8", "rgb:-"],
                              input=shot, check=True, capture_output=True).stdout

    def check_start(self, session):
        """On a scaled output the buffers are of its device size, at that scale: a compositor that enlarges a
        buffer of logical size may show the same picture."""
        if self.output_scale == 1:
            return
        log, size = session.stderr.read_text(errors="replace"), self.device
        check(re.search(rf"create_buffer\(new id wl_buffer[@#]\d+, 0, {size}, {size}, {4 * size}, 0\)", log),
              f"no buffer of {size}x{size} device pixels in the protocol log")
        scaled = rf"set_buffer_scale\({self.scale}\)" if self.scale != 1 else \
            rf"wp_viewport[@#]\d+\.set_destination\({self.output_width}, {self.height}\)"
        check(re.search(scaled, log), f"no {scaled} in the protocol log")

    def stop(self):
        super().stop()
        shutil.rmtree(self.runtime, ignore_errors=True)


class KWin(Wayland, XScreen):
    """KWin nested in the Xvfb: its two outputs are windows side by side that cover the X screen, so pictures come
    from the X root and need neither OpenGL nor KWin's screenshot interface (KWin 6 with no GPU has neither)."""

    kind, socket, width = "kwin", "kwin-e2e", 2 * WIDTH

    def __init__(self, build_dir):
        super().__init__(build_dir, build_dir / "e2e" / "run-kwin")
        self.runtime = self.run_dir / "kwin-runtime"
        self.runtime.mkdir(mode=0o700)
        # Windows placed maximized: wev covers the output. No barrier holds the pointer at the seam (KWin 6 holds
        # it for 100 pixels).
        (self.runtime / ".config").mkdir()
        (self.runtime / ".config" / "kwinrc").write_text("[Windows]\nPlacement=Maximizing\n"
                                                         "[EdgeBarrier]\nEdgeBarrier=0\nCornerBarrier=false\n")
        # The installed binary carries a file capability a container may refuse: run a plain copy (KWin 6 wants
        # it to keep its name).
        kwin = self.run_dir / "kwin_wayland"
        shutil.copyfile(shutil.which("kwin_wayland"), kwin)
        kwin.chmod(0o755)

    def start_compositor(self):
        self.run_compositor([self.run_dir / "kwin_wayland", "--x11-display", self.display, "--width", str(WIDTH),
                             "--height", str(HEIGHT), "--output-count", "2", "--socket", self.socket,
                             "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"], {}, 30)
        # Both output windows open at 0,0, the second output's made last; that output lies at the right.
        windows = wait_until(lambda: self.windows(r'"KDE Wayland Compositor[^"]*": \([^)]*\)', (WIDTH, HEIGHT), 2), 20,
                             "KWin's two output windows")
        self.place(max(windows, key=lambda window: int(window, 16)), WIDTH, 0)
        self.xdotool("mousemove", 0, 0)  # KWin puts a new window on the output under the pointer


class Mutter(Wayland, Desktop):
    """Headless Mutter on a D-Bus session bus of its own, with its XWayland: the program runs its X11 overlay
    there. Input through Mutter's RemoteDesktop interface; pictures of the overlay's own X window, its transparent
    pixels black (XWayland's root holds no picture, and Mutter's own pictures come only through PipeWire)."""

    kind, socket = "gnome", "mutter-e2e"
    KEYSYMS = {"Escape": 0xFF1B, "alt": 0xFFE9, "Shift_L": 0xFFE1}  # others: Latin-1 characters

    def __init__(self, build_dir):
        super().__init__(build_dir, build_dir / "e2e" / "run-gnome")
        self.runtime, self.background, self.x11 = self.run_dir / "mutter-runtime", bytes(3 * WIDTH * HEIGHT), {}
        self.runtime.mkdir(mode=0o700)
        self.dbus = start(["dbus-daemon", "--session", "--nofork", "--print-address"], stdin=DEVNULL,
                          stdout=subprocess.PIPE, stderr=DEVNULL)

    def client_env(self):
        return dict(super().client_env(), **self.x11)
    env = client_env  # the X clients', xwininfo's too: on XWayland

    def start_compositor(self):
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
        told = self.run_dir / "mutter-env.txt"
        # Mutter ends with its command: this one tells XWayland's display, and waits.
        self.run_compositor(["mutter", "--headless", "--wayland", "--virtual-monitor", f"{WIDTH}x{HEIGHT}",
                             f"--wayland-display={self.socket}", "--", "sh", "-c",
                             'env > "$0.part" && mv "$0.part" "$0" && exec sleep infinity',
                             told], dict(DBUS_SESSION_BUS_ADDRESS=self.bus, GSETTINGS_BACKEND="keyfile"), 30)
        wait_until(lambda: told.exists() or self.server.poll() is not None, 30, "Mutter and XWayland")
        check(self.server.poll() is None, "Mutter ended at start; see gnome.log")
        said = dict(line.split("=", 1) for line in told.read_text().splitlines() if "=" in line)
        self.x11 = {key: said[key] for key in ("DISPLAY", "XAUTHORITY")}
        info = subprocess.run(["xdpyinfo"], env=self.client_env(), check=True, capture_output=True, text=True).stdout
        release = int(re.search(r"vendor release number:\s+(\d+)", info)[1])  # 12401006: 24.1.6
        self.xwayland = (release // 100000 % 100, release // 1000 % 100)

    def refusal(self):
        """XWayland before 24.1 ignores X11 input shapes: the program must refuse to start, saying why."""
        if self.xwayland >= (24, 1):
            return None

        def refused():
            done = subprocess.run([self.program], env=self.client_env(), capture_output=True, text=True, timeout=10)
            check(done.returncode == 1 and "layer-shell" in done.stderr and "ZIMBLET_FORCE_X11" in done.stderr,
                  f"exit code {done.returncode}, stderr {done.stderr.strip()!r}")
        return "XWayland %d.%d: the program refuses with 1, naming layer-shell and ZIMBLET_FORCE_X11" % self.xwayland, refused

    def set_up(self):
        """xev's X11 window over the whole screen, wev's Wayland window over part of it, then the input session."""
        self.start_compositor()
        if self.refusal():
            return
        xev = self.start_beneath("xev", ["xev", "-geometry", f"{WIDTH}x{HEIGHT}+0+0", "-event", "button"],
                                 self.client_env())
        window = wait_until(lambda: self.x11_window("Event Tester"), 20, "xev's window")
        # No frame: then it covers the screen, at 0,0.
        subprocess.run(["xprop", "-id", window, "-f", "_MOTIF_WM_HINTS", "32c", "-set", "_MOTIF_WM_HINTS",
                        "2, 0, 0, 0, 0"], env=self.client_env(), check=True)
        wait_until(lambda: f"{WIDTH}x{HEIGHT}+0+0" in self.xwininfo("-id", window), 20, "xev's window at 0,0")
        wev = self.start_beneath("wev", ["wev"], self.client_env())
        self.log = Beneath(xev=xev, wev=wev)
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
        self.log.offset = (WIDTH // 2 - pixel(local[1]), HEIGHT // 2 - pixel(local[2]))

    def input(self, verb, *args):
        """The words of XScreen.input, through RemoteDesktop: relative moves are exact, absolute ones need a
        screencast stream."""
        if verb == "move":
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

    def x11_window(self, name):
        found = re.search(r"Window id: (0x[0-9a-f]+)", self.xwininfo("-name", name))
        return found and found[1]

    def screenshot(self):
        window = self.x11_window("Zimblet")
        return subprocess.run(["import", "-window", window, "-depth", "8", "rgb:-"], env=self.client_env(),
                              capture_output=True, timeout=30).stdout if window else b""



def on(rows, make, tag):
    """Sets a desktop up and plays its rows; a fault of its own that no row caught is a row of its own. Whatever
    it started ends with it, after a failed set-up too."""
    def run():
        since, bench = len(STARTED), None
        try:
            bench = make()
            bench.set_up()
            refusal = bench.refusal()
            if refusal:
                rows.row(f"{tag} 1 {refusal[0]}", refusal[1])
            else:
                play(bench, rows, tag)
        finally:
            reap(since)
            if bench is not None:
                bench.stop()
    rows.harness(tag, run)


# The ways the Linux program cannot start: name; what runs first (an Xvfb with these arguments, or weston, whose
# display is then weston-e2e); the environment beside XDG_RUNTIME_DIR, and the program's arguments; an
# address-space limit; what stderr must hold (a whole line where it is exact). Each ends with exit code 1, but for
# an argument it does not know: 2.
REFUSALS = [
    ("an argument it does not know", None, {}, ["--bogus"], None, ["usage: zimblet [--quit | --help | --version]\n"]),
    ("no DISPLAY", None, {}, [], None,
     ["zimblet: no display: DISPLAY is not set, so there is no desktop to put the bricks on\n"]),
    ("a display that is not there", None, {"DISPLAY": ":731"}, [], None,
     ["zimblet: cannot open the display ':731'\n"]),
    ("no memory for the surface", ["-screen", "0", "4000x4000x24"], {}, [], 48 << 20,
     ["zimblet: cannot allocate the 4000x4000 drawing surface (61 MiB)\n"]),
    ("no layer-shell (weston)", "weston", {"WAYLAND_DISPLAY": "weston-e2e"}, [], None,
     ["layer-shell", "X11 session", "ZIMBLET_FORCE_X11"]),
    ("an unreachable compositor", None, {"WAYLAND_DISPLAY": "no-such-compositor"}, [], None,
     ["cannot connect", "DISPLAY"]),
    # Forced to X11 on a compositor: no Wayland refusal, the X11 desktop's own.
    ("X11 forced without DISPLAY", "weston", {"WAYLAND_DISPLAY": "weston-e2e", "ZIMBLET_FORCE_X11": "1"}, [], None,
     ["ZIMBLET_FORCE_X11", "DISPLAY is not set"]),
]


def refusals(build_dir):
    """Each way the program cannot start: its message on stderr, and exit code 1."""
    run_dir, problems = build_dir / "e2e" / "refusals", []
    shutil.rmtree(run_dir, ignore_errors=True)
    run_dir.mkdir(mode=0o700, parents=True)
    base = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
    base["XDG_RUNTIME_DIR"] = str(run_dir)
    for name, first, env, arguments, address_limit, words in REFUSALS:
        env, since = dict(base, **env), len(STARTED)
        try:
            if first == "weston":
                with open(run_dir / "weston.log", "ab") as log:
                    server = start(["weston", "--backend=headless-backend.so", "--socket=weston-e2e", "--idle-time=0",
                                    "--shell=desktop-shell.so"], env=base, stdin=DEVNULL, stdout=DEVNULL, stderr=log)
                wait_until(lambda: accepts(run_dir / "weston-e2e") or server.poll() is not None, 20, "weston")
            elif first:
                env["DISPLAY"] = start_xvfb(first, run_dir / "xvfb.log")[1]
            limit = ["prlimit", f"--as={address_limit}"] if address_limit else []
            done = subprocess.run([*limit, build_dir / "zimblet", *arguments], env=env, stdin=DEVNULL,
                                  capture_output=True, text=True, timeout=10)
            missing = [word for word in words if word not in done.stderr]
            if done.returncode != (2 if arguments else 1) or missing:
                problems.append(f"{name}: exit {done.returncode}, stderr {done.stderr.strip()!r}")
        finally:
            reap(since)
    check(not problems, "; ".join(problems))


def run_wine(build_dir, rows):
    for setup in WINE_SETUPS:
        if setup.every_run or rows.run == 1:
            on(rows, lambda: (InstalledWine if setup.installed else Wine)(build_dir, setup), setup.tag)


def run_x11(build_dir, rows):
    rows.row("refusals: a wrong argument, no display, no memory, no layer-shell: each with its message and exit code",
             lambda: refusals(build_dir))
    for display in DISPLAYS:
        on(rows, lambda: X11(build_dir, display), f"[{display.tag}]")


def run_packages(build_dir, rows):
    rows.row("the files: desktop entry, AppStream metadata, manual page, lintian, rpmlint, the same files in both",
             *packages.checks(build_dir))
    rows.row("the .deb installed by apt-get: zimblet --version names its version, --help shows how it ends",
             lambda: packages.install(build_dir))
    on(rows, lambda: X11(build_dir, Display("installed .deb", "installed", [], False, False, installed=True)),
       "[installed .deb]")
    rows.row("the .deb removed: nothing of it left under /usr", lambda: packages.remove(build_dir))


def sway_scales():
    """The output scales sway plays at: fractional ones where it offers wp_fractional_scale_v1 (sway 1.9)."""
    version = re.search(r"(\d+)\.(\d+)", subprocess.run(["sway", "--version"], capture_output=True, text=True).stdout)
    return (2, 1.5) if version and (int(version[1]), int(version[2])) >= (1, 9) else (2,)


def run_wayland(build_dir, rows):
    for desktop in (Sway, KWin, Mutter):
        on(rows, lambda: desktop(build_dir), desktop.kind)
    for scale in sway_scales() if rows.run == 1 else ():  # a column of sway's rows at each scale, in one run
        on(rows, lambda: Sway(build_dir, scale), f"sway x{scale}")


DESKTOPS = {"wine": run_wine, "x11": run_x11, "wayland": run_wayland, "packages": run_packages}

"""The Linux program on X11 in Xvfb, on three kinds of display, and the ways it cannot start."""

import ctypes
import os
import shutil
import subprocess
from collections import namedtuple

from . import scenarios
from .bench import DEVNULL, Beneath, Bench, check, fresh_run, start_xvfb, wait_beneath, wait_until
from .hide_extension import HiddenExtension
from .plan import centre, make_plan
from .session import Session
from .sound import Pulse, drag_heard, likeness, pull_loose, snap_and_attach, sound_file, wav_samples

class X11Session(Session):
    """One start of the native program; its stderr is kept, its sound goes to the null sink."""

    native = True
    end_timeout = 5
    KEY_LINES = ("keydown a", "keydown Escape", "keydown Escape")

    def __init__(self, bench, name, cwd, setup, pulse):
        self.pulse = pulse
        super().__init__(bench, name, cwd, setup)

    def launch(self, cwd):
        self.stderr = self.bench.artifacts / f"{self.name}-stderr.txt"
        self.cwd, self.env = cwd, dict(self.bench.env(), XDG_RUNTIME_DIR=self.pulse.env["XDG_RUNTIME_DIR"],
                                       HOME=self.pulse.env["HOME"])
        with open(self.stderr, "wb") as err:
            return subprocess.Popen([self.setup.program_exe], cwd=cwd, env=self.env, stdin=DEVNULL, stdout=DEVNULL,
                                    stderr=err)

    def run_again(self, *args):
        return subprocess.run([self.setup.program_exe, *args], cwd=self.cwd, env=self.env, stdin=DEVNULL,
                              capture_output=True, timeout=10).returncode

    def focus_beneath(self, x, y):  # the focus is PointerRoot: keys go to the window under the pointer
        self.move(x, y)


def click_on_brick(session, plan):
    """Clicks on a brick without moving, in its middle and on its last pixel, change nothing and never reach the
    window beneath."""
    mark = session.log.mark()
    for point in (centre(plan.lone), (plan.lone.x + 15, plan.lone.y + 18)):
        session.move(*point)
        session.button("left", "down")
        session.button("left", "up")
        session.wait_picture("after a click on a brick")
    scenarios.no_buttons_leaked(session, mark, plan)


def stays_on_top(session, plan):
    """The window beneath raised over the bricks: the program raises itself again."""
    window = subprocess.run(["xdotool", "search", "--name", "^Event Tester$"], env=session.bench.env(), check=True,
                            capture_output=True, text=True).stdout.split()[0]
    session.bench.xdotool("windowraise", window)  # done once xdotool returns: it waits for the server
    session.wait_picture("after a window was raised over the bricks")
    children = subprocess.run(["xwininfo", "-root", "-children"], env=session.bench.env(), check=True,
                              capture_output=True, text=True).stdout
    check('"Zimblet"' in children, "the overlay window is gone")


def bell_without_sound_file(session, plan):
    """Started where the attach sounds are missing and the detach sounds are no sound files at all: the attach and
    the pull loose each ring the theme's bell instead, and the program runs on."""
    scenarios.start(session, plan)
    heard = [("attach", scenarios.attach(session, plan, drag_heard))]
    heard.append(("detach", scenarios.pull(session, plan, lambda *drag: drag_heard(*drag, sounds_at="down"))))
    for kind, (expected, after) in heard:
        similar = likeness(after, wav_samples(sound_file(session, expected, kind)))
        check(similar < 0.9, f"the {kind} file was played after all (likeness {similar:.3f})")
    session.click_through("left", *plan.bare)
    session.require_running()


def display_lost(session, bench):
    """The X server goes away under the program: it ends within 5 s with a message, not a signal."""
    bench.xvfb.kill()
    code = session.wait_end(5)
    check(code == 1, f"the program ended with {code} when the display went away")
    check("lost the connection to the display" in session.errors(), f"stderr: {session.errors()!r}")


FAILURE_CASES = [
    # name, DISPLAY (None: unset; a list: an Xvfb of ours with these arguments), an extension hidden from that
    # display, an address-space limit, the message
    ("no DISPLAY", None, None, None,
     "zimblet: no display: DISPLAY is not set, so there is no desktop to put the bricks on"),
    ("a display that is not there", ":731", None, None, "zimblet: cannot open the display ':731'"),
    ("no SHAPE extension", [], "SHAPE", None,
     "zimblet: the display has no SHAPE extension (1.1 or later); without it the bricks cannot let clicks through"),
    ("no memory for the surface", ["-screen", "0", "4000x4000x24"], None, 48 << 20,
     "zimblet: cannot allocate the 4000x4000 drawing surface (61 MiB)"),
]


def start_failures(program, artifacts):
    """Each way the program cannot start: exactly its own one-line message on stderr, and exit code 1."""
    problems = []
    for name, display, hidden, address_limit, message in FAILURE_CASES:
        env = {key: value for key, value in os.environ.items() if key != "DISPLAY"}
        xvfb = proxy = None
        try:
            if isinstance(display, list):
                xvfb, display = start_xvfb(display, artifacts / "failure-xvfb.log")
            if hidden:
                proxy = HiddenExtension(display, hidden)
                display = proxy.display
            if display:
                env["DISPLAY"] = display
            limit = ["prlimit", f"--as={address_limit}"] if address_limit else []
            try:
                done = subprocess.run([*limit, str(program)], env=env, capture_output=True, text=True, timeout=10)
                if done.returncode != 1 or done.stderr != message + "\n":
                    problems.append(f"{name}: exit {done.returncode}, stderr {done.stderr.strip()!r}")
            except subprocess.TimeoutExpired:
                problems.append(f"{name}: still running after 10 s")
        finally:
            if proxy:
                proxy.close()
            if xvfb:
                xvfb.kill()
                xvfb.wait()
    check(not problems, "; ".join(problems))


# One run of every scenario on one kind of display: the name of its rows and run folder, Xvfb's extra
# arguments, whether xcompmgr composites, whether another client holds Escape without modifiers.
Display = namedtuple("Display", "tag folder xvfb_args compositor escape_held")
DISPLAYS = [
    Display("plain", "plain", [], False, False),
    # Without Composite Xvfb offers no 32-bit visual: the program falls back to the default one.
    Display("no Composite, default visual", "default-visual", ["-extension", "COMPOSITE"], False, False),
    # Without MIT-SHM pictures come by XPutImage; with Escape held elsewhere only XInput2's raw key events can
    # tell the program of it.
    Display("xcompmgr, no MIT-SHM, Escape held elsewhere", "xcompmgr", ["-extension", "MIT-SHM"], True, True),
]


class Xlib:
    """A connection of the harness's own: who owns the compositing-manager selection, and Escape without modifiers
    grabbed on the root, as another program's shortcut would hold it (the toy's own grab is then refused)."""

    lib = ctypes.CDLL("libX11.so.6")
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XDefaultRootWindow.restype = lib.XInternAtom.restype = lib.XGetSelectionOwner.restype = ctypes.c_ulong
    lib.XKeysymToKeycode.restype = ctypes.c_ubyte

    def __init__(self, display):
        self.display = ctypes.c_void_p(self.lib.XOpenDisplay(display.encode()))
        check(self.display.value, f"cannot open the display {display}")

    def compositor(self):
        atom = self.lib.XInternAtom(self.display, b"_NET_WM_CM_S0", False)
        return self.lib.XGetSelectionOwner(self.display, ctypes.c_ulong(atom))

    def grab_escape(self):
        root, escape = self.lib.XDefaultRootWindow(self.display), self.lib.XKeysymToKeycode(self.display, 0xFF1B)
        self.lib.XGrabKey(self.display, escape, 0, ctypes.c_ulong(root), False, 1, 1)  # GrabModeAsync
        self.lib.XSync(self.display, False)

    def took_escape(self):
        """The grab took a key press since the last look."""
        event, types = ctypes.create_string_buffer(192), []
        while self.lib.XPending(self.display):
            self.lib.XNextEvent(self.display, event)
            types.append(event.raw[0])
        check(2 in types, "the grab of Escape beneath got no key press")  # KeyPress

    def close(self):  # before the display goes: Xlib would end the harness on a lost connection
        self.lib.XCloseDisplay(self.display)


def run_x11(build_dir, rows):
    """The start-up failures, then every scenario on each kind of display."""
    work_dir = build_dir / "e2e-x11"
    pulse = Pulse(work_dir / "pulse")
    try:
        rows.row("start-up failures: each with its message and exit code 1",
                 lambda: start_failures(build_dir / "zimblet", work_dir))
        for display in DISPLAYS:
            rows.harness(display.tag, lambda: _run_display(build_dir, display, pulse, rows))
    finally:
        pulse.stop()


def _run_display(build_dir, display, pulse, rows):
    run_dir = build_dir / "e2e-x11" / display.folder
    setup = fresh_run(build_dir, run_dir)
    lonely = run_dir / "lonely"  # the program alone, with detach sounds that are not sound files
    (lonely / "Sounds").mkdir(parents=True)
    for variant in range(4):
        (lonely / "Sounds" / f"detach{variant}.wav").write_text("not a sound file\n")
    shutil.copy2(build_dir / "zimblet", lonely / "zimblet")
    bench = Bench(run_dir, run_dir, display.xvfb_args)
    helpers, sessions, xlib = [], [], None
    try:
        # No window manager: xev's window lies at 0,0, and the keyboard follows the pointer (PointerRoot).
        helpers.append(subprocess.Popen(["stdbuf", "-oL", "xev", "-geometry", f"{bench.width}x{bench.height}+0+0",
                                         "-event", "button", "-event", "keyboard"], env=bench.env(),
                                        stdout=open(run_dir / "xev.log", "wb"), stderr=subprocess.STDOUT))
        setup = setup._replace(app_log=Beneath(xev=run_dir / "xev.log"))
        wait_until(lambda: "IsViewable" in subprocess.run(["xwininfo", "-name", "Event Tester"], env=bench.env(),
                                                          capture_output=True, text=True).stdout, 30, "xev's window")
        if display.compositor or display.escape_held:
            xlib = Xlib(bench.display)
        if display.escape_held:
            xlib.grab_escape()
        if display.compositor:
            helpers.append(subprocess.Popen(["xcompmgr"], env=bench.env(), stderr=DEVNULL))
        wait_beneath(bench, lambda: not display.compositor or xlib.compositor())
        main = X11Session(bench, "main", run_dir, setup, pulse)  # no Sounds there: they lie beside the program
        sessions.append(main)
        plan = make_plan(main.expected(), bench.background)

        def row(name, *actions):
            rows.row(f"[{display.tag}] {name}", *actions)

        row("1 start: the bricks over the window beneath", lambda: scenarios.start(main, plan))
        row("2 click-through: buttons and the wheel beside the bricks reach the window beneath",
            lambda: scenarios.click_through(main, plan, plan.beside[0]))
        row("3 click on a brick: nothing moves, nothing reaches the window beneath", lambda: click_on_brick(main, plan))
        row("4 drag and drop: fast moves, press and release kept", lambda: scenarios.drag_and_drop(main, plan))
        row("5 snap and attach: silence, then the attach sound's samples", lambda: snap_and_attach(main, plan))
        row("6 pull loose: right press, the detach sound's samples", lambda: pull_loose(main, plan))
        row("7 on top: a window raised over the bricks goes under again", lambda: stays_on_top(main, plan))
        row("8 keys: a key reaches the window beneath, Alt+Escape ends nothing, Escape ends with 0",
            lambda: scenarios.keys_then_escape(main, plan, plan.bare),
            *([xlib.took_escape] if display.escape_held else []))
        main.stop()
        if xlib:
            xlib.close()
        row("9 SIGINT, SIGTERM, a second start and --quit end it with 0; a toy killed outright blocks no start",
            *scenarios.endings(lambda name: X11Session(bench, name, run_dir, setup, pulse)))

        lone = X11Session(bench, "lonely", lonely, setup._replace(program_exe=lonely / "zimblet"), pulse)
        sessions.append(lone)
        row("10 a missing or broken sound file: the bell instead, and the program runs on", lambda: bell_without_sound_file(lone, plan))
        row("11 display lost: the program ends within 5 s", lambda: display_lost(lone, bench))
    finally:
        for process in [session.process for session in sessions] + helpers:
            if process.poll() is None:
                process.kill()
                process.wait()
        bench.stop()

"""The Linux program on Wayland desktops: headless sway, KWin and GNOME's Mutter, judged against the native replay
host."""

import os
import shutil
import subprocess

from . import scenarios, wayland_scenarios as ws
from .bench import HEIGHT, WIDTH, Beneath, check, fresh_run, wait_beneath, wait_until
from .plan import make_plan
from .sound import Pulse, pull_loose, snap_and_attach
from .session import Session
from .wayland_bench import KWinBench, MutterBench, SwayBench


class WaylandSession(Session):
    native = True  # the native replay host draws the same rand() as the program
    end_timeout = 5

    def __init__(self, bench, name, cwd, setup, pulse=None):
        self.pulse = pulse  # the PulseAudio daemon its sounds go to, when they are to be heard
        super().__init__(bench, name, cwd, setup)

    def launch(self, cwd):
        self.stderr = self.bench.artifacts / f"{self.name}-stderr.txt"
        self.cwd, self.sound = cwd, {}
        if self.pulse is not None:  # XDG_RUNTIME_DIR is the compositor's: name the sound server's socket
            self.sound["PULSE_SERVER"] = f"unix:{self.pulse.env['XDG_RUNTIME_DIR']}/pulse/native"
        with open(self.stderr, "wb") as errors:
            return self.bench.client([self.setup.program_exe], cwd, extra_env=self.sound, stdout=errors,
                                     stderr=subprocess.STDOUT)

    def run_again(self, *args):
        return self.bench.client([self.setup.program_exe, *args], self.cwd, extra_env=self.sound).wait(timeout=10)


def _window_beneath(bench, setup):
    """wev over the whole output (sway tiles it, KWin maximizes it), then the input helper; returns the setup
    with wev's log."""
    log = bench.artifacts / "wev.log"
    bench.beneath.append(bench.client(["stdbuf", "-oL", "wev"], bench.artifacts, stdout=open(log, "wb"),
                                      stderr=subprocess.STDOUT))
    wait_beneath(bench, lambda: f"configure: width: {WIDTH}; height: {HEIGHT}" in log.read_text())
    bench.start_hands()
    return setup._replace(app_log=Beneath(wev=log))


def run_wayland(build_dir, rows):
    """Headless sway, then headless KWin, then headless Mutter."""
    for run in (_run_sway, _run_kwin, _run_gnome):
        rows.harness(run.__name__, lambda: run(build_dir, rows))


def _run_sway(build_dir, rows):
    run_dir = build_dir / "e2e" / "run-sway"
    setup = fresh_run(build_dir, run_dir)
    bench = SwayBench(build_dir / "e2e-tools", run_dir)
    sessions, pulse = [], None

    # Installed as a package installs it, started from a folder without sounds: they are found under ../share.
    installed = run_dir / "usr" / "bin" / "zimblet"
    installed.parent.mkdir(parents=True)
    shutil.copy2(setup.program_exe, installed)
    shutil.copytree(setup.sounds_dir, run_dir / "usr" / "share" / "zimblet" / "Sounds")

    def launch(name, sound=None):  # one start of the program, stopped at the end whatever happens
        sessions.append(WaylandSession(bench, name, run_dir, setup._replace(program_exe=installed), sound))
        return sessions[-1]
    try:
        setup = _window_beneath(bench, setup)
        pulse = Pulse(run_dir / "pulse")  # the sounds are heard as on X11: the same code plays them
        main = launch("main", pulse)
        plan = make_plan(main.expected(), bench.background)
        rows.row("sway 1 start: the bricks over the window beneath", lambda: scenarios.start(main, plan))
        rows.row("sway 2 click-through: clicks beside the 100 bricks and a key reach the window beneath",
                 lambda: ws.clicks_and_keys_beside(main, plan))
        rows.row("sway 3 drag, then snap and attach: pictures as the replay host's, the attach sound heard",
                 lambda: scenarios.drag_and_drop(main, plan), lambda: snap_and_attach(main, plan))
        rows.row("sway 4 pull loose: right press, the detach sound heard, drag, drop, no button leaks",
                 lambda: pull_loose(main, plan))
        rows.row("sway 5 Escape with nothing held reaches the window beneath and ends nothing",
                 lambda: ws.escape_while_idle(main, plan))
        rows.row("sway 6 keyboard during a drag: the window beneath gets it back, no stray key or button",
                 lambda: ws.keys_during_a_drag(main, plan))
        rows.row("sway 7 Escape while a brick is held ends the program with 0",
                 lambda: ws.escape_while_holding(main, plan))
        rows.row("sway 8 SIGINT, SIGTERM, a second start and --quit end it with 0; a toy killed outright blocks "
                 "no start", *scenarios.endings(launch))
        rows.row("sway 9 the compositor killed under the program: it ends within 5 s with a status",
                 lambda: ws.compositor_killed(launch("killed"), bench))
    finally:
        for session in sessions:
            session.stop()
        bench.stop()
        if pulse is not None:
            pulse.stop()
    rows.row("sway 10 no layer-shell (weston), X11 forced without DISPLAY, no display: clear messages, "
             "non-zero exits", lambda: _refusals(build_dir, run_dir))


def _refusals(build_dir, run_dir):
    program = build_dir / "zimblet"
    base = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "WAYLAND_DISPLAY")}
    runtime = run_dir / "weston-runtime"
    runtime.mkdir(mode=0o700)
    base["XDG_RUNTIME_DIR"] = str(runtime)
    with open(run_dir / "weston.log", "ab") as log:
        weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--socket=weston-e2e", "--idle-time=0",
                                   "--shell=desktop-shell.so"], env=base, stdin=subprocess.DEVNULL,
                                  stdout=log, stderr=log)
    try:
        wait_until(lambda: (runtime / "weston-e2e").exists() or weston.poll() is not None, 20, "weston's socket")
        check(weston.poll() is None, "weston ended at start; see weston.log")
        cases = [("weston", dict(base, WAYLAND_DISPLAY="weston-e2e"), ["layer-shell", "X11 session", "ZIMBLET_FORCE_X11"]),
                 ("unreachable", dict(base, WAYLAND_DISPLAY="no-such-compositor"), ["cannot connect", "DISPLAY"]),
                 # Forced to X11 on the same compositor: no Wayland refusal, the X11 desktop's own.
                 ("forced", dict(base, WAYLAND_DISPLAY="weston-e2e", ZIMBLET_FORCE_X11="1"),
                  ["ZIMBLET_FORCE_X11", "DISPLAY is not set"]),
                 ("nothing", base, ["no display", "DISPLAY is not set"])]
        for name, env, words in cases:
            stderr = run_dir / f"refusal-{name}.txt"
            with open(stderr, "wb") as errors:
                code = subprocess.run([program], cwd=build_dir, env=env, stdin=subprocess.DEVNULL, stdout=errors,
                                      stderr=subprocess.STDOUT, timeout=10).returncode
            message = stderr.read_text(errors="replace")
            missing = [word for word in words if word not in message]
            check(code > 0 and not missing, f"{name}: exit code {code}, the message lacks {missing}: '{message}'")
    finally:
        weston.terminate()
        weston.wait(timeout=10)


def _run_kwin(build_dir, rows):
    run_dir = build_dir / "e2e" / "run-kwin"
    setup = fresh_run(build_dir, run_dir)
    bench = KWinBench(build_dir / "e2e-tools", run_dir)
    main = None
    try:
        setup = _window_beneath(bench, setup)
        main = WaylandSession(bench, "main", build_dir, setup)
        plan = make_plan(main.expected(), bench.background)
        rows.row("kwin 1 start: the bricks over the window beneath", lambda: scenarios.start(main, plan))
        rows.row("kwin 2 click-through: clicks beside bricks reach the window beneath",
                 lambda: ws.clicks_and_keys_beside(main, plan, bricks=10))
        rows.row("kwin 3 drag, snap and attach: pictures as the replay host's, no button leaks",
                 lambda: ws.drag_and_snap(main, plan))
        rows.row("kwin 4 a key typed after a drop, and Escape with nothing held, reach the window beneath",
                 lambda: ws.key_after_drop(main, plan), lambda: ws.escape_while_idle(main, plan))
        rows.row("kwin 5 Escape while a brick is held ends the program with 0",
                 lambda: ws.escape_while_holding(main, plan))
    finally:
        if main is not None:
            main.stop()
        bench.stop()


def _run_gnome(build_dir, rows):
    run_dir = build_dir / "e2e" / "run-gnome"
    setup = fresh_run(build_dir, run_dir)
    bench = MutterBench(build_dir / "e2e-tools", run_dir)
    sessions, xwayland = [], "XWayland %d.%d" % bench.xwayland

    def launch(name):
        sessions.append(WaylandSession(bench, name, run_dir, setup))
        return sessions[-1]
    try:
        if bench.xwayland < (24, 1):  # its windows' input regions ignore X11 input shapes
            rows.row(f"gnome 1 {xwayland}: the program refuses with 1, naming layer-shell and ZIMBLET_FORCE_X11",
                     lambda: _refused(bench, setup.program_exe))
            return
        setup = setup._replace(app_log=bench.windows_beneath(run_dir))
        main = launch("main")
        plan = make_plan(main.expected(), bench.background)
        rows.row(f"gnome 1 start on {xwayland}: the overlay's pixels are the replay frame",
                 lambda: scenarios.start(main, plan))
        rows.row("gnome 2 click-through: clicks beside the 100 bricks reach X11 and Wayland windows beneath",
                 lambda: _clicks_beside(main, plan))
        rows.row("gnome 3 drag, snap and attach: pictures as the replay host's, no button leaks",
                 lambda: ws.drag_and_snap(main, plan))
        rows.row("gnome 4 a second start, --quit, SIGINT and SIGTERM end it with 0; a toy killed outright blocks "
                 "no start", lambda: scenarios.ended_by(main, ()),
                 *scenarios.endings(launch))
        rows.row("gnome 5 Mutter killed under the program: it ends within 5 s with a status",
                 lambda: ws.compositor_killed(launch("killed"), bench))
    finally:
        for session in sessions:
            session.stop()
        bench.stop()


def _refused(bench, program):
    done = subprocess.run([program], env=bench.env(), capture_output=True, text=True, timeout=10)
    check(done.returncode == 1 and "layer-shell" in done.stderr and "ZIMBLET_FORCE_X11" in done.stderr,
          f"exit code {done.returncode}, stderr {done.stderr.strip()!r}")


def _clicks_beside(session, plan):
    """Left clicks beside each brick reach the window there, xev's (X11) or wev's (Wayland)."""
    mark = session.log.mark()
    for x, y in plan.beside:
        session.click_through("left", x, y)
    reached = set(session.log.windows[mark:])
    check(reached == {"xev", "wev"}, f"only {reached} got clicks")
    session.wait_picture("after the clicks beside the bricks")


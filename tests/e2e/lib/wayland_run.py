"""The Linux program on Wayland desktops: headless sway 1.7 and KWin 5.27, judged against the native replay host."""

import os
import shutil
import signal
import subprocess

from . import scenarios, wayland_scenarios as ws
from .bench import AppLog, Setup, check, wait_beneath, wait_until
from .plan import make_plan
from .sound import Pulse, pull_loose, snap_and_attach
from .wayland_bench import KWinBench, SwayBench
from .wayland_session import WaylandSession


def _window_beneath(bench, setup):
    """Starts the logging window and the input helper, and waits until the window covers the output."""
    bench.client([bench.tools / "wayland_underneath_window", setup.app_log.path], bench.artifacts,
                 stderr=open(bench.artifacts / "underneath.stderr", "ab"))
    wait_beneath(bench, setup.app_log, 20, bench.start_hands)


def _prepare(build_dir, name):
    run_dir = build_dir / "e2e" / f"run-{name}"
    shutil.rmtree(run_dir, ignore_errors=True)
    run_dir.mkdir(parents=True)
    check((build_dir / "Sounds").is_dir(), f"no Sounds folder in {build_dir}")
    return run_dir, Setup(build_dir / "zimblet", build_dir / "zimblet-replay", AppLog(run_dir / "underneath.log"),
                          build_dir / "Sounds")


def run_wayland(build_dir, rows):
    """Headless sway, then headless KWin."""
    for run in (_run_sway, _run_kwin):
        rows.harness(run.__name__, lambda: run(build_dir, rows))


def _run_sway(build_dir, rows):
    run_dir, setup = _prepare(build_dir, "sway")
    bench = SwayBench(build_dir / "e2e-tools", run_dir)
    sessions, pulse = [], None

    def launch(name, sound=None):  # one start of the program, stopped at the end whatever happens
        sessions.append(WaylandSession(bench, name, build_dir, setup, sound))
        return sessions[-1]
    try:
        _window_beneath(bench, setup)
        pulse = Pulse(run_dir / "pulse")  # the sounds are heard as on X11: the same code plays them
        main = launch("main", pulse)
        plan = make_plan(main.expected())
        rows.row("sway 1 start: the bricks over the window beneath", lambda: scenarios.start(main, plan))
        rows.row("sway 2 click-through: clicks beside the 100 bricks and a key reach the window beneath",
                 lambda: ws.clicks_and_keys_beside(main, plan))
        rows.row("sway 3 drag, then snap and attach: pictures as the replay host's, the attach sound heard",
                 lambda: ws.drag_away(main, plan), lambda: snap_and_attach(main, plan))
        rows.row("sway 4 pull loose: right press, the detach sound heard, drag, drop, no button leaks",
                 lambda: pull_loose(main, plan))
        rows.row("sway 5 Escape with nothing held reaches the window beneath and ends nothing",
                 lambda: ws.escape_while_idle(main, plan))
        rows.row("sway 6 keyboard during a drag: the window beneath gets it back, no stray key or button",
                 lambda: ws.keys_during_a_drag(main, plan))
        rows.row("sway 7 Escape while a brick is held ends the program with 0",
                 lambda: ws.escape_while_holding(main, plan))
        rows.row("sway 8 SIGINT and SIGTERM end it with 0",
                 *(lambda n=number: ws.ended_by_signal(launch(f"signal-{n}"), n)
                   for number in (signal.SIGINT, signal.SIGTERM)))
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
                process = subprocess.Popen([program], cwd=build_dir, env=env, stdin=subprocess.DEVNULL,
                                           stdout=errors, stderr=subprocess.STDOUT)
            ws.refused(process, stderr, words)
    finally:
        weston.terminate()
        weston.wait(timeout=10)


def _run_kwin(build_dir, rows):
    run_dir, setup = _prepare(build_dir, "kwin")
    bench = KWinBench(build_dir / "e2e-tools", run_dir)
    main = None
    try:
        _window_beneath(bench, setup)
        main = WaylandSession(bench, "main", build_dir, setup)
        plan = make_plan(main.expected())
        rows.row("kwin 1 start: the bricks over the window beneath", lambda: scenarios.start(main, plan))
        rows.row("kwin 2 click-through: clicks beside bricks reach the window beneath",
                 lambda: ws.clicks_and_keys_beside(main, plan, bricks=10))
        rows.row("kwin 3 drag, snap and attach: pictures as the replay host's, no button leaks",
                 lambda: ws.drag_and_snap(main, plan))
        rows.row("kwin 4 a key typed after a drop", lambda: ws.key_after_drop(main, plan))
        rows.row("kwin 5 Escape while a brick is held ends the program with 0",
                 lambda: ws.escape_while_holding(main, plan))
    finally:
        if main is not None:
            main.stop()
        bench.stop()

"""The Linux program on Wayland desktops: headless sway 1.7 and KWin 5.27, judged against the native replay host."""

import os
import shutil
import signal
import subprocess
from collections import namedtuple

from . import scenarios, wayland_scenarios as ws, x11
from .bench import AppLog, check, wait_until
from .plan import centre, make_plan
from .wayland_bench import KWinBench, SwayBench
from .wayland_session import WaylandSession

Setup = namedtuple("Setup", "program_exe replay_exe desktop_rgb app_log sounds_dir")


def _window_beneath(bench, setup):
    """Starts the logging window and the input helper, and waits until the window covers the output."""
    bench.client([bench.tools / "wayland_underneath_window", setup.app_log.path], bench.artifacts,
                 stderr=open(bench.artifacts / "underneath.stderr", "ab"))
    ready = wait_until(lambda: next((l for l in setup.app_log.lines() if l.startswith("ready")), None), 20,
                       "the window beneath to show")
    check(ready == f"ready {bench.width}x{bench.height}", f"the window beneath is not full-output: '{ready}'")
    bench.start_hands()
    wait_until(lambda: bench.screenshot() == bytes(setup.desktop_rgb) * (bench.width * bench.height), 20,
               "the window beneath to cover the output")


def _prepare(build_dir, name):
    run_dir = build_dir / "e2e" / f"run-{name}"
    shutil.rmtree(run_dir, ignore_errors=True)
    run_dir.mkdir(parents=True)
    check((build_dir / "Sounds").is_dir(), f"no Sounds folder in {build_dir}")
    return run_dir, Setup(build_dir / "zimblet", build_dir / "zimblet-replay", None, AppLog(run_dir / "underneath.log"),
                          build_dir / "Sounds")


def run_sway(build_dir, size, desktop_rgb, rows, report, attempt):
    run_dir, setup = _prepare(build_dir, "sway")
    setup = setup._replace(desktop_rgb=desktop_rgb)
    bench = SwayBench(build_dir / "e2e-tools", run_dir, *size, desktop_rgb)
    sessions, pulse = [], None

    def launch(name, sound=None):  # one start of the program, stopped at the end whatever happens
        sessions.append(WaylandSession(bench, name, build_dir, setup, sound))
        return sessions[-1]
    try:
        _window_beneath(bench, setup)
        pulse = x11.Pulse(run_dir / "pulse")  # the sounds are heard as on X11: the same code plays them
        main = launch("main", pulse)
        start = main.expected()
        plan = make_plan(start.units, start.screen, *size, desktop_rgb)
        report(rows, "sway 1 start: the bricks over the window beneath", attempt(lambda: scenarios.start(main, plan)))
        report(rows, "sway 2 click-through: clicks beside the 100 bricks and a key reach the window beneath",
               attempt(lambda: ws.clicks_and_keys_beside(main, plan)))
        report(rows, "sway 3 drag, then snap and attach: pictures as the replay host's, the attach sound heard",
               attempt(lambda: ws.drag_away(main, plan)), attempt(lambda: x11.snap_and_attach(main, plan)))
        report(rows, "sway 4 pull loose: right press, the detach sound heard, drag, drop, no button leaks",
               attempt(lambda: x11.pull_loose(main, plan)))
        report(rows, "sway 5 Escape with nothing held reaches the window beneath and ends nothing",
               attempt(lambda: ws.escape_while_idle(main, plan)))
        report(rows, "sway 6 keyboard during a drag: the window beneath gets it back, no stray key or button",
               attempt(lambda: ws.keys_during_a_drag(main, plan)))
        report(rows, "sway 7 Escape while a brick is held ends the program with 0",
               attempt(lambda: ws.escape_while_holding(main, plan)))
        report(rows, "sway 8 SIGINT and SIGTERM end it with 0",
               *(attempt(lambda n=number: ws.ended_by_signal(launch(f"signal-{n}"), n))
                 for number in (signal.SIGINT, signal.SIGTERM)))
        report(rows, "sway 9 the compositor killed under the program: it ends within 5 s with a status",
               attempt(lambda: ws.compositor_killed(launch("killed"), bench)))
    finally:
        for session in sessions:
            session.stop()
        bench.stop()
        if pulse is not None:
            pulse.stop()
    report(rows, "sway 10 no layer-shell (weston), X11 forced without DISPLAY, no display: clear messages, "
                 "non-zero exits",
           attempt(lambda: _refusals(build_dir, run_dir)))


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


def run_kwin(build_dir, size, desktop_rgb, rows, report, attempt):
    run_dir, setup = _prepare(build_dir, "kwin")
    setup = setup._replace(desktop_rgb=desktop_rgb)
    bench = KWinBench(build_dir / "e2e-tools", run_dir, *size)
    main = None
    try:
        _window_beneath(bench, setup)
        main = WaylandSession(bench, "main", build_dir, setup)
        start = main.expected()
        plan = make_plan(start.units, start.screen, *size, desktop_rgb)
        report(rows, "kwin 1 start: the bricks over the window beneath", attempt(lambda: scenarios.start(main, plan)))
        report(rows, "kwin 2 click-through: clicks beside bricks reach the window beneath",
               attempt(lambda: ws.clicks_and_keys_beside(main, plan, bricks=10)))
        report(rows, "kwin 3 drag, snap and attach: pictures as the replay host's, no button leaks",
               attempt(lambda: ws.drag_and_snap(main, plan)))
        report(rows, "kwin 4 a key typed after a drop", attempt(lambda: ws.key_after_drop(main, plan)))
        report(rows, "kwin 5 Escape while a brick is held ends the program with 0",
               attempt(lambda: ws.escape_while_holding(main, plan)))
    finally:
        if main is not None:
            main.stop()
        bench.stop()

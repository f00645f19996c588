"""The scenarios: what a user does, and what they must see, hear and not disturb."""

import re
import signal

from .bench import DESKTOP_RGB, DEVNULL, Bench, build_helper, check, fresh_run, wait_beneath
from .plan import centre, make_plan, unit_at
from .session import Session

ATTACH_SOUND = re.compile(r"^Sounds\\attach[0-3]\.wav$")
DETACH_SOUND = re.compile(r"^Sounds\\detach[0-3]\.wav$")
BUTTON_LINE = re.compile(r"^[lr]button(down|up) ")


def start(session, plan):
    session.wait_picture("at start", timeout=60)


def click_through(session, plan, wheel_at):
    """Clicks beside every brick, one pixel past the hit rectangles, and the wheel turned both ways at `wheel_at`
    reach the application underneath; the picture stays."""
    check(len(plan.beside) == 100, f"planned clicks beside {len(plan.beside)} bricks, not 100")
    units = session.expected().units
    edges = [(x, y) for u in units for x, y in ((u.x + 16, u.y + 9), (u.x + 8, u.y + 19))
             if unit_at(units, x, y) is None and 0 <= x < session.bench.width and 0 <= y < session.bench.height]
    for x, y in plan.beside:
        session.click_through("left", x, y)
        session.click_through("right", x, y)
    for x, y in edges[::max(1, len(edges) // 40)]:
        session.click_through("left", x, y)
    for button, notch in ((4, 120), (5, -120)):
        mark = session.log.mark()
        session.move(*wheel_at)
        session.wheel(button)
        session.log.wait_for("mousewheel %d %d %d" % (*wheel_at, notch), since=mark)
    session.wait_picture("after the clicks beside the bricks")


def drag(session, button, grab, steps, label):
    """Presses on `grab`, moves through `steps` checking the picture after each, releases at the last.

    Returns the replay host's expected sounds for the drag."""
    first = len(session.history)
    session.move(*grab)
    session.button(button, "down")
    try:
        for number, step in enumerate(steps, 1):
            session.move(*step)
            session.wait_picture(f"{label} step {number}")
    finally:  # let go even after a failed step, so that no button stays held
        session.button(button, "up")
    session.wait_picture(f"{label} after the release")
    return [sound for sounds in session.expected().sounds[first:] for sound in sounds]


def no_buttons_leaked(session, mark, plan):
    """A click on the bare desktop closes off the log; no button line may come before it since `mark`."""
    session.click_through("left", *plan.bare)
    lines = session.log.lines()[mark:]
    sentinel = len(lines) - 1 - lines[::-1].index("lbuttondown %d %d" % plan.bare)
    leaked = [line for line in lines[:sentinel] if BUTTON_LINE.match(line)]
    check(not leaked, f"the application underneath received {leaked}")


def _one_sound(session, before, expected, pattern):
    """The replay host started one sound of the kind, and the trace shows that one PlaySound call."""
    check(len(expected) == 1 and pattern.match(expected[0]), f"the replay host played {expected}")
    calls, names = session.sounds()
    check(calls - before[0] == 1, f"the trace shows {calls - before[0]} PlaySound calls for one sound")
    names = session.wait_sound_names(len(before[1]) + 1)[len(before[1]):]
    check(names == expected, f"played {names}, the replay host played {expected}")


def drag_and_drop(session, plan):
    """A fast drag moves the lone brick; its press and release never reach the application underneath."""
    mark = session.log.mark()
    drag(session, "left", centre(plan.lone), plan.drops[:3], "drag")
    lone = session.expected().units[plan.lone.index]
    check((lone.x, lone.y) == plan.drops[2], f"the replay host put the brick at {(lone.x, lone.y)}")
    no_buttons_leaked(session, mark, plan)


def attach(session, plan, how=drag):
    """The lone brick brought down onto its target in slow steps and released; returns what the drag `how` does."""
    result = how(session, "left", centre(session.expected().units[plan.lone.index]), plan.approach, "snap")
    check(session.expected().units[plan.lone.index].below == plan.target.index,
          f"the replay host did not attach the brick to unit {plan.target.index}")
    return result


def pull(session, plan, how=drag):
    """The attached brick pulled loose by a right press, dragged away and dropped; returns what `how` does."""
    lone = session.expected().units[plan.lone.index]
    result = how(session, "right", (lone.x + 8, lone.y + 4), plan.drops[3:5], "pull")
    lone = session.expected().units[plan.lone.index]
    check((lone.x, lone.y, lone.below) == (*plan.drops[4], -1),
          f"the replay host left the brick at {(lone.x, lone.y)} with below {lone.below}")
    return result


def snap_and_attach(session, plan):
    """A slow descent onto the target snaps the lone brick; the release attaches it with one sound."""
    before = session.sounds()
    _one_sound(session, before, attach(session, plan), ATTACH_SOUND)


def pull_loose(session, plan):
    """A right press pulls the attached brick off with one sound; it is dragged away and dropped."""
    before, mark = session.sounds(), session.log.mark()
    _one_sound(session, before, pull(session, plan), DETACH_SOUND)
    no_buttons_leaked(session, mark, plan)


def without_sounds_folder(session, plan):
    """A fresh start without a Sounds folder: the attach happens with one PlaySound call, the program runs on."""
    start(session, plan)
    expected = attach(session, plan)
    check(len(expected) == 1 and ATTACH_SOUND.match(expected[0]), f"the replay host played {expected}")
    calls = session.sounds()[0]
    check(calls == 1, f"the trace shows {calls} PlaySound calls for one attach")
    session.click_through("left", *plan.bare)
    session.require_running()


def keys_then_escape(session, plan, pointer):
    """Keys reach the focused application, Alt+Escape ends nothing, Escape ends the program with 0 and never
    reaches the application."""
    a, alt_escape, escape = session.KEY_LINES
    session.require_running()
    log = session.log
    session.focus_beneath(*plan.bare)
    mark = log.mark()
    session.key("a")
    seen = log.wait_for("char 97", since=mark)
    check(any(line.startswith(a) for line in seen), f"the key A arrived as {seen}")
    mark = log.mark()
    session.key("alt+Escape")
    session.key("b")
    seen = log.wait_for("char 98", since=mark)
    session.require_running()
    check(any(line.startswith(alt_escape) for line in seen), f"Alt+Escape did not reach the application: {seen}")
    session.move(*pointer)
    mark = log.mark()
    session.key("Escape")
    code = session.wait_end(session.end_timeout)
    check(code == 0, f"the program ended with exit code {code}: {session.errors()}")
    session.key("z")
    seen = log.wait_for("char 122", since=mark)
    check(not any(line.startswith(escape) for line in seen), f"the application got the Escape: {seen}")


# The ways a running program is ended from outside: a signal number, or the arguments of another start.
ENDINGS = (signal.SIGKILL, signal.SIGINT, signal.SIGTERM, (), ("--quit",))


def ended_by(session, how):
    """SIGINT, SIGTERM, a second start or `zimblet --quit` ends a running program cleanly with 0, and the start
    that asked exits 0 too. SIGKILL leaves the running toy's socket behind: the next start, waiting for its
    picture, shows that it does not mind."""
    session.wait_picture("at start", timeout=30)
    if how == signal.SIGKILL:
        session.stop()
        return
    if isinstance(how, tuple):
        asker = session.run_again(*how)
        check(asker == 0, f"zimblet {' '.join(how)} exited with {asker}")
    else:
        session.process.send_signal(how)
    code = session.wait_end(5)
    check(code == 0, f"{how}: exit code {code}: {session.errors()}")


def endings(launch):
    """One attempt for each way of ending, each on a start of its own from `launch(name)`, gone before the next."""
    def attempt(how, number):
        session = launch(f"ended-{number}")
        try:
            ended_by(session, how)
        finally:
            session.stop()
    return [lambda how=how, number=number: attempt(how, number) for number, how in enumerate(ENDINGS)]


def run_wine(build_dir, rows):
    """The Windows program under Wine in Xvfb, over the application underneath."""
    work_dir = build_dir / "e2e"
    run_dir = work_dir / "run"  # left behind: traces, the application's log, replay files, failed pictures
    setup = fresh_run(build_dir, run_dir, ".exe")
    (run_dir / "no-sounds").mkdir()  # a current directory without a Sounds folder
    app_exe = build_helper("underneath_app.cpp", work_dir / "underneath_app.exe",
                           ["x86_64-w64-mingw32-g++-posix", "-static", "-mwindows"])
    bench = Bench(work_dir, run_dir)
    sessions = []
    try:
        bench.ensure_prefix()
        bench.wine([app_exe, setup.app_log.path.name], run_dir, stdout=DEVNULL, stderr=DEVNULL)
        wait_beneath(bench, lambda: bench.screenshot() == bytes(DESKTOP_RGB) * (bench.width * bench.height), 60)
        main = Session(bench, "main", build_dir, setup)
        sessions.append(main)
        plan = make_plan(main.expected(), bench.background)
        rows.row("1 start: the bricks over the desktop", lambda: start(main, plan))
        rows.row("2 click-through: clicks beside bricks and the wheel over one reach the application",
                 lambda: click_through(main, plan, centre(plan.lone)))
        rows.row("3 drag and drop: fast moves, press and release swallowed", lambda: drag_and_drop(main, plan))
        rows.row("4 snap and attach: slow steps, one attach sound", lambda: snap_and_attach(main, plan))
        rows.row("5 pull loose: right press, one detach sound", lambda: pull_loose(main, plan))
        escape_on_brick = rows.attempt(lambda: keys_then_escape(main, plan, centre(plan.target)))
        main.stop()  # only one program may cover the desktop

        quiet = Session(bench, "no-sounds", run_dir / "no-sounds", setup)
        sessions.append(quiet)
        rows.row("6 no Sounds folder: the attach completes and the program runs on",
                 lambda: without_sounds_folder(quiet, plan))
        rows.report("7 keys: Escape ends with 0 (pointer on a brick, then on the desktop), Alt+Escape does not",
                    escape_on_brick, rows.attempt(lambda: keys_then_escape(quiet, plan, plan.bare)))
    finally:
        for session in sessions:
            session.stop()
        bench.stop()

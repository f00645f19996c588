"""The scenarios: what a user does, and what they must see, hear and not disturb."""

import re

from .session import ScenarioFailure, check
from .waits import WaitTimeout

ATTACH_SOUND = re.compile(r"^Sounds\\attach[0-3]\.wav$")
DETACH_SOUND = re.compile(r"^Sounds\\detach[0-3]\.wav$")
BUTTON_LINE = re.compile(r"^[lr]button(down|up) ")


def start(session, plan):
    """The bricks appear exactly as the replay host draws them, over the desktop."""
    session.start()
    session.wait_picture("at start", timeout=60)


def click_through(session, plan):
    """Clicks beside every brick and a wheel turn over one reach the application underneath."""
    session.require_running()
    check(len(plan.beside) == 100, f"planned clicks beside {len(plan.beside)} bricks, not 100")
    for x, y in plan.beside:
        session.click_through("left", x, y)
        session.click_through("right", x, y)
    lone_x, lone_y = plan.lone.centre()
    mark = session.rig.app_log.mark()
    session.move(lone_x, lone_y)
    session.wheel()
    session.rig.app_log.wait_for(f"mousewheel {lone_x} {lone_y} 120", since=mark)
    session.wait_picture("after the clicks beside the bricks")


def _sentinel_lines(session, mark, plan):
    """The lines logged since `mark`, up to a click on the bare desktop made now to close them off."""
    x, y = plan.bare
    session.click_through("left", x, y)
    lines = session.rig.app_log.since(mark)
    sentinel = len(lines) - 1 - lines[::-1].index(f"lbuttondown {x} {y}")
    return lines[:sentinel]


def _drag(session, button, grab, steps, label):
    """Presses on `grab`, moves through `steps` checking the picture after each, releases at the last."""
    session.move(*grab)
    session.down(button)
    try:
        for number, (x, y) in enumerate(steps, 1):
            session.move(x, y)
            session.wait_picture(f"{label} step {number}")
    finally:
        # Even after a failed step, let go, so that the next scenario starts with no button held.
        session.up(button)
    session.wait_picture(f"{label} after the release")


def drag_and_drop(session, plan):
    """A fast drag moves the lone brick; its press and release never reach the application underneath."""
    session.require_running()
    mark = session.rig.app_log.mark()
    first = len(session.history)
    _drag(session, "left", plan.lone.centre(), plan.drops[:3], "drag")
    outcomes = session.expected().outcomes[first:]
    check([o.state for o in outcomes][-1] == "Idle" and outcomes[-1].answer == "swallow",
          f"the drag did not end as planned: {[(o.event, o.answer, o.state) for o in outcomes]}")
    lone = session.expected().world.units[plan.lone.index]
    check((lone.x, lone.y) == plan.drops[2], f"the replay host put the brick at {(lone.x, lone.y)}")
    leaked = [line for line in _sentinel_lines(session, mark, plan) if BUTTON_LINE.match(line)]
    check(not leaked, f"the application underneath received {leaked}")


def _sounds_since(session, calls_before, names_before, pattern, expected_sounds, what):
    """Exactly the sounds the replay host played were started, as Wine's trace shows them."""
    calls = session.program.sound_calls() - calls_before
    check(calls == len(expected_sounds),
          f"expected {len(expected_sounds)} {what} sound(s) started, the trace shows {calls} PlaySound call(s)")
    names = session.program.wait_sound_names(names_before + calls)[names_before:]
    check(all(pattern.match(name) for name in names), f"unexpected sound files played: {names}")
    check(names == expected_sounds, f"played {names}, the replay host played {expected_sounds}")


def snap_and_attach(session, plan):
    """A slow descent onto the target snaps the lone brick, and the release attaches it with one sound."""
    session.require_running()
    calls_before = session.program.sound_calls()
    names_before = len(session.program.sound_names())
    first = len(session.history)
    grab = session.expected().world.units[plan.lone.index].centre()
    _drag(session, "left", grab, plan.approach, "snap")
    outcomes = session.expected().outcomes[first:]
    check(outcomes[-2].state == "Snapped" and outcomes[-1].state == "Idle",
          f"the approach did not snap as planned: {[(o.event, o.state) for o in outcomes]}")
    lone = session.expected().world.units[plan.lone.index]
    check(lone.below == plan.target.index, f"the replay host did not attach the brick to unit {plan.target.index}")
    expected_sounds = [s for o in outcomes for s in o.sounds]
    check(len(expected_sounds) == 1 and ATTACH_SOUND.match(expected_sounds[0]),
          f"the replay host played {expected_sounds} for one attach")
    _sounds_since(session, calls_before, names_before, ATTACH_SOUND, expected_sounds, "attach")


def pull_loose(session, plan):
    """A right press pulls the attached brick off with one sound; it is dragged away and dropped."""
    session.require_running()
    world = session.expected().world
    lone = world.units[plan.lone.index]
    check(lone.below >= 0, "the lone brick is not attached, nothing to pull loose")
    grab = (lone.x + 8, lone.y + 4)
    check(world.unit_at(*grab) is lone, f"a press at {grab} would not find the attached brick")
    calls_before = session.program.sound_calls()
    names_before = len(session.program.sound_names())
    mark = session.rig.app_log.mark()
    first = len(session.history)
    _drag(session, "right", grab, plan.drops[3:5], "pull")
    outcomes = session.expected().outcomes[first:]
    expected_sounds = [s for o in outcomes for s in o.sounds]
    check(len(expected_sounds) == 1 and DETACH_SOUND.match(expected_sounds[0]),
          f"the replay host played {expected_sounds} for one pull")
    moved = session.expected().world.units[plan.lone.index]
    check((moved.x, moved.y, moved.below) == (*plan.drops[4], -1),
          f"the replay host left the brick at {(moved.x, moved.y)} with below {moved.below}")
    _sounds_since(session, calls_before, names_before, DETACH_SOUND, expected_sounds, "detach")
    leaked = [line for line in _sentinel_lines(session, mark, plan) if BUTTON_LINE.match(line)]
    check(not leaked, f"the application underneath received {leaked}")


def without_sounds_folder(session, plan):
    """With no Sounds folder the attach still happens and the program carries on."""
    start(session, plan)
    snap_and_attach_quietly(session, plan)
    # Still listening: a click beside the bricks goes through, and nothing has ended.
    session.click_through("left", *plan.bare)
    session.require_running()


def snap_and_attach_quietly(session, plan):
    """The attach of a fresh start: the pictures on the way and one PlaySound call, whatever it finds."""
    calls_before = session.program.sound_calls()
    first = len(session.history)
    _drag(session, "left", plan.lone.centre(), plan.approach, "snap")
    outcomes = session.expected().outcomes[first:]
    check(outcomes[-1].state == "Idle" and any(o.sounds for o in outcomes),
          f"the approach did not attach as planned: {[(o.event, o.state, o.sounds) for o in outcomes]}")
    calls = session.program.sound_calls() - calls_before
    check(calls == 1, f"the trace shows {calls} PlaySound calls for one attach")


def keys_then_escape(session, plan, pointer):
    """Keys reach the focused application, Alt+Escape ends nothing, Escape ends the program with 0."""
    session.require_running()
    log = session.rig.app_log
    session.focus_application(*plan.bare)
    mark = log.mark()
    session.key("a")
    seen = log.wait_for("char 97", since=mark)
    check("keydown 65" in seen, f"the key A arrived as {seen}")
    mark = log.mark()
    session.key("alt+Escape")
    try:
        log.wait_for("syskeydown 27", since=mark)
    except WaitTimeout:
        check(session.program.running(),
              f"Alt+Escape ended the program (exit code {session.program.process.poll()})")
        raise
    session.key("b")
    log.wait_for("char 98", since=mark)
    session.require_running()
    session.move(*pointer)
    mark = log.mark()
    session.key("Escape")
    try:
        code = session.program.wait_exit(timeout=15)
    except Exception:
        raise ScenarioFailure("Escape did not end the program within 15 s") from None
    check(code == 0, f"the program ended with exit code {code}")
    # The Escape itself is the program's: the application underneath never sees it.
    session.key("z")
    seen = log.wait_for("char 122", since=mark)
    check("keydown 27" not in seen, f"the application underneath received the Escape: {seen}")

"""The scenarios: what a user does, and what they must see, hear and not disturb; and the table of rows that says
which desktops play which. A desktop (desktops.py) says how to start, drive and picture it."""

import contextlib
import re
import signal
from functools import partial

from .bench import check
from .plan import APPROACH, centre, make_plan, path_is_good, unit_at
from .session import Session

BUTTON_LINE = re.compile(r"^[lr]button(down|up) ")
KEY_LINE = ("keydown ", "keyup ")


def start(session, plan):
    session.wait_picture("at start", timeout=60)
    session.bench.check_start(session)
    return session


def click_through(session, plan):
    """Left and right clicks beside every brick, one pixel past the hit rectangles (all round the lone brick), and
    the wheel turned both ways reach the window beneath, every window beneath there is; the picture stays."""
    check(len(plan.beside) == 100, f"planned clicks beside {len(plan.beside)} bricks, not 100")
    units, lone, bench = session.expected().units, plan.lone, session.bench
    edges = [(x, y) for u in units for x, y in ((u.x + 16, u.y + 9), (u.x + 8, u.y + 19))
             if unit_at(units, x, y) is None and 0 <= x < bench.width and 0 <= y < bench.height]
    mark = session.log.mark()
    for x, y in plan.beside:
        session.click_through("left", x, y)
        session.click_through("right", x, y)
    for x, y in edges[::max(1, len(edges) // 40)] + [(lone.x - 1, lone.y + 9), (lone.x + 8, lone.y - 1)]:
        session.click_through("left", x, y)
    reached = session.log.who(mark)
    check(reached == set(session.log.logs), f"only {reached} got clicks")
    wheel_at = centre(lone) if bench.wheel_through_bricks else plan.beside[0]
    for button, notch in ((4, 120), (5, -120)):
        mark = session.log.mark()
        session.move(*wheel_at)
        session.wheel(button)
        session.log.wait_for("mousewheel %d %d %d" % (*wheel_at, notch), since=mark)
    session.wait_picture("after the clicks beside the bricks")


@contextlib.contextmanager
def held(session, point, button="left"):
    """The button pressed at `point` through the block and let go, after a failure too: none stays held."""
    session.move(*point)
    session.button(button, "down")
    try:
        yield
    finally:
        session.button(button, "up")


def drag(session, button, grab, steps, label):
    """Presses on `grab`, moves through `steps` checking the picture after each, releases at the last.

    Returns the replay host's expected sounds for the drag."""
    first = len(session.history)
    with held(session, grab, button):
        for number, step in enumerate(steps, 1):
            session.move(*step)
            session.wait_picture(f"{label} step {number}")
    session.wait_picture(f"{label} after the release")
    return [sound for sounds in session.expected().sounds[first:] for sound in sounds]


def sounding_drag(session, button, grab, steps, label, times=1):
    """A drag that makes one sound, the one the replay host chose, at the event that sounds (the release of a left
    button attaches, the press of a right one pulls loose): from then on the desktop plays that file, whole,
    `times` times. Returns the replay host's sounds for the drag."""
    kind, sounds_at = ("detach", "down") if button == "right" else ("attach", "up")
    expected, played = session.bench.heard(session, lambda: drag(session, button, grab, steps, label), label,
                                           sounds_at)
    check(len(expected) == 1 and re.fullmatch(rf"Sounds\\{kind}[0-3]\.wav", expected[0]),
          f"the replay host played {expected}")
    count = played(expected[0])
    check(count == times, f"{expected[0]} played {count} times after the {label} button went {sounds_at}")
    return expected


def no_buttons_leaked(session, mark, plan):
    """A click on the bare desktop closes off the log; no button line may come before it since `mark`."""
    session.click_through("left", *plan.bare)
    lines = session.log.lines()[mark:]
    sentinel = len(lines) - 1 - lines[::-1].index("lbuttondown %d %d" % plan.bare)
    leaked = [line for line in lines[:sentinel] if BUTTON_LINE.match(line)]
    check(not leaked, f"the window beneath received {leaked}")


def click_on_brick(session, plan):
    """Clicks on a brick without moving, in its middle and on its corners, change nothing and never reach the
    window beneath."""
    mark = session.log.mark()
    for point in (centre(plan.lone), (plan.lone.x, plan.lone.y), (plan.lone.x + 15, plan.lone.y + 18)):
        drag(session, "left", point, [], "a click on a brick")
    no_buttons_leaked(session, mark, plan)


def drag_and_drop(session, plan):
    """A fast drag moves the lone brick; its press and release never reach the window beneath."""
    mark = session.log.mark()
    drag(session, "left", centre(plan.lone), plan.drops[:3], "drag")
    lone = session.expected().units[plan.lone.index]
    check((lone.x, lone.y) == plan.drops[2], f"the replay host put the brick at {(lone.x, lone.y)}")
    no_buttons_leaked(session, mark, plan)


def attach(session, plan, how=drag):
    """The lone brick brought down onto its target in slow steps by the drag `how`, and released."""
    how(session, "left", centre(session.expected().units[plan.lone.index]), plan.approach, "snap")
    check(session.expected().units[plan.lone.index].below == plan.target.index,
          f"the replay host did not attach the brick to unit {plan.target.index}")


def pull_loose(session, plan):
    """A right press pulls the attached brick off with its sound; it is dragged away and dropped, and neither
    press nor release reaches the window beneath."""
    mark = session.log.mark()
    pull(session, plan, sounding_drag)
    lone = session.expected().units[plan.lone.index]
    check((lone.x, lone.y, lone.below) == (*plan.drops[4], -1),
          f"the replay host left the brick at {(lone.x, lone.y)} with below {lone.below}")
    no_buttons_leaked(session, mark, plan)


def across_the_seam(session, plan):
    """The target carried to the second output, then the lone brick brought over the seam (the picture on both
    sides of it) and down onto the target there in slow steps: it snaps and attaches on the second output. The
    two are carried back, the drag's positions left of the second output's surface."""
    seam, units = session.bench.output_width, session.expected().units
    target = units[plan.target.index]
    drag(session, "left", centre(target), [(target.x + seam + 8, target.y + 9)], "carry")
    carried = session.expected().units
    moved = carried[plan.target.index]
    approach = [(moved.x + 3, moved.y - dy) for dy in APPROACH]
    check(moved.x > seam and path_is_good(carried, carried[plan.lone.index], moved, approach),
          f"no clear way down onto the target at {moved}")
    attach(session, plan._replace(approach=[(seam, approach[0][1] + 9)] + approach))
    drag(session, "left", centre(session.expected().units[plan.lone.index]),
         [(x + 8, y + 9) for x, y in plan.drops[4:5]], "back over the seam")


def held_while_output_goes(session, plan, point):
    """Holds the lone brick at `point` on the last output and unplugs that output before letting go: the drag
    ends there, as its release would. Where the compositor cannot unplug, the release ends it; False then."""
    with held(session, centre(session.expected().units[plan.lone.index])):
        session.move(*point)
        session.wait_picture("held over the last output")
        return session.bench.remove_output()


def relaid(session, label):
    """The screen grew or shrank: the expected pictures take its new size."""
    session.replayed.clear()
    session.wait_picture(label)


def outputs_come_and_go(session, plan):
    """An output added at the right shows its part at once. Unplugged under the held lone brick (sway 1.8 and
    later), it ends the drag; the brick stays in the world and shows again with a new output there, is carried
    back, and an output unplugged with nothing held leaves the rest as it was."""
    bench = session.bench
    bench.add_output()
    relaid(session, "with an output more")
    if held_while_output_goes(session, plan, (bench.width - bench.output_width // 2, bench.height // 2)):
        relaid(session, "after the output went under the held brick")
        bench.add_output()
        relaid(session, "with the output back")
    drag(session, "left", centre(session.expected().units[plan.lone.index]),
         [(x + 8, y + 9) for x, y in plan.drops[4:5]], "carried back")
    if bench.remove_output():
        relaid(session, "after an output went with nothing held")


def stays_on_top(session, plan):
    """The window beneath raised over the bricks: the program raises itself again."""
    bench = session.bench
    window = bench.xdotool("search", "--name", "^Event Tester$").split()[0]
    bench.xdotool("windowraise", window)  # done once xdotool returns: it waits for the server
    session.wait_picture("after a window was raised over the bricks")


def root_grows(session, plan):
    """The root grows while a brick is held: a window raised then goes under again and shows every brick, the drag
    goes on into the new rows, and there the dropped brick is picked up again; nothing reaches the window beneath."""
    bench, mark, new_rows = session.bench, session.log.mark(), session.bench.height
    with held(session, centre(session.expected().units[plan.lone.index])):
        bench.grow()
        stays_on_top(session, plan)  # the whole surface put again
        session.move(session.pointer[0], new_rows + 100)
    dropped = session.expected().units[plan.lone.index]
    drag(session, "left", centre(dropped), [(dropped.x + 8, new_rows + 180)], "in the new rows")
    no_buttons_leaked(session, mark, plan)


def keys_then_escape(session, plan, pointer):
    """Keys reach the focused window, Alt+Escape ends nothing, Escape ends the program with 0 and never reaches
    the window beneath."""
    a, alt_escape, escape = session.bench.KEY_LINES
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
    check(any(line.startswith(alt_escape) for line in seen), f"Alt+Escape did not reach the window: {seen}")
    session.move(*pointer)
    mark = log.mark()
    session.key("Escape")
    session.wait_end(session.bench.end_timeout)
    session.key("z")
    seen = log.wait_for("char 122", since=mark)
    check(not any(line.startswith(escape) for line in seen), f"the window beneath got the Escape: {seen}")
    session.bench.escape_seen_elsewhere()


def escape_while_idle(session, plan):
    """With nothing held, Escape belongs to the window beneath and ends nothing (Wayland)."""
    session.move(*plan.bare)
    mark = session.log.mark()
    session.key("Escape")
    session.key("b")
    seen = session.log.wait_for("keyup b", since=mark)
    check("keydown Escape" in seen, f"the window beneath did not get the Escape: {seen}")
    session.require_running()


def keys_during_a_drag(session, plan):
    """While a brick is held the toy has the keyboard (Wayland): a key typed then reaches nobody's window, and at
    the release the window beneath has its keyboard back, with no stray key or button."""
    mark = session.log.mark()
    with held(session, centre(session.expected().units[plan.lone.index])):
        session.log.wait_for("kbleave", since=mark)
        session.key("a")
    session.log.wait_for("kbenter", since=mark)
    session.key("z")
    seen = session.log.wait_for("keyup z", since=mark)
    stray = [line for line in seen if line.startswith(KEY_LINE) and not line.endswith(" z")]
    check(not stray, f"the window beneath received {stray}")
    session.wait_picture("after a drop in place")
    no_buttons_leaked(session, mark, plan)


def escape_while_holding(session, plan):
    """Escape while a brick is held ends the program with 0 at the key's release, even when the button goes up
    first; the window beneath sees neither half of that Escape."""
    mark = session.log.mark()
    with held(session, centre(session.expected().units[plan.lone.index])):
        session.log.wait_for("kbleave", since=mark)
        session.bench.input("press", "Escape")
    session.require_running()
    session.bench.input("release", "Escape")
    session.wait_end(5)
    session.move(*plan.bare)
    session.key("z")
    seen = session.log.wait_for("keyup z", since=mark)
    check(not any(line.endswith(" Escape") for line in seen), f"the window beneath received Escape: {seen}")


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
    session.wait_end(5)


def bell_without_sound_file(session, plan):
    """Started where the attach sounds are missing and the detach sounds are no sound files at all (Linux): the
    attach and the pull loose each ring the theme's bell instead, and the program runs on."""
    attach(session, plan, partial(sounding_drag, times=0))
    pull(session, plan, partial(sounding_drag, times=0))
    session.click_through("left", *plan.bare)
    session.require_running()


def pull(session, plan, how):
    lone = session.expected().units[plan.lone.index]
    how(session, "right", (lone.x + 8, lone.y + 4), plan.drops[3:5], "pull")


def display_lost(session, plan):
    """The display server goes away under the program: it ends within 5 s with a message and 1, not a signal."""
    session.bench.kill()
    session.wait_end(5, status=1, said="connection")


WINDOWS, X11, WAYLAND = {"wine"}, {"x11"}, {"sway", "kwin", "gnome"}
INSTALLED = {"deb", "nsis"}  # a package's program, installed: its start, its sounds found, its end
LINUX, EVERY = X11 | WAYLAND, {"wine"} | X11 | WAYLAND

# Each row: its title, the kinds of desktop that play it, and its attempts, each on `play` (below). The rows run
# in order; the first ones share the program's first start.
ROWS = [
    ("start: the bricks over the window beneath", EVERY | INSTALLED, lambda p: start(p.main, p.plan)),
    ("click-through: buttons and the wheel beside the bricks reach the window beneath", EVERY,
     lambda p: click_through(p.main, p.plan)),
    ("click on a brick: nothing moves, nothing reaches the window beneath", EVERY,
     lambda p: click_on_brick(p.main, p.plan)),
    ("drag and drop: fast moves, press and release kept", EVERY, lambda p: drag_and_drop(p.main, p.plan)),
    ("snap and attach: slow steps, the attach sound once at the release", EVERY | INSTALLED,
     lambda p: attach(p.main, p.plan, sounding_drag)),
    ("pull loose: right press, the detach sound once", EVERY, lambda p: pull_loose(p.main, p.plan)),
    ("outputs come and go: a new output shows its part at once; one unplugged under a held brick ends the drag, "
     "and the brick shows again with the output", {"sway"}, lambda p: outputs_come_and_go(p.main, p.plan)),
    ("on top: a window raised over the bricks goes under again", X11, lambda p: stays_on_top(p.main, p.plan)),
    ("a root that grows while a brick is held: the drag goes on into the new rows", X11,
     lambda p: root_grows(p.main, p.plan)),
    ("keys: a key reaches the window beneath, Alt+Escape ends nothing, Escape ends with 0 (pointer on a brick, "
     "then on the desktop)", WINDOWS | X11 | INSTALLED,
     lambda p: keys_then_escape(p.main, p.plan, centre(p.plan.target)),
     lambda p: keys_then_escape(p.fresh("keys"), p.plan, p.plan.bare)),
    ("keys: Escape with nothing held reaches the window beneath; keys during a drag reach nobody; Escape while a "
     "brick is held ends with 0", {"sway", "kwin"}, lambda p: escape_while_idle(p.main, p.plan),
     lambda p: keys_during_a_drag(p.main, p.plan), lambda p: escape_while_holding(p.main, p.plan)),
    ("across the seam: a brick carried to the second output snaps and attaches there, and comes back",
     {"sway", "kwin"},
     lambda p: across_the_seam(p.fresh("seam"), p.plan)),
    ("SIGINT, SIGTERM, a second start and --quit end it with 0; a toy killed outright blocks no start", LINUX,
     *(lambda p, how=how, name=f"ended-{number}": ended_by(p.launch(name), how)
       for number, how in enumerate(ENDINGS))),
    ("a missing or broken sound file: the bell instead, and the program runs on", X11,
     lambda p: bell_without_sound_file(p.fresh("lonely", **p.bench.lonely()), p.plan)),
    ("display lost: the program ends within 5 s", LINUX, lambda p: display_lost(p.fresh("lost"), p.plan)),
    ("uninstall, silent: the installed files and folder, the shortcut and the Uninstall key go", {"nsis"},
     lambda p: (p.stop(), p.bench.uninstall())),
]


class Play:
    """The starts of the program on one desktop: the first, then fresh ones, one at a time (a second start
    would end the first)."""

    def __init__(self, bench):
        self.bench, self.sessions = bench, []
        self.main = self.launch("main")
        self.plan = make_plan(self.main.expected(), bench)

    def launch(self, name, cwd=None, program=None):
        self.stop()
        self.sessions.append(Session(self.bench, name, cwd or self.bench.home, program))
        return self.sessions[-1]

    def fresh(self, name, **where):
        """A new start, once it shows its start picture."""
        return start(self.launch(name, **where), self.plan)

    def stop(self):
        for session in self.sessions:
            session.stop()


def play(bench, rows, tag):
    """Every row of the table for this desktop's kind, in order; `tag` names the desktop in the rows."""
    game = Play(bench)
    try:
        for number, (title, kinds, *attempts) in enumerate(ROWS, 1):
            if bench.kind in kinds:
                rows.row(f"{tag} {number} {title}", *(lambda attempt=attempt: attempt(game) for attempt in attempts))
    finally:
        game.stop()

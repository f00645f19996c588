"""What a user does on a Wayland desktop, and what they must see and not disturb.

The Wayland program sees only the pointer over its bricks and the keyboard only while a brick is held, so
the window beneath must get everything else, and nothing of what the toy takes."""

from .bench import check
from .plan import centre
from .scenarios import attach, drag, no_buttons_leaked

KEY_LINE = ("keydown ", "keyup ")


def clicks_and_keys_beside(session, plan, bricks=100):
    """Clicks beside the bricks and a key typed meanwhile reach the window beneath; the input region is the
    hit rectangle to the pixel: one pixel outside the lone brick's goes through, its corners are the toy's."""
    lone = plan.lone
    for x, y in plan.beside[:bricks] + [(lone.x - 1, lone.y + 9), (lone.x + 16, lone.y + 9),
                                        (lone.x + 8, lone.y - 1), (lone.x + 8, lone.y + 19)]:
        session.click_through("left", x, y)
        session.click_through("right", x, y)
    mark = session.log.mark()
    session.key("a")
    session.log.wait_for("keyup a", since=mark)
    for corner in ((lone.x, lone.y), (lone.x + 15, lone.y + 18)):
        session.move(*corner)
        session.button("left", "down")
        session.button("left", "up")
    session.wait_picture("after the clicks beside the bricks")
    no_buttons_leaked(session, mark, plan)


def drag_and_snap(session, plan):
    """The lone brick is dropped elsewhere, then brought down onto its target and attached; the window
    beneath gets neither press nor release."""
    mark = session.log.mark()
    drag(session, "left", centre(plan.lone), plan.drops[:2], "drag")
    attach(session, plan)
    no_buttons_leaked(session, mark, plan)


def escape_while_idle(session, plan):
    """With nothing held, Escape belongs to the window beneath and ends nothing."""
    session.move(*plan.bare)
    mark = session.log.mark()
    session.key("Escape")
    session.key("b")
    seen = session.log.wait_for("keyup b", since=mark)
    check("keydown Escape" in seen, f"the window beneath did not get the Escape: {seen}")
    session.require_running()


def keys_during_a_drag(session, plan):
    """While a brick is held the toy has the keyboard: a key typed then reaches nobody's window, and at
    the release the window beneath has its keyboard back, with no stray key or button."""
    mark = session.log.mark()
    session.move(*centre(session.expected().units[plan.lone.index]))
    session.button("left", "down")
    try:
        session.log.wait_for("kbleave", since=mark)
        session.key("a")
    finally:
        session.button("left", "up")
    session.log.wait_for("kbenter", since=mark)
    session.key("z")
    seen = session.log.wait_for("keyup z", since=mark)
    stray = [line for line in seen if line.startswith(KEY_LINE) and not line.endswith(" z")]
    check(not stray, f"the window beneath received {stray}")
    session.wait_picture("after a drop in place")
    no_buttons_leaked(session, mark, plan)


def key_after_drop(session, plan):
    """After a drop the window beneath has the keyboard again: a key typed then reaches it."""
    mark = session.log.mark()
    session.move(*centre(session.expected().units[plan.lone.index]))
    session.button("left", "down")
    session.button("left", "up")
    session.wait_picture("after a drop in place")
    session.key("a")
    session.click_through("left", *plan.bare)
    session.key("b")
    seen = session.log.wait_for("keyup b", since=mark)
    check("keydown a" in seen, f"the key typed after the drop did not reach the window beneath: {seen}")


def escape_while_holding(session, plan):
    """Escape while a brick is held ends the program with 0 at the key's release, even when the button goes up
    first; the window beneath sees neither half of that Escape."""
    mark = session.log.mark()
    session.move(*centre(session.expected().units[plan.lone.index]))
    session.button("left", "down")
    session.log.wait_for("kbleave", since=mark)
    session.bench.hands.send("press Escape")
    session.button("left", "up")
    session.require_running()
    session.bench.hands.send("release Escape")
    code = session.wait_end(5)
    check(code == 0, f"the program ended with exit code {code}: {session.errors()}")
    session.move(*plan.bare)
    session.key("z")
    seen = session.log.wait_for("keyup z", since=mark)
    check(not any(line.endswith(" Escape") for line in seen), f"the window beneath received Escape: {seen}")


def compositor_killed(session, bench):
    """The compositor dies under the running program: it ends within 5 s with a status of its own."""
    session.wait_picture("at start", timeout=30)
    bench.kill()
    code = session.wait_end(5)
    check(code != 0 and "connection" in session.errors(),
          f"exit code {code} and the message '{session.errors().strip()}'")

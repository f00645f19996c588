"""Choosing bricks and places for the scenarios from the world the program starts with."""

from collections import namedtuple

# The held lone brick comes down onto its target 3 pixels to the right of it, its top edge this
# far above the target's, in steps of at most 8 pixels (slow ones); it lines up from 32 above.
APPROACH = [60, 54, 48, 42, 36, 30, 27]

# lone: a one-stud Unit clear of all others; drops: five clear places for it, far apart;
# target: the Unit it is attached to; approach: pointer positions coming down onto the target;
# beside: a bare point beside each brick; bare: a bare point away from every brick.
Plan = namedtuple("Plan", "lone drops target approach beside bare")


def centre(unit):
    return unit.x + 8, unit.y + 9


def unit_at(units, x, y):
    """The first unit in World order holding the point, as a press finds it."""
    return next((u for u in units if u.x <= x <= u.x + 15 and u.y <= y <= u.y + 18), None)


def is_clear(units, x, y, skip, margin):
    """A unit at (x, y) would neither touch nor line up with any other unit, with `margin` to spare."""
    return all(abs(u.x - x) > 15 + margin or abs(u.y - y) > 32 + margin for u in units if u.index != skip)


def bricks(units):
    """Every brick once, as its units from left to right."""
    found = []
    for unit in units:
        if unit.right < 0:
            brick = [unit]
            while brick[0].left >= 0:
                brick.insert(0, units[brick[0].left])
            found.append(brick)
    return found


def path_is_good(units, lone, target, path):
    """The held brick touches nothing on the way and lines up, with the target only, just at the end."""
    others = [u for u in units if u.index != lone.index]
    for x, y in path:
        if any(abs(x - u.x) <= 15 and abs(y - u.y) <= 18 for u in others):
            return False
        partner = next((u for u in others if abs(x - u.x) <= 7 and 18 < abs(u.y - y) < 33), None)
        in_reach = 18 < target.y - y < 33
        if (partner is not None) != in_reach or (in_reach and partner is not target):
            return False
    return True


def make_plan(start, bench):
    """Picks everything the scenarios need from the replay host's start world, its expected screen and the
    bench's background, on the screen where the bricks start (from the bench's origin, its first output's width)."""
    units, screen, height, background = start.units, start.screen, bench.height, bench.background
    start_x, scale = bench.origin[0], bench.scale  # the pictures are in device pixels
    stride = bench.width * scale
    width = start_x + bench.output_width
    def on_screen(x, y, margin=8):
        return start_x + margin <= x <= width - 16 - margin and margin <= y <= height - 19 - margin

    def bare(x, y, r=3):
        rows = (slice(3 * (py * stride + (x - r) * scale), 3 * (py * stride + (x + r + 1) * scale))
                for py in range((y - r) * scale, (y + r + 1) * scale))
        return unit_at(units, x, y) is None and start_x + r <= x < width - r and r <= y < height - r and \
            all(screen[row] == background[row] for row in rows)

    def beside(brick):  # a bare point a few pixels off the brick's sides, nearest first
        left, top, right, bottom = brick[0].x, brick[0].y, brick[-1].x + 15, brick[-1].y + 18
        mx, my = (left + right) // 2, (top + bottom) // 2
        return next(((x, y) for gap in (5, 8, 12, 16, 20) for x, y in (
            (left - gap, my), (right + gap, my), (mx, top - gap - 4), (mx, bottom + gap),
            (left - gap, top - gap - 4), (right + gap, bottom + gap)) if bare(x, y)), None)

    lone = target = None
    for brick in bricks(units):
        candidate = brick[0]
        if len(brick) > 1 or not on_screen(candidate.x, candidate.y) or \
                not is_clear(units, candidate.x, candidate.y, candidate.index, 8):
            continue
        for unit in units:
            path = [(unit.x + 3, unit.y - dy) for dy in APPROACH]
            if unit is not candidate and unit.above < 0 and all(on_screen(x, y) for x, y in path) and \
                    path_is_good(units, candidate, unit, path):
                lone, target, approach = candidate, unit, path
                break
        if lone:
            break
    if lone is None:
        raise ValueError("no clear one-stud brick can be brought down onto another in slow steps")

    taken, drops = [(lone.x, lone.y), (target.x, target.y - 18)], []
    for y in range(40, height - 60, 23):
        for x in range(start_x + 40, width - 60, 29):
            if all(abs(x - tx) + abs(y - ty) >= 120 for tx, ty in taken) and is_clear(units, x, y, lone.index, 12):
                drops.append((x, y))
                taken.append((x, y))
    points = [beside(brick) for brick in bricks(units)]
    bare_point = next(((x + 8, y + 9) for x, y in drops[5:] if bare(x + 8, y + 9)), None)
    if None in points or bare_point is None:
        raise ValueError("this world leaves too little bare room for the scenarios")
    return Plan(lone, drops[:5], target, approach, points, bare_point)

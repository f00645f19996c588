"""Choosing bricks and places for the scenarios from the world the program starts with."""

from dataclasses import dataclass

from .world_state import first_aligned, is_clear, touches_any

# Where the held lone brick stops above its target on the way down: the first
# distance from which it lines up, then one more slow step while lined up.
APPROACH_START = 60   # top edges this far apart: far out of reach
APPROACH_STEP = 6     # at most 8 pixels, so every step is a slow one
APPROACH_END = 27     # 19..32 apart lines up
APPROACH_COLUMN = 3   # held brick this far right of the target: within 7


@dataclass
class Plan:
    lone: object            # Unit: a one-stud brick standing clear of all others
    drops: list             # clear places for the lone brick, far apart, for the fast drags
    target: object          # Unit: the brick the lone one is attached to
    approach: list          # pointer positions of the slow descent onto the target
    beside: list            # (x, y) beside each brick, on the bare desktop
    bare: tuple             # a point on the bare desktop, away from every brick


def approach_path(target):
    x = target.x + APPROACH_COLUMN
    return [(x, target.y - dy) for dy in range(APPROACH_START, APPROACH_END - 1, -APPROACH_STEP)] + \
        [(x, target.y - APPROACH_END)]


def _path_is_good(world, lone, target, path):
    """The held brick touches nothing on the way and lines up with the target only at the end."""
    ignore = (lone.index,)
    for x, y in path:
        if touches_any(world, x, y, ignore):
            return False
        partner = first_aligned(world, x, y, ignore)
        in_reach = 18 < target.y - y < 33
        if (partner is not None) != in_reach or (in_reach and partner.index != target.index):
            return False
    return True


def _on_screen(x, y, width, height, margin=8):
    return margin <= x <= width - 16 - margin and margin <= y <= height - 19 - margin


def _bare(frame, world, x, y, radius=3):
    """No brick is drawn near (x, y) and no unit holds it."""
    if world.unit_at(x, y) is not None:
        return False
    if not (radius <= x < frame.width - radius and radius <= y < frame.height - radius):
        return False
    for py in range(y - radius, y + radius + 1):
        for px in range(x - radius, x + radius + 1):
            if frame.pixel(px, py)[3] != 0:
                return False
    return True


def _point_beside(frame, world, brick):
    """A bare point a few pixels off the brick's sides, tried nearest first."""
    first, last = world.units[brick[0]], world.units[brick[-1]]
    left, top, right, bottom = first.x, first.y, last.x + 15, last.y + 18
    middle_x, middle_y = (left + right) // 2, (top + bottom) // 2
    for gap in (5, 8, 12):
        for x, y in ((left - gap, middle_y), (right + gap, middle_y), (middle_x, top - gap - 4),
                     (middle_x, bottom + gap), (left - gap, top - gap - 4), (right + gap, bottom + gap)):
            if _bare(frame, world, x, y):
                return x, y
    return None


def make_plan(world, frame, width, height):
    """Picks everything the scenarios need; raises ValueError when this world offers no fit."""
    bricks = world.bricks()
    lone_candidates = [world.units[b[0]] for b in bricks
                       if len(b) == 1 and _on_screen(world.units[b[0]].x, world.units[b[0]].y, width, height)
                       and is_clear(world, world.units[b[0]].x, world.units[b[0]].y, ignore=(b[0],), margin=8)]
    if not lone_candidates:
        raise ValueError("no one-stud brick stands clear of the others")

    for lone in lone_candidates:
        target = None
        for unit in world.units:
            if unit.index == lone.index or unit.above >= 0:
                continue
            path = approach_path(unit)
            if all(_on_screen(x, y, width, height) for x, y in path) and _path_is_good(world, lone, unit, path):
                target, approach = unit, path
                break
        if target is not None:
            break
    else:
        raise ValueError("no brick can be approached from above in slow steps")

    # Clear places for the lone brick, at least 120 pixels from one another, from
    # its own place and from the target.
    taken = [(lone.x, lone.y), (target.x, target.y - 18)]
    drops = []
    for y in range(40, height - 60, 23):
        for x in range(40, width - 60, 29):
            if all(abs(x - tx) + abs(y - ty) >= 120 for tx, ty in taken) and \
                    is_clear(world, x, y, ignore=(lone.index,), margin=12):
                drops.append((x, y))
                taken.append((x, y))
    if len(drops) < 5:
        raise ValueError(f"only {len(drops)} clear places for a dropped brick")

    beside = [_point_beside(frame, world, b) for b in bricks]
    if None in beside:
        crowded = [world.units[b[0]].index for b, p in zip(bricks, beside) if p is None]
        raise ValueError(f"no bare point beside the bricks of units {crowded}")
    bare = next(((x + 8, y + 9) for x, y in drops[5:] if _bare(frame, world, x + 8, y + 9)), None)
    if bare is None:
        raise ValueError("no bare point left for the sentinel clicks")
    return Plan(lone, drops[:5], target, approach, beside, bare)

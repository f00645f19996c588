"""The bricks as the replay host reports them, and the geometry the scenarios plan with."""

from dataclasses import dataclass

# A unit covers (x, y) to (x + 15, y + 18), both ends included.
UNIT_W, UNIT_H = 16, 19


@dataclass
class Unit:
    index: int
    colour: int  # 0x00BBGGRR
    x: int
    y: int
    draw_x: int
    draw_y: int
    left: int
    right: int
    above: int
    below: int
    pending_above: int
    pending_below: int

    def contains(self, px, py):
        return self.x <= px <= self.x + UNIT_W - 1 and self.y <= py <= self.y + UNIT_H - 1

    def centre(self):
        return self.x + 8, self.y + 9


@dataclass
class WorldState:
    state: str
    grabbed: int
    snap_held: int
    snap_target: int
    units: list

    def brick_of(self, index):
        """The indices of the brick holding unit `index`, left to right."""
        unit = self.units[index]
        while unit.left >= 0:
            unit = self.units[unit.left]
        brick = [unit.index]
        while unit.right >= 0:
            unit = self.units[unit.right]
            brick.append(unit.index)
        return brick

    def bricks(self):
        """Every brick once, as lists of unit indices from left to right."""
        return [self.brick_of(u.index) for u in self.units if u.right < 0]

    def unit_at(self, px, py):
        """The first unit in World order whose rectangle holds the point, as a press finds it."""
        for unit in self.units:
            if unit.contains(px, py):
                return unit
        return None


def parse_state(text):
    lines = [line.split() for line in text.splitlines() if line.strip()]
    head = lines[0]
    if head[0] != "state" or head[2] != "grabbed":
        raise ValueError(f"unexpected state header: {' '.join(head)}")
    fields = dict(zip(head[0::2], head[1::2]))
    units = []
    for number, parts in enumerate(lines[1:]):
        values = [int(parts[0]), int(parts[1], 16)] + [int(p) for p in parts[2:12]]
        unit = Unit(*values)
        if unit.index != number:
            raise ValueError(f"unit line {number} carries index {unit.index}")
        units.append(unit)
    return WorldState(fields["state"], int(fields["grabbed"]), int(fields["snapHeld"]),
                      int(fields["snapTarget"]), units)


def units_overlap(ax, ay, bx, by):
    """Two units touch or overlap."""
    return abs(ax - bx) <= 15 and abs(ay - by) <= 18


def studs_align(ux, uy, tx, ty):
    """A held unit at (ux, uy) with no vertical links lines up with a unit at (tx, ty)."""
    column = abs(ux - tx) <= 7
    return column and 18 < abs(ty - uy) < 33


def is_clear(world, x, y, ignore=(), margin=4):
    """A unit placed at (x, y) would neither touch nor line up with any unit outside `ignore`,
    with `margin` pixels to spare on every side."""
    for unit in world.units:
        if unit.index in ignore:
            continue
        if abs(unit.x - x) <= 15 + margin and abs(unit.y - y) <= 32 + margin:
            return False
    return True


def first_aligned(world, x, y, ignore=()):
    """The first unit in World order that a held lone unit at (x, y) would snap to, if any."""
    for unit in world.units:
        if unit.index not in ignore and studs_align(x, y, unit.x, unit.y):
            return unit
    return None


def touches_any(world, x, y, ignore=()):
    return any(units_overlap(x, y, u.x, u.y) for u in world.units if u.index not in ignore)

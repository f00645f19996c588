"""What the application underneath the bricks logged."""

from pathlib import Path

from .waits import wait_until


class AppLog:
    def __init__(self, path):
        self.path = Path(path)

    def lines(self):
        try:
            text = self.path.read_text()
        except FileNotFoundError:
            return []
        # A line still being written has no newline yet: leave it for the next look.
        return text.split("\n")[:-1]

    def mark(self):
        """A position in the log; later lines are those logged after it."""
        return len(self.lines())

    def since(self, mark):
        return self.lines()[mark:]

    def wait_for(self, line, since, timeout=10):
        """Waits until `line` is logged after `since`; returns the lines logged after `since` up to it."""
        def found():
            later = self.since(since)
            return later[:later.index(line) + 1] if line in later else None
        return wait_until(found, timeout, f"the application underneath to log '{line}'")

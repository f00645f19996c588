"""Waiting on conditions, never on the clock alone."""

import time


class WaitTimeout(Exception):
    """A condition did not come true in time."""


def wait_until(condition, timeout, what, interval=0.05):
    """Polls condition() until it returns a true value and returns that value.

    Raises WaitTimeout naming `what` when `timeout` seconds pass first.
    """
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise WaitTimeout(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)

"""A Windows program run under Wine, with its exit code and Wine's trace of its sounds."""

import re
from pathlib import Path

from .waits import wait_until

# winmm traces every PlaySound call on the calling thread, then names the file on
# the thread that plays it.
SOUND_CALL = re.compile(r":trace:winmm:MULTIMEDIA_PlaySound ")
SOUND_NAME = re.compile(r':trace:winmm:proc_PlaySound SoundName=L"(.*)" !')


class Program:
    def __init__(self, prefix, exe, cwd, trace_path, output_path):
        self.trace_path = Path(trace_path)
        self.output_path = Path(output_path)
        self._stdout = open(self.output_path, "wb")
        self._stderr = open(self.trace_path, "wb")
        self.process = prefix.start([exe], cwd=cwd, stdout=self._stdout, stderr=self._stderr,
                                    debug="fixme-all,trace+winmm")

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        """The exit code once the program has ended."""
        try:
            return self.process.wait(timeout=timeout)
        finally:
            if self.process.poll() is not None:
                self._stdout.close()
                self._stderr.close()

    def stop(self):
        if self.running():
            self.process.kill()
            self.process.wait()
        self._stdout.close()
        self._stderr.close()

    def trace_lines(self):
        return self.trace_path.read_text(errors="replace").splitlines()

    def sound_calls(self):
        """How many times the program has called PlaySound so far."""
        return sum(1 for line in self.trace_lines() if SOUND_CALL.search(line))

    def sound_names(self):
        """The files named by the plays started so far, in order, with winmm's escaping undone."""
        names = []
        for line in self.trace_lines():
            found = SOUND_NAME.search(line)
            if found:
                names.append(found.group(1).replace("\\\\", "\\"))
        return names

    def wait_sound_names(self, count, timeout=10):
        """Waits until `count` plays have named their files; returns all names."""
        def named():
            names = self.sound_names()
            return names if len(names) >= count else None
        return wait_until(named, timeout, f"{count} sound file names in the winmm trace")

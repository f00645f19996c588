"""The program's sounds heard: a PulseAudio daemon of our own with one null sink at the sound files' own rate and
format, recorded during a drag: what the program plays comes through sample for sample."""

import os
import shutil
import signal
import subprocess
import wave
from array import array

from .bench import DEVNULL, check, start, wait_until

SINK = "zimblet_e2e"
RATE = 44100  # the rate, width and channels of the program's own sound files


class Pulse:
    """A PulseAudio daemon of our own with one null sink; its monitor is what the program played."""

    def __init__(self, runtime_dir):
        shutil.rmtree(runtime_dir, ignore_errors=True)
        runtime_dir.mkdir(mode=0o700, parents=True)
        self.runtime = runtime_dir
        self.env = dict(os.environ, XDG_RUNTIME_DIR=str(runtime_dir), HOME=str(runtime_dir))
        start(["pulseaudio", "-n", "--exit-idle-time=-1", "--log-target=file:" + str(runtime_dir / "log"),
               "--load=module-native-protocol-unix auth-anonymous=1",
               f"--load=module-null-sink sink_name={SINK} rate={RATE} channels=1 format=s16le norewinds=1"],
              env=self.env, stdin=DEVNULL, stdout=DEVNULL, stderr=DEVNULL)
        wait_until(lambda: subprocess.run(["pactl", "info"], env=self.env, stdout=DEVNULL,
                                          stderr=DEVNULL).returncode == 0, 10, "PulseAudio to take clients")


class Recording:
    """parecord of the sink's monitor into a WAV file, from now until stop()."""

    def __init__(self, pulse, path):
        self.path = path
        # A null sink renders ahead; were it to rewind for a sound that starts meanwhile, the silence already
        # sent to the monitor would stand and the sound's start be lost: the sink does not rewind (norewinds)
        # and the recording asks for a short latency.
        self.process = subprocess.Popen(["parecord", "--latency-msec=20", f"--device={SINK}.monitor",
                                         "--file-format=wav", f"--rate={RATE}",
                                         "--channels=1", "--format=s16le", str(path)], env=pulse.env,
                                        stdout=DEVNULL, stderr=DEVNULL)
        wait_until(lambda: self.samples_so_far() > RATE // 10, 10, "the recording to run")

    def read_from(self, sample):
        """The bytes of the samples on disk from `sample` on, while it still records (the header is 44 bytes until
        the end writes the real one)."""
        data = self.path.read_bytes()[44 + 2 * sample:] if self.path.exists() else b""
        return data[:len(data) // 2 * 2]

    def samples_so_far(self):
        return max(0, self.path.stat().st_size - 44) // 2 if self.path.exists() else 0

    def stop(self):
        self.process.send_signal(signal.SIGINT)  # parecord then writes the WAV header's sizes
        self.process.wait(timeout=10)
        with wave.open(str(self.path)) as recorded:
            return recorded.readframes(recorded.getnframes())


def sound_body(path):
    """A sound file's samples from its first sound on, as the sink passes them on: unchanged, byte for byte."""
    with wave.open(str(path)) as sound:
        check((sound.getnchannels(), sound.getsampwidth(), sound.getframerate()) == (1, 2, RATE),
              f"{path} is not 16-bit mono at {RATE} Hz")
        samples = array("h", sound.readframes(sound.getnframes()))
    return samples[next(i for i, sample in enumerate(samples) if sample):].tobytes()


def silent(data):
    return not data.strip(b"\0")


def heard(session, play, label, sounds_at):
    """Runs play(), the `label` drag, with the sink's monitor recorded until its sound is over; returns what it
    returns and how many times a sound file (Sounds\\NAME) is heard whole from the event that sounds on, its button
    going `sounds_at`. Silence must come before that event."""
    recording = Recording(session.bench.pulse, session.bench.artifacts / f"{session.name}-{label}.wav")
    sounded_at, send = [], session.button
    quiet = RATE // 20  # samples

    def quiet_since():  # the end of a sound still playing (the bell of a row before) is not this drag's
        count = recording.samples_so_far()
        return count if count >= quiet and silent(recording.read_from(count - quiet)) else None
    quiet_from = wait_until(quiet_since, 10, "silence before the drag")

    def note_event(name, action):  # how much was on disk when the event went out: all of it before
        if action == sounds_at:
            sounded_at.append(recording.samples_so_far())
        send(name, action)
    session.button = note_event
    try:
        result = play()
        wait_until(lambda: not silent(after := recording.read_from(sounded_at[0])) and silent(after[-2 * quiet:]),
                   10, f"a sound, and its end, after the {label} button went {sounds_at}")
    finally:
        session.button = send
        samples = recording.stop()
    check(silent(samples[2 * quiet_from:2 * sounded_at[0]]), f"sound before the {label} button went {sounds_at}")
    after = samples[2 * sounded_at[0]:]
    return result, lambda name: after.count(sound_body(session.bench.sounds_dir / name.split("\\")[1]))

"""The program's sounds heard: a PulseAudio daemon of our own with one null sink, recorded during a drag and
compared with the sound file the replay host chose."""

import os
import shutil
import signal
import subprocess
import wave
from array import array

from .bench import DEVNULL, check, wait_until
from .scenarios import drag

SINK = "zimblet_e2e"
RATE = 44100  # the rate, width and channels of the program's own sound files


class Pulse:
    """A PulseAudio daemon of our own with one null sink; its monitor is what the program played."""

    def __init__(self, runtime_dir):
        shutil.rmtree(runtime_dir, ignore_errors=True)
        runtime_dir.mkdir(mode=0o700, parents=True)
        self.runtime = runtime_dir
        self.env = dict(os.environ, XDG_RUNTIME_DIR=str(runtime_dir), HOME=str(runtime_dir))
        subprocess.run(["pulseaudio", "-D", "-n", "--exit-idle-time=-1", "--log-target=file:" + str(runtime_dir / "log"),
                        "--load=module-native-protocol-unix auth-anonymous=1",
                        f"--load=module-null-sink sink_name={SINK} rate={RATE} channels=1 format=s16le norewinds=1"],
                       env=self.env, check=True, timeout=30, stdout=DEVNULL, stderr=DEVNULL)
        wait_until(lambda: subprocess.run(["pactl", "info"], env=self.env, stdout=DEVNULL,
                                          stderr=DEVNULL).returncode == 0, 10, "PulseAudio to take clients")

    def stop(self):
        subprocess.run(["pulseaudio", "-k"], env=self.env, stdout=DEVNULL, stderr=DEVNULL, timeout=30)


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
        wait_until(lambda: path.exists() and path.stat().st_size > 44 + 2 * RATE // 10, 10, "the recording to run")

    def read_from(self, sample):
        """The samples on disk from `sample` on, while it still records."""
        with open(self.path, "rb") as file:
            file.seek(44 + 2 * sample)
            data = file.read()
        return array("h", data[:len(data) // 2 * 2])

    def samples_so_far(self):
        """How many samples are on disk now (the header is 44 bytes until the end writes the real one)."""
        return max(0, (self.path.stat().st_size - 44) // 2)

    def stop(self):
        self.process.send_signal(signal.SIGINT)  # parecord then writes the WAV header's sizes
        self.process.wait(timeout=10)
        with wave.open(str(self.path)) as recorded:
            return array("h", recorded.readframes(recorded.getnframes()))


def wav_samples(path):
    with wave.open(str(path)) as sound:
        check((sound.getnchannels(), sound.getsampwidth(), sound.getframerate()) == (1, 2, RATE),
              f"{path} is not 16-bit mono at {RATE} Hz")
        return array("h", sound.readframes(sound.getnframes()))


def onset(samples, threshold=64):
    return next((i for i, s in enumerate(samples) if abs(s) > threshold), None)


def likeness(heard, played, window=2000, slack=64):
    """Normalised correlation of the heard samples with the file's, from their onsets, at the best shift."""
    start, b = onset(heard), played[onset(played):][:window]
    if start is None:
        return 0.0
    best = -1.0
    for shift in range(max(0, start - slack), start + slack):
        a = heard[shift:shift + len(b)]
        n = len(a)
        norm = (sum(x * x for x in a) * sum(b[i] * b[i] for i in range(n))) ** 0.5
        if norm:
            best = max(best, sum(a[i] * b[i] for i in range(n)) / norm)
    return best


def sounding_drag(session, button, grab, steps, label):
    """A drag with the sink's monitor recorded: silence until the one event that sounds (the release of a left
    button attaches, the press of a right one pulls loose), then the sound file the replay host chose, heard.
    Returns the replay host's sounds for the drag."""
    kind, sounds_at = ("detach", "down") if button == "right" else ("attach", "up")
    expected, after = drag_heard(session, button, grab, steps, label, sounds_at)
    check(len(expected) == 1 and expected[0].startswith(f"Sounds\\{kind}"), f"the replay host played {expected}")
    path = session.bench.sounds_dir / expected[0].split("\\")[1]
    played = wav_samples(path)
    similar = likeness(after, played)
    check(similar > 0.98, f"what played is not {path.name} (likeness {similar:.3f})")
    peak_heard, peak_file = max(map(abs, after)), max(map(abs, played))
    check(abs(peak_heard - peak_file) <= max(2, peak_file // 50),
          f"heard peak {peak_heard}, the file's peak is {peak_file}")
    return expected


def drag_heard(session, button, grab, steps, label, sounds_at):
    """The drag with the sink's monitor recorded; the replay host's sounds and the samples heard from the event
    that sounds on. Silence must come before it."""
    recording = Recording(session.bench.pulse, session.bench.artifacts / f"{session.name}-{label}.wav")
    released_at, send = [], session.button

    def quiet_since():  # the end of a sound still playing (the bell of a row before) is not this drag's
        tail = recording.read_from(max(0, (count := recording.samples_so_far()) - RATE // 20))
        return count if len(tail) >= RATE // 20 and onset(tail) is None else None
    quiet_from = wait_until(quiet_since, 10, "silence before the drag")

    def note_release(name, action):  # how much was on disk when the event went out: all of it before
        if action == sounds_at:
            released_at.append(recording.samples_so_far())
        send(name, action)
    session.button = note_release
    try:
        expected = drag(session, button, grab, steps, label)
        heard = lambda: recording.read_from(released_at[0])  # noqa: E731
        wait_until(lambda: (start := onset(heard())) is not None and len(heard()) > start + 2000, 10,
                   f"a whole sound after the {label} button went {sounds_at}")
    finally:
        session.button = send
        samples = recording.stop()
    before = samples[quiet_from:released_at[0]]
    check(onset(before) is None, f"sound before the {label} button went {sounds_at} (peak {max(map(abs, before), default=0)})")
    return expected, samples[released_at[0]:]

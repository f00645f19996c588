"""The Linux program on X11: its session, the sound it plays into a PulseAudio null sink, and its scenarios."""

import os
import shutil
import signal
import subprocess
import time
import wave
from array import array

from . import scenarios
from .bench import DEVNULL, Failure, check, wait_until
from .hide_extension import HiddenExtension
from .plan import centre, unit_at
from .session import Session

SINK = "zimblet_e2e"
RATE = 44100  # the rate, width and channels of the program's own sound files


class Pulse:
    """A PulseAudio daemon of our own with one null sink; its monitor is what the program played."""

    def __init__(self, runtime_dir):
        shutil.rmtree(runtime_dir, ignore_errors=True)
        runtime_dir.mkdir(mode=0o700, parents=True)
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


class X11Session(Session):
    """One start of the native program; its stderr is kept, its sound goes to the null sink."""

    native = True

    def __init__(self, bench, name, cwd, setup, pulse):
        self.pulse = pulse
        super().__init__(bench, name, cwd, setup)

    def launch(self, cwd):
        self.stderr_path = self.bench.artifacts / f"{self.name}-stderr.txt"
        env = dict(self.bench.env(), XDG_RUNTIME_DIR=self.pulse.env["XDG_RUNTIME_DIR"], HOME=self.pulse.env["HOME"])
        with open(self.stderr_path, "wb") as err:
            return subprocess.Popen([self.setup.program_exe], cwd=cwd, env=env, stdin=DEVNULL, stdout=DEVNULL,
                                    stderr=err)

    def stderr(self):
        return self.stderr_path.read_text(errors="replace")


def _drag_heard(session, button, grab, steps, label, sound_length, sounds_at="up"):
    """scenarios._drag with the sink's monitor recorded: silence until the button goes `sounds_at` (the
    release attaches, the press of a right button pulls loose), then a sound.

    Returns the replay host's sounds for the drag and the samples heard from that event on."""
    recording = Recording(session.pulse, session.bench.artifacts / f"{session.name}-{label}.wav")
    released_at, send = [], session.button

    def note_release(name, action):  # how much was on disk when the event went out: all of it before
        if action == sounds_at:
            released_at.append(recording.samples_so_far())
        send(name, action)
    session.button = note_release
    try:
        expected = scenarios._drag(session, button, grab, steps, label)
        heard = lambda: recording.read_from(released_at[0])  # noqa: E731
        wait_until(lambda: (start := onset(heard())) is not None and len(heard()) > start + sound_length, 10,
                   f"a whole sound after the {label} button went {sounds_at}")
    finally:
        session.button = send
        samples = recording.stop()
    before = samples[:released_at[0]]
    check(onset(before) is None, f"sound before the {label} button went {sounds_at} (peak {max(map(abs, before), default=0)})")
    return expected, samples[released_at[0]:]


def _sound_file(session, expected, kind):
    check(len(expected) == 1 and expected[0].startswith(f"Sounds\\{kind}"), f"the replay host played {expected}")
    return session.setup.sounds_dir / expected[0].split("\\")[1]


def _heard_the_file(session, after, path):
    played = wav_samples(path)
    similar = likeness(after, played)
    check(similar > 0.98, f"what played is not {path.name} (likeness {similar:.3f})")
    peak_heard, peak_file = max(map(abs, after)), max(map(abs, played))
    check(abs(peak_heard - peak_file) <= max(2, peak_file // 50),
          f"heard peak {peak_heard}, the file's peak is {peak_file}")


def start(session, plan):
    scenarios.start(session, plan)


def click_through(session, plan):
    """Clicks beside every brick, one pixel past the hit rectangles, and the wheel beside a brick reach the window
    beneath; the picture stays."""
    check(len(plan.beside) == 100, f"planned clicks beside {len(plan.beside)} bricks, not 100")
    units = session.expected().units
    edges = [(x, y) for u in units for x, y in ((u.x + 16, u.y + 9), (u.x + 8, u.y + 19))
             if unit_at(units, x, y) is None and 0 <= x < session.bench.width and 0 <= y < session.bench.height]
    edges = edges[::max(1, len(edges) // 40)]
    for x, y in plan.beside:
        session.click_through("left", x, y)
        session.click_through("right", x, y)
    for x, y in edges:
        session.click_through("left", x, y)
    for button, notch in ((4, 120), (5, -120)):
        mark = session.log.mark()
        session.move(*plan.beside[0])
        session.bench.xdotool("click", button)
        session.log.wait_for("mousewheel %d %d %d" % (*plan.beside[0], notch), since=mark)
    session.wait_picture("after the clicks beside the bricks")


def click_on_brick(session, plan):
    """Clicks on a brick without moving, in its middle and on its last pixel, change nothing and never reach the
    window beneath."""
    mark = session.log.mark()
    for point in (centre(plan.lone), (plan.lone.x + 15, plan.lone.y + 18)):
        session.move(*point)
        session.button("left", "down")
        session.button("left", "up")
        session.wait_picture("after a click on a brick")
    scenarios._no_buttons_leaked(session, mark, plan)


def snap_and_attach(session, plan):
    """A slow descent snaps the lone brick; silence until the release, then the attach sound's own samples."""
    grab = centre(session.expected().units[plan.lone.index])
    expected, after = _drag_heard(session, "left", grab, plan.approach, "snap", 2000)
    check(session.expected().units[plan.lone.index].below == plan.target.index,
          f"the replay host did not attach the brick to unit {plan.target.index}")
    _heard_the_file(session, after, _sound_file(session, expected, "attach"))


def pull_loose(session, plan):
    """A right press pulls the attached brick off: its detach sound; press and release stay with the program."""
    lone = session.expected().units[plan.lone.index]
    mark = session.log.mark()
    expected, after = _drag_heard(session, "right", (lone.x + 8, lone.y + 4), plan.drops[3:5], "pull", 2000,
                                  sounds_at="down")
    lone = session.expected().units[plan.lone.index]
    check((lone.x, lone.y, lone.below) == (*plan.drops[4], -1),
          f"the replay host left the brick at {(lone.x, lone.y)} with below {lone.below}")
    _heard_the_file(session, after, _sound_file(session, expected, "detach"))
    scenarios._no_buttons_leaked(session, mark, plan)


def stays_on_top(session, plan):
    """The window beneath raised over the bricks: the program raises itself again."""
    window = subprocess.run(["xdotool", "search", "--name", "^underneath$"], env=session.bench.env(), check=True,
                            capture_output=True, text=True).stdout.split()[0]
    session.bench.xdotool("windowraise", window)  # done once xdotool returns: it waits for the server
    session.wait_picture("after a window was raised over the bricks")
    children = subprocess.run(["xwininfo", "-root", "-children"], env=session.bench.env(), check=True,
                              capture_output=True, text=True).stdout
    check('"Zimblet"' in children, "the overlay window is gone")


def keys_then_escape(session, plan, escape_held_elsewhere=False):
    """A key reaches the focused window beneath, Alt+Escape ends nothing, Escape ends the program with 0 and
    never reaches the window beneath, unless that window holds a grab of Escape itself: then its grab takes the
    key, and the program learns of it from the raw key events."""
    log = session.log
    session.move(*plan.bare)
    mark = log.mark()
    session.key("a")
    log.wait_for("char 97", since=mark)
    mark = log.mark()
    session.key("alt+Escape")
    session.key("b")
    seen = log.wait_for("char 98", since=mark)
    check(any(line.startswith("keydown Escape") for line in seen), f"Alt+Escape did not reach the window: {seen}")
    session.require_running()
    mark = log.mark()
    session.key("Escape")
    try:
        code = session.process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise Failure("Escape did not end the program within 5 s") from None
    check(code == 0, f"the program ended with exit code {code}: {session.stderr()}")
    session.key("z")
    seen = log.wait_for("char 122", since=mark)
    got_escape = any(line.startswith("keydown Escape") for line in seen)
    check(got_escape == escape_held_elsewhere,
          f"the window beneath {'did not get' if escape_held_elsewhere else 'got'} the Escape: {seen}")


def bell_without_sound_file(session, plan):
    """Started away from every Sounds folder: the attach rings the theme's bell, and the program runs on."""
    scenarios.start(session, plan)
    grab = centre(plan.lone)
    expected, after = _drag_heard(session, "left", grab, plan.approach, "bell", 2000)
    attach = wav_samples(_sound_file(session, expected, "attach"))
    similar = likeness(after, attach)
    check(similar < 0.9, f"the missing file was played after all (likeness {similar:.3f})")
    session.click_through("left", *plan.bare)
    session.require_running()


def display_lost(session, bench):
    """The X server goes away under the program: it ends within 5 s with a message, not a signal."""
    bench.xvfb.kill()
    try:
        code = session.process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        raise Failure("the program still runs 5 s after the display went away") from None
    check(code == 1, f"the program ended with {code} when the display went away")
    check("lost the connection to the display" in session.stderr(), f"stderr: {session.stderr()!r}")


FAILURE_CASES = [
    # name, the display (None: none; else Xvfb arguments), an extension the display hides, environment changes,
    # an address-space limit, the message
    ("no DISPLAY", None, None, {"DISPLAY": None}, None,
     "zimblet: no display: DISPLAY is not set, so there is no desktop to put the bricks on"),
    ("a display that is not there", None, None, {"DISPLAY": ":731"}, None,
     "zimblet: cannot open the display ':731'"),
    ("no SHAPE extension", [], "SHAPE", {}, None,
     "zimblet: the display has no SHAPE extension (1.1 or later); without it the bricks cannot let clicks through"),
    ("no memory for the surface", ["-screen", "0", "4000x4000x24"], None, {}, 48 << 20,
     "zimblet: cannot allocate the 4000x4000 drawing surface (61 MiB)"),
]


def start_failures(program, artifacts):
    """Each way the program cannot start: exactly its own one-line message on stderr, and exit code 1."""
    problems = []
    for name, xvfb_args, hidden, env_changes, address_limit, message in FAILURE_CASES:
        xvfb, proxy, env = None, None, dict(os.environ)
        try:
            if xvfb_args is not None:
                xvfb = start_xvfb(xvfb_args, artifacts / "failure-xvfb.log")
                env["DISPLAY"] = xvfb[1]
            if hidden:
                proxy = HiddenExtension(env["DISPLAY"], hidden)
                env["DISPLAY"] = proxy.display
            for key, value in env_changes.items():
                if value is None:
                    env.pop(key, None)
                else:
                    env[key] = value
            limit = ["prlimit", f"--as={address_limit}"] if address_limit else []
            try:
                done = subprocess.run([*limit, str(program)], env=env, capture_output=True, text=True, timeout=10)
                if done.returncode != 1 or done.stderr != message + "\n":
                    problems.append(f"{name}: exit {done.returncode}, stderr {done.stderr.strip()!r}")
            except subprocess.TimeoutExpired:
                problems.append(f"{name}: still running after 10 s")
        finally:
            if proxy:
                proxy.close()
            if xvfb:
                xvfb[0].kill()
                xvfb[0].wait()
    check(not problems, "; ".join(problems))


def start_xvfb(args, log_path):
    read_end, write_end = os.pipe()
    screen = [] if "-screen" in args else ["-screen", "0", "640x480x24"]
    with open(log_path, "ab") as log:
        process = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), *screen, *args, "-nolisten", "tcp"],
                                   pass_fds=(write_end,), stdin=DEVNULL, stdout=log, stderr=log)
    os.close(write_end)
    with os.fdopen(read_end, "rb") as pipe:
        display = pipe.readline().decode().strip()
    check(display, "Xvfb did not start")
    return process, ":" + display

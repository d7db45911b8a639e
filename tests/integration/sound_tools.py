"""Sound for the sound tests: a show that flashes a screen region and plays
sound into the session's sink on one clock, and readers of an AVI file's
sound and of its frames' colours."""
import array
import math
import subprocess
import time

from avi_tools import frames_rgb, packets

RATE = 44100   # of the show's sound
HUM = 0.05     # a quiet 150 Hz under everything: what the sink hears is never plain silence


class Show:
    """A borderless window of one colour over a screen region, and a sound
    stream into the session's sink. Events are (seconds from the start,
    what): a colour name, ("sine", frequency, length), or ("key", name) for
    xdotool. A colour and a sine of the same moment start together, within a
    few milliseconds; run() returns when each event took effect."""

    def __init__(self, session, left, top, width, height):
        import tkinter   # only the tests that show something need it
        self.s = session
        self.root = tkinter.Tk(screenName=session.display)
        self.root.overrideredirect(True)
        self.root.geometry("%dx%d+%d+%d" % (width, height, left, top))
        self.root.configure(bg="black")
        self.root.update()
        self.player = subprocess.Popen(["pacat", "--playback", "--device=" + session.SINK, "--raw", "--format=s16le",
                                        "--rate=%d" % RATE, "--channels=1", "--latency-msec=10"],
                                       stdin=subprocess.PIPE, env=session.env, stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL)
        self.sines = []   # (start, end, frequency)
        self.keys = []

    def close(self):
        for key in self.keys:
            key.wait()
        try:
            self.player.stdin.close()
        except OSError:
            pass
        self.player.kill()
        self.player.wait()
        self.root.destroy()

    def sample(self, t):
        value = HUM * math.sin(2 * math.pi * 150 * t)
        for start, end, frequency in self.sines:
            if start <= t < end:
                value += 0.5 * math.sin(2 * math.pi * frequency * (t - start))
        return int(max(-1.0, min(1.0, value)) * 32767)

    def run(self, events, length):
        events = sorted(events, key=lambda e: e[0])
        taken = []
        start = time.monotonic()
        written = 0.0   # sound written up to this moment of the show
        n = 0
        while True:
            now = time.monotonic() - start
            while n < len(events) and events[n][0] <= now:
                what = events[n][1:]
                if what[0] == "sine":
                    self.sines.append((now, now + what[2], what[1]))
                elif what[0] == "key":
                    self.keys.append(subprocess.Popen(["xdotool", "key", what[1]], env=self.s.env))
                else:
                    self.root.configure(bg=what[0])
                    self.root.update()
                taken.append(now)
                n += 1
            # After a stall only the last moment goes out, so that what is
            # written now is heard now.
            written = max(written, now - 0.02)
            count = int((now - written) * RATE)
            if count > 0:
                chunk = array.array("h", (self.sample(written + i / RATE) for i in range(count)))
                self.player.stdin.write(chunk.tobytes())
                self.player.stdin.flush()
                written += count / RATE
            self.root.update()
            if now >= length:
                return [(e[0], t) + tuple(e[1:]) for e, t in zip(events, taken)]
            time.sleep(0.004)


def sound_samples(path):
    """The sound stream as signed 16-bit samples (8-bit ones scaled up)."""
    proc = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-map", "0:a", "-f", "s16le", "-ac", "1", "-"],
                          capture_output=True, check=True)
    samples = array.array("h")
    samples.frombytes(proc.stdout)
    return samples


def frame_colours(path, width, height):
    """(position, mean grey level, mean green less red) of every written
    frame, over its lower half (the start caption sits top left)."""
    positions = [pts for pts, size in packets(path) if size > 0]
    out = []
    for k, frame in enumerate(frames_rgb(path, width, height)):
        lower = frame[len(frame) // 2:]
        pixels = len(lower) // 3
        red, green, blue = sum(lower[0::3]), sum(lower[1::3]), sum(lower[2::3])
        out.append((positions[k], (red + green + blue) / (3 * pixels), (green - red) / pixels))
    return out


def amplitude(samples, rate, frequency, start, length):
    """Amplitude (0..1) of a sine of that frequency over a stretch (seconds)."""
    first, count = int(start * rate), max(1, int(length * rate))
    coefficient = 2 * math.cos(2 * math.pi * frequency / rate)
    s1 = s2 = 0.0
    for x in samples[first:first + count]:
        s1, s2 = x + coefficient * s1 - s2, s1
    return 2 * math.sqrt(max(s1 * s1 + s2 * s2 - coefficient * s1 * s2, 0.0)) / count / 32768


def onsets(samples, rate, frequency, threshold=0.25, apart=0.1):
    """Start times (s) of the stretches in which a sine of that frequency is loud."""
    found, last = [], -1e9
    step = 0.00125
    for k in range(int(len(samples) / rate / step) - 4):
        t = k * step
        if amplitude(samples, rate, frequency, t, 0.005) > threshold:
            if t - last > apart:
                found.append(t + 0.0025)   # the loud window is half inside the sine
            last = t
    return found


def frequency(samples, rate):
    """The frequency of a steady sine, by its rising zero crossings."""
    rising = [i for i in range(1, len(samples)) if samples[i - 1] < 0 <= samples[i]]
    return (len(rising) - 1) * rate / (rising[-1] - rising[0])

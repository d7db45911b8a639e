"""Runs the real program under Wine on a display of its own and looks at it
from outside: exit codes, the registry, files, windows and controls.

Every Session has a fresh copy of the pristine Wine prefix (made once per test
run by scripts/test.sh, or here when run alone), its own Xvfb display and its
own working folder, and removes all of them when it closes. A session with
two monitors runs Xorg with the dummy driver instead (Xvfb cannot give Wine
two monitors): two outputs of 1024x768, the second right of the primary. A session with
sound also runs a PulseAudio server of its own whose only sink is a null
sink, "vsink"; its monitor is the default source, so what a test plays into
the sink is what the program's wave input hears.
"""
import atexit
import os
import re
import select
import shutil
import subprocess
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
DIST = os.environ.get("VELMORAX_DIST_DIR", os.path.join(ROOT, "dist", "win64"))
BUILD = os.environ.get("VELMORAX_BUILD_DIR", os.path.join(ROOT, "build", "win64"))
WINTOOL = os.environ.get("VELMORAX_WINTOOL", os.path.join(BUILD, "tests", "wintool.exe"))
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64") else "wineserver"
APP_KEY = r"HKCU\SOFTWARE\Orvantis\Velmorax"


def _wine_env(prefix, display):
    env = dict(os.environ)
    # No menu entries on the host for the program groups that the installer creates.
    env.update(WINEPREFIX=prefix, DISPLAY=display, WINELOADER=WINE, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    return env


def pristine_prefix():
    """The prefix every session copies; made once per process when the test
    runner did not make one."""
    given = os.environ.get("VELMORAX_TEST_PREFIX")
    if given:
        return given
    path = os.path.join(tempfile.gettempdir(), "velmorax-pristine-%d" % os.getpid())
    if not os.path.exists(os.path.join(path, "system.reg")):
        os.makedirs(path, exist_ok=True)
        atexit.register(shutil.rmtree, path, True)   # made here, so gone with this process
        env = _wine_env(path, "")
        subprocess.run([WINE, "wineboot", "-i"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=env)
        os.environ["VELMORAX_TEST_PREFIX"] = path
    return path


class Session:
    SINK = "vsink"

    def __init__(self, width=1024, height=768, depth=24, sound=False, monitors=1):
        self.dir = tempfile.mkdtemp(prefix="velmorax-it-")
        self.prefix = os.path.join(self.dir, "prefix")
        shutil.copytree(pristine_prefix(), self.prefix, symlinks=True)
        self.work = os.path.join(self.dir, "work")
        os.makedirs(self.work)
        self._x_server = None
        self._pulse = None
        self._players = []
        if monitors == 1:
            self.display = self._start_xvfb(width, height, depth)
            self.screen = (width, height)
        elif (monitors, width, height, depth) == (2, 1024, 768, 24):
            self.display = self._start_two_monitors()
            self.screen = (2 * width, height)
        else:
            raise ValueError("two monitors come only as 1024x768 each at 24 bits")
        self.env = _wine_env(self.prefix, self.display)
        try:
            # Wine's processes must see the sound server from their start on.
            if sound:
                self._start_pulse()
            self._warm_up()
            if sound:
                self._wait_sound_flowing()
        except BaseException:
            self.close()
            raise

    def _warm_up(self, attempts=3):
        """Brings up this prefix's Wine (server, services, desktop) with one
        short command before a test starts anything, so that the program and
        the first helper command do not race through Wine's start-up. A Wine
        that does not come up in time is ended as a whole and started again."""
        for attempt in range(attempts):
            try:
                subprocess.run([WINE, WINTOOL, "windows"], env=self.env, cwd=self.work,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
                return
            except subprocess.TimeoutExpired:
                subprocess.run([WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
                if attempt + 1 == attempts:
                    raise

    def _start_xvfb(self, width, height, depth):
        return self._start_server(["Xvfb", "-screen", "0", "%dx%dx%d" % (width, height, depth)])

    XORG_DUMMY = """
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2048 768
    EndSubSection
EndSection
"""

    def _start_two_monitors(self):
        """Xorg's dummy driver with a 2048x768 screen; the second output is
        switched on right of the primary. Wine then reports two monitors and
        a virtual screen of (0, 0, 2048, 768)."""
        config = os.path.join(self.dir, "xorg.conf")
        with open(config, "w") as f:
            f.write(self.XORG_DUMMY)
        display = self._start_server(["Xorg", "-noreset", "-config", config,
                                      "-logfile", os.path.join(self.dir, "xorg.log")])
        env = dict(os.environ, DISPLAY=display)
        try:
            self._switch_outputs(env)
        except BaseException:
            self._x_server.kill()
            self._x_server.wait()
            raise
        return display

    @staticmethod
    def _switch_outputs(env):
        for step in (["--newmode", "second", "63.50", "1024", "1072", "1176", "1328", "768", "771", "775", "798",
                      "-hsync", "+vsync"],
                     ["--addmode", "DUMMY1", "second"],
                     ["--output", "DUMMY0", "--mode", "1024x768", "--primary"],
                     ["--output", "DUMMY1", "--mode", "second", "--right-of", "DUMMY0"],
                     # A full query last: Wine asks for the current outputs without
                     # probing, and sees one monitor until someone has probed.
                     []):
            subprocess.run(["xrandr"] + step, env=env, check=True, timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _start_server(self, command):
        read_fd, write_fd = os.pipe()
        self._x_server = subprocess.Popen(command + ["-displayfd", str(write_fd), "-nolisten", "tcp"],
                                          pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        number = b""
        with os.fdopen(read_fd, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    raise RuntimeError("%s did not start" % command[0])
                number += chunk
        return ":" + number.decode().strip()

    def _start_pulse(self, timeout=20):
        """A PulseAudio server in this session's folder: its socket, state and
        cookie stay there, so sessions side by side never meet. The null sink
        renders in real time and its monitor records what reaches it."""
        runtime = os.path.join(self.dir, "pulse")
        os.makedirs(runtime, mode=0o700)
        socket = os.path.join(runtime, "native")
        self.env.update(PULSE_SERVER="unix:" + socket, PULSE_RUNTIME_PATH=runtime, PULSE_STATE_PATH=runtime,
                        PULSE_COOKIE=os.path.join(runtime, "cookie"), XDG_RUNTIME_DIR=runtime)
        self._pulse = subprocess.Popen(
            ["pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
             "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket,
             "--load=module-null-sink sink_name=%s" % self.SINK, "--load=module-always-sink"],
            env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.time() + timeout
        while subprocess.run(["pactl", "set-default-source", self.SINK + ".monitor"], env=self.env,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode != 0:
            if self._pulse.poll() is not None or time.time() > deadline:
                raise RuntimeError("PulseAudio did not start")
            time.sleep(0.1)
        subprocess.run(["pactl", "set-default-sink", self.SINK], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Silence played all along keeps the sink rendering in short periods,
        # as a live microphone delivers sound. An idle null sink renders in
        # periods of about two seconds, and a recorder that starts within one
        # loses the sound up to its end.
        raw = ["--raw", "--format=s16le", "--rate=44100", "--channels=1", "--latency-msec=10"]
        self._players.append(subprocess.Popen(["pacat", "--playback", "--device=" + self.SINK] + raw + ["/dev/zero"],
                                              env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
        # The sink's first period is a long one all the same; a listener on the
        # monitor hears its first sound when that period ends.
        self._listener = subprocess.Popen(["parec", "--device=" + self.SINK + ".monitor"] + raw, env=self.env,
                                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self._players.append(self._listener)

    def _wait_sound_flowing(self, timeout=15):
        try:
            heard, _, _ = select.select([self._listener.stdout], [], [], timeout)
            if not heard:
                raise RuntimeError("the sound server's sink does not run")
        finally:
            self._listener.kill()
            self._listener.wait()

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for player in self._players:
            if player.poll() is None:
                player.kill()
                player.wait()
        if self._pulse:
            self._pulse.terminate()
            try:
                self._pulse.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self._pulse.kill()
                self._pulse.wait()
        if self._x_server:
            self._x_server.kill()
            self._x_server.wait()
        shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    # The program.
    def program_dir(self):
        """A copy of the distribution inside the prefix, so that tests may
        add or remove files beside the program."""
        path = os.path.join(self.dir, "program")
        if not os.path.exists(path):
            shutil.copytree(DIST, path)
        return path

    def program(self):
        return os.path.join(self.program_dir(), "Velmorax.exe")

    def run(self, *args, timeout=60, exe=None):
        """Runs the program to its end; returns the exit code."""
        proc = subprocess.run([WINE, exe or self.program()] + list(args), cwd=self.work, env=self.env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)
        return proc.returncode

    def start(self, *args, exe=None):
        """Starts the program and returns its process."""
        return subprocess.Popen([WINE, exe or self.program()] + list(args), cwd=self.work, env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    # Looking from outside.
    def capture(self, command, timeout=30, attempts=3):
        """Runs a Wine command and returns (exit code, output). The output
        goes through a file, not a pipe: Wine's background processes started
        by the command would hold a pipe open long after it has ended. On a
        busy machine a Wine process now and then never gets going; such a
        run is ended and tried again."""
        for attempt in range(attempts):
            with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
                try:
                    proc = subprocess.run(command, env=self.env, cwd=self.work, stdout=out, stderr=err,
                                          timeout=timeout)
                except subprocess.TimeoutExpired:
                    if attempt + 1 == attempts:
                        raise
                    continue
                out.seek(0)
                err.seek(0)
                self.last_errors = err.read().decode("latin-1")
                return proc.returncode, out.read().decode("latin-1")

    def wintool(self, *args, check=True):
        code, output = self.capture([WINE, WINTOOL] + [str(a) for a in args])
        if check and code != 0:
            raise AssertionError("wintool %s failed (%d): %s" % (args, code, self.last_errors.strip()[-500:]))
        return output

    def windows(self):
        rows = []
        for line in self.wintool("windows").splitlines():
            f = line.split("\t")
            if len(f) < 11:
                continue
            rows.append(dict(hwnd=f[0], pid=int(f[1]), cls=f[2], visible=f[3] == "1", iconic=f[4] == "1",
                             enabled=f[5] == "1", rect=tuple(int(v) for v in f[6:10]), title=f[10]))
        return rows

    def window(self, title):
        for w in self.windows():
            if w["title"] == title and w["visible"]:
                return w
        return None

    def wait_window(self, title, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            w = self.window(title)
            if w:
                return w
            time.sleep(0.3)
        raise AssertionError("no window titled %r within %ds" % (title, timeout))

    def controls(self, window, every=False):
        """Controls of a window (title or hwnd) by id: class, enabled, visible, checked, rect, text, and
        inside (within its parent's client area) and need (the (width, height) its text takes); with
        every, a list of all of them (ids repeat: pages, statics), else a dict of the first per id."""
        rows = []
        for line in self.wintool("controls", window).splitlines():
            f = line.split("\t")
            if len(f) < 13:
                continue
            rows.append(dict(id=int(f[0]), cls=f[1], enabled=f[2] == "1", visible=f[3] == "1", checked=int(f[4]),
                             rect=tuple(int(v) for v in f[5:9]), text=f[9], inside=f[10] == "1",
                             need=(int(f[11]), int(f[12]))))
        if every:
            return rows
        result = {}
        for row in rows:
            result.setdefault(row["id"], row)
        return result

    def message_boxes(self):
        boxes = []
        for line in self.wintool("msgbox").splitlines():
            f = line.split("\t")
            if len(f) >= 4:
                boxes.append(dict(hwnd=f[0], owner=f[1], caption=f[2], text=f[3].replace("\\n", "\n")))
        return boxes

    def wait_message_box(self, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            boxes = self.message_boxes()
            if boxes:
                return boxes[0]
            time.sleep(0.3)
        raise AssertionError("no message box within %ds" % timeout)

    def answer(self, box, button_id):
        """Answers a message box: 1 OK, 2 Cancel, 6 Yes, 7 No."""
        self.wintool("command", box["hwnd"], button_id)

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, check=True, timeout=30)

    def screenshot(self, path):
        xwd = subprocess.run(["xwd", "-root", "-display", self.display], capture_output=True, check=True)
        subprocess.run(["/usr/bin/convert", "xwd:-", path], input=xwd.stdout, check=True)

    # Sound (sessions made with sound=True).
    def signal(self, name, *synth, rate=44100, bits=16):
        """Makes a mono WAV file in the session folder from sox's synth
        arguments, e.g. signal("a.wav", "3", "sine", "440"); returns its path."""
        path = os.path.join(self.dir, name)
        subprocess.run(["sox", "-n", "-r", str(rate), "-c", "1", "-b", str(bits), path, "synth"] +
                       [str(a) for a in synth], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def play(self, path):
        """Plays a sound file into the session's sink; returns the player's process."""
        assert self._pulse, "a session without sound"
        player = subprocess.Popen(["paplay", "--device=" + self.SINK, path], env=self.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._players.append(player)
        return player

    # The registry.
    def reg_query(self, key):
        """Values of a key as {name: (type, text)}; None when the key does not exist."""
        code, output = self.capture([WINE, "reg", "query", key])
        if code != 0:
            return None
        values = {}
        for line in output.splitlines():
            m = re.match(r"^    (.*?)    (REG_\w+)    ?(.*)$", line)
            if m:
                values[m.group(1)] = (m.group(2), m.group(3))
        return values

    def reg_add(self, key, name, kind, data):
        subprocess.run([WINE, "reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f"], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True, timeout=60)

    def reg_delete(self, key):
        subprocess.run([WINE, "reg", "delete", key, "/f"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    def wait_exit(self, proc, timeout=60):
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            proc.kill()
            raise AssertionError("the program did not end within %ds" % timeout)


def dword(values, name):
    """A REG_DWORD value as a signed 32-bit integer."""
    kind, text = values[name]
    assert kind == "REG_DWORD", (name, kind)
    v = int(text, 16)
    return v - (1 << 32) if v >= 1 << 31 else v


class SessionTest(unittest.TestCase):
    """A test case with a fresh session per test method, in self.s; with
    sound = True the session has its own sound server, with monitors = 2 two
    monitors side by side."""
    sound = False

    monitors = 1

    def setUp(self):
        self.s = Session(sound=self.sound, monitors=self.monitors)
        self.addCleanup(self.s.close)

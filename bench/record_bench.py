"""Records screen regions with Velmorax (uncompressed frames on a 32-bit
screen) and with ffmpeg's x11grab, and prints frames written, positions
skipped and CPU time per frame side by side. Figures only; nothing is
asserted."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "integration"))
import avi_tools  # noqa: E402
from harness import WINE, WINESERVER, WINTOOL, DIST, pristine_prefix  # noqa: E402

SIZES = [(320, 240), (640, 480), (1280, 720), (1920, 1080)]
RATES = [10, 30]
SECONDS = float(os.environ.get("VELMORAX_BENCH_SECONDS", "4"))
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    try:
        fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS
    except OSError:
        return 0.0


def index_of(path):
    data = open(path, "rb").read()
    j = data.rfind(b"idx1")
    n = struct.unpack("<I", data[j + 4:j + 8])[0] // 16
    return [struct.unpack("<4sIII", data[j + 8 + k * 16:j + 24 + k * 16]) for k in range(n)]


class Display:
    def __init__(self, work):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1920x1080x24",
                                      "-nolisten", "tcp"], pass_fds=(write_fd,),
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            self.name = ":" + pipe.readline().strip()
        self.prefix = os.path.join(work, "prefix")
        shutil.copytree(pristine_prefix(), self.prefix, symlinks=True)
        self.env = dict(os.environ, DISPLAY=self.name, WINEPREFIX=self.prefix, WINELOADER=WINE,
                        WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        # Wine paints its desktop when it starts: the picture comes after that.
        wintool(self, "windows")
        pattern = os.path.join(work, "pattern.ppm")
        avi_tools.write_pattern(pattern, 480, 270)
        subprocess.run(["/usr/bin/convert", pattern, "-scale", "400%", os.path.join(work, "screen.png")], check=True)
        subprocess.run(["/usr/bin/display", "-window", "root", os.path.join(work, "screen.png")], env=self.env)
        subprocess.run(["xdotool", "mousemove", "1919", "1079"], env=self.env)

    def close(self):
        subprocess.run([WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.xvfb.kill()
        self.xvfb.wait()


def wintool(display, *args):
    # Through a file: Wine's background processes may hold a pipe open.
    with tempfile.TemporaryFile() as out:
        subprocess.run([WINE, WINTOOL] + [str(a) for a in args], env=display.env, stdout=out,
                       stderr=subprocess.DEVNULL, timeout=60)
        out.seek(0)
        return out.read().decode("latin-1")


def velmorax(display, work, width, height, fps):
    path = os.path.join(work, "v%dx%d_%d.avi" % (width, height, fps))
    proc = subprocess.Popen([WINE, os.path.join(DIST, "Velmorax.exe"), "-recx", "-i-", "-x0", "-y0",
                             "-w%d" % width, "-h%d" % height, "-f%d" % fps, "-a", os.path.basename(path)],
                            cwd=work, env=display.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.time() + 60
    while time.time() < deadline and not any(line.rstrip().endswith("\tVelmorax")
                                             for line in wintool(display, "windows").splitlines()):
        time.sleep(0.3)
    began = time.time()
    start = cpu_seconds(proc.pid)
    time.sleep(SECONDS)
    end = cpu_seconds(proc.pid)
    measured = time.time() - began
    wintool(display, "post", "Velmorax", 0x0312, 1, 0)
    proc.wait(timeout=60)
    index = index_of(path)
    written = len([e for e in index if e[3] > 0])
    skipped = len(index) - written
    os.remove(path)
    # Frames of the measured interval: the recording ran a little longer.
    frames_in_interval = max(1.0, min(written, fps * measured * written / max(1, len(index))))
    return written, skipped, (end - start) / frames_in_interval


def ffmpeg(display, work, width, height, fps):
    path = os.path.join(work, "f%dx%d_%d.avi" % (width, height, fps))
    proc = subprocess.Popen(["ffmpeg", "-v", "error", "-y", "-f", "x11grab", "-framerate", str(fps),
                             "-video_size", "%dx%d" % (width, height), "-i", display.name + "+0,0",
                             "-t", str(SECONDS), "-c:v", "rawvideo", path],
                            env=display.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(proc.pid, 0)
    proc.returncode = 0
    frames = len([e for e in index_of(path) if e[3] > 0])
    os.remove(path)
    skipped = max(0, int(round(fps * SECONDS)) - frames)
    return frames, skipped, (usage.ru_utime + usage.ru_stime) / max(1, frames)


def main():
    work = tempfile.mkdtemp(prefix="velmorax-bench-")
    display = Display(work)
    try:
        print("Recording %.0f s per case on a 1920x1080 Xvfb screen (32 bits per pixel for Windows programs)" % SECONDS)
        print("%-10s %4s | %8s %8s %10s | %8s %8s %10s | %s" % (
            "region", "fps", "written", "skipped", "cpu ms/fr", "ffmpeg", "skipped", "cpu ms/fr", "cpu ratio"))
        for width, height in SIZES:
            for fps in RATES:
                ours = velmorax(display, work, width, height, fps)
                theirs = ffmpeg(display, work, width, height, fps)
                ratio = ours[2] / theirs[2] if theirs[2] > 0 else float("nan")
                print("%-10s %4d | %8d %8d %10.2f | %8d %8d %10.2f | %.2f" % (
                    "%dx%d" % (width, height), fps, ours[0], ours[1], ours[2] * 1000,
                    theirs[0], theirs[1], theirs[2] * 1000, ratio), flush=True)
    finally:
        display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

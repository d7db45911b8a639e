"""Recording benchmark: Velmorax against ffmpeg's x11grab on the same
virtual screen, on a desktop that moves (bench/scene_window.exe shows the
scrolling editor, the dragged window and the clock of DesktopScene.h at 30
pictures a second). Figures only; nothing is asserted.

For each recorder: frames written, positions skipped, bytes per frame, and
whole-system CPU per frame: the CPU time of every process of the session
(the recorder, the Wine processes of its prefix with wineserver, Xvfb, and
ffmpeg on its side) over an interval of steady recording, less the same
processes' time over an interval of the same length without a recorder,
measured just before. The processes' own times, not the machine's: other
work on the machine does not count.

    python3 bench/record_bench.py           (after a win64 build; bench/run.sh sets the paths)
    python3 bench/record_bench.py --sizes [WxH@FPS,...]
                                            large screens: each size on a screen of its own, our
                                            codec against x11grab with x264 lossless (libx264rgb
                                            ultrafast, qp 0), utvideo and zmbv; empty positions and
                                            the writer's longest frame (default 1920x1080@30,
                                            1920x1080@60, 2560x1440@60, 3840x2160@30; 10 s
                                            measured, 2 rounds: about 15 minutes in all)
    python3 bench/record_bench.py --limit   the real size limit instead: "DIB " at 1920x1080
                                            until the recording stops itself (about 2 GB on disk)

  VELMORAX_BENCH_SECONDS   measured interval per recorder (default 8)
  VELMORAX_BENCH_ROUNDS    rounds of all recorders; medians are printed (default 3)
  VELMORAX_TEST_PREFIX     a pristine Wine prefix to copy (else one is made)
  VELMORAX_BENCH_ONLY      with --sizes: the recorders to run, by name, comma-separated
                           (velmorax_codec, x11grab_x264, x11grab_utvideo, x11grab_zmbv)
"""
import json
import os
import struct
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "integration"))
from harness import BUILD, WINE, Session  # noqa: E402

SCENE = os.path.join(BUILD, "bench", "scene_window.exe")
WIDTH, HEIGHT, FPS = 1280, 720, 30
KEYS = 20            # the recorder's default key frame interval; ffmpeg's zmbv is given the same
SIZES = "1920x1080@30,1920x1080@60,2560x1440@60,3840x2160@30"
LARGE = "--sizes" in sys.argv[1:]
SECONDS = float(os.environ.get("VELMORAX_BENCH_SECONDS", "10" if LARGE else "8"))
ROUNDS = int(os.environ.get("VELMORAX_BENCH_ROUNDS", "2" if LARGE else "3"))
WARM_UP = 2.0        # before the interval: the recorder's start is not measured
SAME_FRAMES = 150    # frames of our recording that ffmpeg's zmbv encodes again, for sizes of the same frames
TICKS = os.sysconf("SC_CLK_TCK")
WM_HOTKEY = 0x0312


def index_of(path):
    data = open(path, "rb").read()
    j = data.rfind(b"idx1")
    n = struct.unpack("<I", data[j + 4:j + 8])[0] // 16
    return [struct.unpack("<4sIII", data[j + 8 + k * 16:j + 24 + k * 16]) for k in range(n)]


def packet_sizes(path):
    proc = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=size",
                           "-of", "json", path], capture_output=True, text=True, check=True)
    return [int(p["size"]) for p in json.loads(proc.stdout).get("packets", [])]


class Processes:
    """CPU ticks of everything a recording on this session involves."""

    def __init__(self, session):
        self.session = session
        self.marker = b"WINEPREFIX=" + session.prefix.encode() + b"\0"

    def pids(self, extra):
        found = {self.session._x_server.pid} | set(extra)
        for name in os.listdir("/proc"):
            if not name.isdigit():
                continue
            try:
                with open("/proc/%s/environ" % name, "rb") as f:
                    if self.marker in f.read():
                        found.add(int(name))
            except OSError:
                pass
        return found

    def snapshot(self, extra=()):
        ticks = {}
        for pid in self.pids(extra):
            try:
                fields = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
                ticks[pid] = int(fields[11]) + int(fields[12])
            except OSError:
                pass
        return ticks, time.time()

    @staticmethod
    def seconds_between(first, second):
        """CPU seconds of the processes alive at both snapshots, and the wall time."""
        (a, t0), (b, t1) = first, second
        return sum(b[pid] - a[pid] for pid in a if pid in b) / TICKS, t1 - t0


def load():
    return open("/proc/loadavg").read().split()[0]


class Bench:
    def __init__(self, width=WIDTH, height=HEIGHT, fps=FPS, screen=(1920, 1080)):
        self.width, self.height, self.fps = width, height, fps
        self.s = Session(width=screen[0], height=screen[1])
        self.processes = Processes(self.s)
        self.scene = None

    def close(self):
        if self.scene:
            self.scene.kill()
            self.scene.wait()
        self.s.close()

    def show_scene(self):
        self.scene = subprocess.Popen([WINE, SCENE, str(self.width), str(self.height)], env=self.s.env, cwd=self.s.work,
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if self.scene.stdout.readline().strip() != "shown":
            raise RuntimeError("the scene did not show")
        # The pointer away from the region where there is room, else in a corner.
        self.s.xdotool("mousemove", self.s.screen[0] - 20, self.s.screen[1] - 20)

    def idle_rate(self):
        """CPU seconds per second of the session without a recorder (the scene moving)."""
        time.sleep(1)
        first = self.processes.snapshot()
        time.sleep(SECONDS)
        cpu, wall = Processes.seconds_between(first, self.processes.snapshot())
        return cpu / wall

    def velmorax(self, name, compressor=None):
        env = dict(self.s.env)
        if compressor:
            env["VELMORAX_TEST_COMPRESSOR"] = compressor
        path = os.path.join(self.s.work, name + ".avi")
        times = os.path.join(self.s.work, name + ".times")
        env["VELMORAX_TEST_WRITE_TIMES"] = "Z:" + times.replace("/", "\\")
        proc = subprocess.Popen([WINE, self.s.program(), "-recx", "-i-", "-x0", "-y0", "-w%d" % self.width,
                                 "-h%d" % self.height, "-f%d" % self.fps, "-k%d" % KEYS, "-a", os.path.basename(path)],
                                cwd=self.s.work, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.s.wait_window("Velmorax")
        time.sleep(WARM_UP)
        first = self.processes.snapshot([proc.pid])
        time.sleep(SECONDS)
        cpu, wall = Processes.seconds_between(first, self.processes.snapshot([proc.pid]))
        self.s.wintool("post", "Velmorax", WM_HOTKEY, 1, 0)
        # A recording that could not keep up has stopped itself and says so.
        stopped = None
        deadline = time.time() + 120
        while proc.poll() is None and time.time() < deadline:
            for box in self.s.message_boxes():
                stopped = box["text"].split("\n")[0]
                self.s.answer(box, 1)
            time.sleep(0.5)
        self.s.wait_exit(proc, timeout=10)
        if stopped:
            print("  %s: %s" % (name, stopped), flush=True)
        index = index_of(path)
        sizes = [e[3] for e in index if e[3] > 0]
        # Positions are real time: the frames of the interval are its share of them.
        frames = len(sizes) * wall / (len(index) / self.fps)
        facts = open(times).read().split() if os.path.exists(times) else []
        longest = float(facts[1]) if facts else float("nan")
        longest_at = int(facts[3]) if facts else -1
        # Where the empty positions lie tells what caused them: the start,
        # key frames (every KEYS positions), or a slow stretch.
        empty_at = [k for k, e in enumerate(index) if e[3] == 0]
        return dict(name=name, cpu=cpu, wall=wall, frames=frames, written=len(sizes), skipped=len(index) - len(sizes),
                    bytes=sum(sizes) / max(1, len(sizes)), path=path, longest=longest, longest_at=longest_at,
                    empty_at=empty_at)

    def ffmpeg(self, name, codec_args):
        path = os.path.join(self.s.work, name + ".avi")
        total = WARM_UP + SECONDS + 1
        # Passthrough: only frames grabbed are encoded (an encoder that cannot
        # keep up gets fewer, not repeated ones).
        proc = subprocess.Popen(["ffmpeg", "-v", "error", "-y", "-f", "x11grab", "-framerate", str(self.fps),
                                 "-video_size", "%dx%d" % (self.width, self.height), "-i", self.s.display + "+0,0",
                                 "-t", str(total),
                                 "-fps_mode", "passthrough"] + codec_args + [path],
                                env=self.s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(WARM_UP)
        first = self.processes.snapshot([proc.pid])
        time.sleep(SECONDS)
        cpu, wall = Processes.seconds_between(first, self.processes.snapshot([proc.pid]))
        proc.wait(timeout=600)
        sizes = packet_sizes(path)
        frames = len(sizes) * wall / total
        return dict(name=name, cpu=cpu, wall=wall, frames=frames, written=len(sizes),
                    skipped=max(0, int(round(self.fps * total)) - len(sizes)), bytes=sum(sizes) / max(1, len(sizes)),
                    path=path, longest=float("nan"), longest_at=-1)

    def same_frames_zmbv(self, ours):
        """ffmpeg's zmbv on the first frames of our recording (decoded exactly),
        with our key frame interval: bytes per frame of the same pictures."""
        out = os.path.join(self.s.work, "same.avi")
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", ours, "-frames:v", str(SAME_FRAMES), "-fps_mode",
                        "passthrough", "-c:v", "zmbv", "-keyint_min", str(KEYS), "-g", str(KEYS), out], check=True)
        theirs = packet_sizes(out)
        os.remove(out)
        mine = [size for size in packet_sizes(ours) if size > 0][:len(theirs)]
        return sum(mine) / max(1, len(mine)), sum(theirs) / max(1, len(theirs)), len(theirs)


def median(values):
    values = sorted(values)
    return values[len(values) // 2]


def compare():
    bench = Bench()
    try:
        bench.show_scene()
        print("%dx%d at %d fps, the moving desktop scene; %.0f s measured per recorder after %.0f s of warm-up, "
              "%d rounds (medians)" % (WIDTH, HEIGHT, FPS, SECONDS, WARM_UP, ROUNDS))
        runs = [("velmorax_dib", lambda: bench.velmorax("velmorax_dib", "DIB ")),
                ("velmorax_codec", lambda: bench.velmorax("velmorax_codec")),
                ("x11grab_rawvideo", lambda: bench.ffmpeg("x11grab_rawvideo", ["-c:v", "rawvideo"])),
                ("x11grab_utvideo", lambda: bench.ffmpeg("x11grab_utvideo", ["-c:v", "utvideo"])),
                ("x11grab_zmbv", lambda: bench.ffmpeg("x11grab_zmbv", ["-c:v", "zmbv", "-keyint_min", str(KEYS),
                                                                       "-g", str(KEYS)]))]
        results = {name: [] for name, _ in runs}
        same = None
        for round_number in range(ROUNDS):
            print("round %d" % (round_number + 1), flush=True)
            for name, run in runs:
                # Whole-system CPU: the session's processes less what they
                # take without a recorder, measured just before (the
                # machine's speed drifts).
                idle = bench.idle_rate()
                r = run()
                r["per_frame"] = (r["cpu"] - idle * r["wall"]) / max(1.0, r["frames"])
                if name == "velmorax_codec" and same is None:
                    same = bench.same_frames_zmbv(r["path"])
                os.remove(r["path"])
                results[name].append(r)
                print("  %-18s written %5d  skipped %4d  %10.0f bytes/frame  %6.2f ms CPU/frame  (idle %.0f ms/s)" % (
                    name, r["written"], r["skipped"], r["bytes"], r["per_frame"] * 1000, idle * 1000), flush=True)

        cpu = {name: median([r["per_frame"] for r in rs]) for name, rs in results.items()}
        size = {name: median([r["bytes"] for r in rs]) for name, rs in results.items()}
        skipped = {name: max(r["skipped"] for r in rs) for name, rs in results.items()}
        print("\n%-18s %12s %12s %14s" % ("median", "ms CPU/frame", "bytes/frame", "most skipped"))
        for name, _ in runs:
            print("%-18s %12.2f %12.0f %14d" % (name, cpu[name] * 1000, size[name], skipped[name]))
        print("\nCPU per frame, ratio against x11grab with:")
        print("%-18s %10s %10s %10s" % ("", "rawvideo", "utvideo", "zmbv"))
        for name in ("velmorax_dib", "velmorax_codec"):
            print("%-18s %10.2f %10.2f %10.2f" % (name, *(cpu[name] / cpu[other] for other in
                                                           ("x11grab_rawvideo", "x11grab_utvideo", "x11grab_zmbv"))))
        mine, theirs, count = same
        print("\nBytes per frame of the same %d frames (ours as recorded; ffmpeg's zmbv encoding them again with a key "
              "frame every %d): ours %.0f, ffmpeg zmbv %.0f, ratio %.2f" % (count, KEYS, mine, theirs, mine / theirs))
    finally:
        bench.close()


def sizes():
    """Our codec at large sizes and rates against the lossless peers, each
    size on a screen of its size, in rounds; the load of the machine beside
    every figure (other work disturbs CPU figures and empty positions)."""
    given = [a for a in sys.argv[1:] if not a.startswith("--")]
    peers = [("velmorax_codec", None),
             ("x11grab_x264", ["-c:v", "libx264rgb", "-preset", "ultrafast", "-qp", "0"]),
             ("x11grab_utvideo", ["-c:v", "utvideo"]),
             ("x11grab_zmbv", ["-c:v", "zmbv", "-keyint_min", str(KEYS), "-g", str(KEYS)])]
    only = os.environ.get("VELMORAX_BENCH_ONLY")
    if only:
        peers = [peer for peer in peers if peer[0] in only.split(",")]
    summary = []
    for size in (given[0] if given else SIZES).split(","):
        dims, fps = size.split("@")
        width, height = (int(v) for v in dims.split("x"))
        bench = Bench(width, height, int(fps), screen=(width, height))
        try:
            bench.show_scene()
            print("\n%dx%d at %s fps, the moving desktop scene on a screen of that size; %.0f s measured after "
                  "%.0f s of warm-up, %d rounds" % (width, height, fps, SECONDS, WARM_UP, ROUNDS), flush=True)
            results = {name: [] for name, _ in peers}
            for round_number in range(ROUNDS):
                print("round %d" % (round_number + 1), flush=True)
                for name, args in peers:
                    idle = bench.idle_rate()
                    before = load()
                    r = bench.velmorax(name) if args is None else bench.ffmpeg(name, args)
                    r["per_frame"] = (r["cpu"] - idle * r["wall"]) / max(1.0, r["frames"])
                    os.remove(r["path"])
                    results[name].append(r)
                    print("  %-16s written %5d  empty/dropped %4d  %9.0f bytes/frame  %6.2f ms CPU/frame  "
                          "longest write %6.1f ms at frame %d  (idle %.0f ms/s, load %s -> %s)" % (
                              name, r["written"], r["skipped"], r["bytes"], r["per_frame"] * 1000, r["longest"],
                              r["longest_at"], idle * 1000, before, load()), flush=True)
            for k, r in enumerate(results.get("velmorax_codec", [])):
                line = "%s round %d: empty %d of %d%s, longest write %.1f ms" % (
                    size, k + 1, r["skipped"], r["written"] + r["skipped"],
                    " (at %s)" % ",".join(map(str, r["empty_at"][:12])) if r["empty_at"] else "", r["longest"])
                if results.get("x11grab_x264"):
                    x264 = results["x11grab_x264"][k]
                    line += "; against x264 (which dropped %d): CPU %.2f, bytes %.3f" % (
                        x264["skipped"], r["per_frame"] / x264["per_frame"], r["bytes"] / x264["bytes"])
                summary.append(line)
        finally:
            bench.close()
    print("\nours per round (CPU and bytes per frame as a share of x264 lossless ultrafast in the same round):")
    for line in summary:
        print("  " + line)


def real_limit():
    """Uncompressed 1920x1080 frames until the recording stops itself at the
    size limit: the file stays below 2 GB and every frame it claims decodes."""
    bench = Bench()
    try:
        env = dict(bench.s.env, VELMORAX_TEST_COMPRESSOR="DIB ")
        path = os.path.join(bench.s.work, "limit.avi")
        began = time.time()
        proc = subprocess.Popen([WINE, bench.s.program(), "-recx", "-i-", "-x0", "-y0", "-w1920", "-h1080", "-f10",
                                 "-a", "limit.avi"], cwd=bench.s.work, env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        box = bench.s.wait_message_box(timeout=600)
        stopped = time.time() - began
        bench.s.answer(box, 1)
        code = bench.s.wait_exit(proc, timeout=120)
        size = os.path.getsize(path)
        index = index_of(path)
        data = open(path, "rb").read(4096)
        claimed = struct.unpack("<I", data[data.find(b"strh") + 8 + 32:][:4])[0]   # dwLength
        proc = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                               "stream=nb_read_frames", "-of", "json", path], capture_output=True, text=True, check=True)
        decoded = int(json.loads(proc.stdout)["streams"][0]["nb_read_frames"])
        os.remove(path)
        print("The real limit, \"DIB \" 1920x1080 at 10 fps: stopped by itself after %.0f s" % stopped)
        print("  message: %s" % box["text"].replace("\n", " "))
        print("  exit code %d; file %d bytes (2 GB = %d); header claims %d frames, index holds %d, ffprobe decodes %d"
              % (code, size, 1 << 31, claimed, len(index), decoded))
    finally:
        bench.close()


if __name__ == "__main__":
    if "--limit" in sys.argv[1:]:
        real_limit()
    elif LARGE:
        sizes()
    else:
        compare()

"""The codec alone: CPU time and bytes per frame of our ZMBV encoder on a
synthetic desktop (a text window scrolling, a window moving, a still
picture, a clock), and of ffmpeg's zmbv and utvideo encoders on the same
frames, fed to ffmpeg raw through a pipe. Figures only; nothing is asserted.

    python3 bench/codec_bench.py        (after a win64 build)

  VELMORAX_BENCH_FRAMES   frames per case (default 90: 3 s at 30 fps)
  VELMORAX_TEST_PREFIX    a pristine Wine prefix to copy (else one is made)
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "integration"))
from harness import BUILD, WINE, WINESERVER, pristine_prefix  # noqa: E402

BENCH = os.path.join(BUILD, "bench", "codec_bench.exe")
SIZES = [(1280, 720), (1920, 1080)]
FRAMES = int(os.environ.get("VELMORAX_BENCH_FRAMES", "90"))
KEYS = 20   # the recorder's default key frame interval


def ours(env, width, height):
    proc = subprocess.run([WINE, BENCH, "encode", str(width), str(height), str(FRAMES), str(KEYS)], env=env,
                          capture_output=True, text=True, timeout=600)
    return dict(line.split(" ", 1) for line in proc.stdout.splitlines() if " " in line)


def ffmpeg(env, work, width, height, args):
    """ffmpeg's CPU time per frame (user + system, reading the pipe
    included) and the packets' mean size."""
    out = os.path.join(work, "ffmpeg.avi")
    producer = subprocess.Popen([WINE, BENCH, "raw", str(width), str(height), str(FRAMES)], env=env,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    consumer = subprocess.Popen(["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "bgr0",
                                 "-s", "%dx%d" % (width, height), "-r", "30", "-i", "-"] + args +
                                (["-"] if args[-1] == "null" else [out]),
                                stdin=producer.stdout, stdout=subprocess.DEVNULL)
    producer.stdout.close()
    _, _, usage = os.wait4(consumer.pid, 0)
    consumer.returncode = 0
    producer.wait()
    cpu = (usage.ru_utime + usage.ru_stime) * 1000 / FRAMES
    if args[-1] == "null":
        return cpu, 0
    proc = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_packets", "-of", "json", out],
                          capture_output=True, text=True, check=True)
    sizes = [int(p["size"]) for p in json.loads(proc.stdout)["packets"]]
    os.remove(out)
    return cpu, sum(sizes) / max(1, len(sizes))


def main():
    work = tempfile.mkdtemp(prefix="velmorax-codec-bench-")
    prefix = os.path.join(work, "prefix")
    shutil.copytree(pristine_prefix(), prefix, symlinks=True)
    env = dict(os.environ, WINEPREFIX=prefix, WINELOADER=WINE, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("DISPLAY", None)
    try:
        print("%d frames per case, a key frame every %d (ffmpeg zmbv: -keyint_min %d, its key interval; utvideo has key frames only)" %
              (FRAMES, KEYS, KEYS))
        for width, height in SIZES:
            o = ours(env, width, height)
            print("\n%dx%d%26s %12s" % (width, height, "cpu ms/frame", "bytes/frame"))
            print("%-24s %12.2f %12.0f   (key frames %s bytes, %s ms; others %s bytes; decoded exactly: %s)" % (
                "Velmorax ZMBV", float(o["cpu_ms_per_frame"]), float(o["bytes_per_frame"]), o["bytes_key"],
                o["wall_ms_key"], o["bytes_inter"], o["decoded_exactly"]), flush=True)
            for name, args in (("ffmpeg zmbv", ["-c:v", "zmbv", "-keyint_min", str(KEYS)]),
                               ("ffmpeg utvideo", ["-c:v", "utvideo"]),
                               ("ffmpeg reading only", ["-f", "null"])):
                cpu, size = ffmpeg(env, work, width, height, args)
                print("%-24s %12.2f %12s" % (name, cpu, "%.0f" % size if size else "-"), flush=True)
    finally:
        subprocess.run([WINESERVER, "-k"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()

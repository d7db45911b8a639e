"""Long-run benchmark: one recording of the moving desktop scene for 20
minutes (1280x720 at 30 fps, the default codec), and what the program holds
at its start and its end. Figures only; nothing is asserted.

It prints, a minute apart, the program's private memory (what Linux counts
for the Wine process that runs it: Private_Clean + Private_Dirty), its GDI
and USER object counts as GetGuiResources gives them, and, where that
answers 0 (as Wine does), the used entries of the process's GDI handle table
and its windows; then the frames written and the empty positions.

    python3 bench/soak.py    (after a win64 build; a Wine prefix is made for the run)
  VELMORAX_SOAK_MINUTES    length of the recording (default 20)
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "integration"))
from harness import BUILD, WINE, Session  # noqa: E402
from avi_tools import AviFile  # noqa: E402

SCENE = os.path.join(BUILD, "bench", "scene_window.exe")
WIDTH, HEIGHT, FPS = 1280, 720, 30
MINUTES = float(os.environ.get("VELMORAX_SOAK_MINUTES", "20"))
WM_HOTKEY = 0x0312


def private_bytes(session):
    """Private memory of the Wine process that runs Velmorax.exe."""
    marker = b"WINEPREFIX=" + session.prefix.encode() + b"\0"
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open("/proc/%s/cmdline" % pid, "rb") as f:
                if b"Velmorax.exe" not in f.read():
                    continue
            with open("/proc/%s/environ" % pid, "rb") as f:
                if marker not in f.read():
                    continue
            with open("/proc/%s/smaps_rollup" % pid) as f:
                fields = dict(line.split(":", 1) for line in f if ":" in line)
            return sum(int(fields[k].split()[0]) for k in ("Private_Clean", "Private_Dirty")) * 1024
        except (OSError, KeyError, ValueError):
            continue
    return 0


def usage(session):
    win_private, gdi, user, gdi_table, windows = (int(v) for v in session.wintool("usage", "Velmorax").split())
    return dict(private=private_bytes(session), win_private=win_private, gdi=gdi or gdi_table, user=user or windows,
                counted_by="GetGuiResources" if gdi else "handle table / windows")


def show(label, u):
    print("%-8s private %8.1f MB   GDI objects %5d   USER objects %5d   (%s)" % (
        label, u["private"] / 1e6, u["gdi"], u["user"], u["counted_by"]), flush=True)


def main():
    s = Session(width=1920, height=1080)
    scene = None
    try:
        scene = subprocess.Popen([WINE, SCENE, str(WIDTH), str(HEIGHT)], env=s.env, cwd=s.work,
                                 stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        if scene.stdout.readline().strip() != "shown":
            raise RuntimeError("the scene did not show")
        s.xdotool("mousemove", 1900, 1060)
        proc = s.start("-recx", "-i-", "-x0", "-y0", "-w%d" % WIDTH, "-h%d" % HEIGHT, "-f%d" % FPS, "-a", "soak.avi")
        s.wait_window("Velmorax")
        print("%dx%d at %d fps, the moving desktop scene, %g minutes" % (WIDTH, HEIGHT, FPS, MINUTES), flush=True)
        time.sleep(10)   # past the start and the first key frames
        first = usage(s)
        show("start", first)
        began = time.time()
        while time.time() - began < MINUTES * 60:
            time.sleep(min(60, max(1, MINUTES * 60 - (time.time() - began))))
            last = usage(s)
            show("%5.1f min" % ((time.time() - began) / 60), last)
        s.wintool("post", "Velmorax", WM_HOTKEY, 1, 0)
        code = s.wait_exit(proc, timeout=300)
        positions = AviFile(os.path.join(s.work, "soak.avi")).positions()
        empty = sum(1 for e in positions if e[3] == 0)
        print("exit code %d; %d positions, %d written, %d empty" % (code, len(positions), len(positions) - empty, empty))
        print("end against start: private memory %+.1f %%, GDI objects %+d, USER objects %+d" % (
            100.0 * (last["private"] - first["private"]) / max(1, first["private"]), last["gdi"] - first["gdi"],
            last["user"] - first["user"]))
    finally:
        if scene:
            scene.kill()
            scene.wait()
        s.close()


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Takes the pictures of the settings pages and the hotkey dialog for the
README, from the real program under Wine on a display of its own.

    python3 scripts/page_screenshots.py [output folder]      (default: docs)

Needs the built program (dist/win64) and the test tools (build/win64/tests),
as the integration tests do. Writes page-region.png, page-hotkeys.png,
page-video.png, page-sound.png and hotkey-dialog.png at 96 dots per inch,
and the same with "-144dpi" before ".png" on a display scaled to 150 %;
and input-marks.png: the first frame of the launcher's demo recording that
shows both a click ring and a key caption.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "integration"))

from harness import APP_KEY, Session, pristine_prefix  # noqa: E402
import avi_tools  # noqa: E402
import mainwin_common as mw  # noqa: E402

MARGIN = 0


def crop(session, rect, path):
    whole = os.path.join(session.dir, "screen.png")
    session.screenshot(whole)
    l, t, r, b = rect
    l, t = max(l - MARGIN, 0), max(t - MARGIN, 0)
    geometry = "%dx%d+%d+%d" % (r + MARGIN - l, b + MARGIN - t, l, t)
    # Without a window manager nobody draws the frame: the black around the
    # dialog's own pixels goes.
    subprocess.run(["/usr/bin/convert", whole, "-crop", geometry, "+repage", "-bordercolor", "black", "-border", "1",
                    "-trim", "+repage", path], check=True)


def marks_picture(path):
    """A frame of the demo that ./velmorax records without a display."""
    folder = tempfile.mkdtemp(prefix="velmorax-marks-")
    try:
        prefix = os.path.join(folder, "prefix")
        shutil.copytree(pristine_prefix(), prefix, symlinks=True)
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        env.update(WINEPREFIX=prefix, VELMORAX_DEMO_SECONDS="4")
        subprocess.run([os.path.join(ROOT, "velmorax")], cwd=folder, env=env, check=True, timeout=300,
                       stdout=subprocess.DEVNULL)
        avi = os.path.join(folder, "velmorax-demo0001.avi")
        frames = avi_tools.frames_rgb(avi, 640, 480)
        ring, box = bytes((255, 176, 0)), bytes((24, 24, 24)) * 8
        both = [n for n, f in enumerate(frames) if ring in f and f.find(box, 640 * 360 * 3) >= 0]
        if not both:
            raise SystemExit("no frame of the demo shows a ring and a caption")
        subprocess.run(["ffmpeg", "-v", "error", "-y", "-i", avi, "-vsync", "passthrough", "-vf",
                        "select=eq(n\\,%d)" % both[0], "-frames:v", "1", path], check=True)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def take(out, dpi):
    suffix = "" if dpi == 96 else "-%ddpi" % dpi
    with Session() as s:
        # The Sound tab shows what the recording marks as switched on.
        s.reg_add(APP_KEY + r"\State", "ShowClicks", "REG_DWORD", "1")
        s.reg_add(APP_KEY + r"\State", "ShowKeys", "REG_DWORD", "1")
        # Wine takes the dots per inch from here when a program starts.
        s.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", dpi)
        # Near the top: a window grown to the screen's bottom edge at 144 dpi
        # leaves Wine 8 showing the hotkey dialog above it unpainted.
        s.reg_add(mw.STATE_KEY, "WinX", "REG_DWORD", 10)
        s.reg_add(mw.STATE_KEY, "WinY", "REG_DWORD", 10)
        proc = mw.start(s)
        s.wintool("command", "Velmorax", mw.SETTINGS)
        mw.wait_for(lambda: s.controls("Velmorax")[1065]["visible"], what="settings shown")
        for index, name in enumerate(("region", "hotkeys", "video", "sound")):
            mw.select_tab(s, index)
            s.xdotool("mousemove", 5, 5)
            time.sleep(0.5)
            crop(s, s.window("Velmorax")["rect"], os.path.join(out, "page-%s%s.png" % (name, suffix)))
        mw.select_tab(s, 1)
        mw.click(s, 1015)
        dialog = s.wait_window("Change Hotkey")
        mw.focus_window(s, "Change Hotkey")
        s.xdotool("key", "shift+F5")   # shown as Ctrl+Shift+F5
        time.sleep(2)
        crop(s, s.window("Change Hotkey")["rect"], os.path.join(out, "hotkey-dialog%s.png" % suffix))
        s.wintool("command", dialog["hwnd"], 2)
        s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        s.wait_exit(proc)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs")
    os.makedirs(out, exist_ok=True)
    marks_picture(os.path.join(out, "input-marks.png"))
    for dpi in (96, 144):
        take(out, dpi)


if __name__ == "__main__":
    main()

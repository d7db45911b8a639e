"""Clicks and keys shown in the recording: a ring where the user clicked and
a caption of the shortcut pressed, drawn into the frames. Low-level hooks
see only input that lands on Wine windows here, so the clicks and keys go
to a window of the test's own (wintool's bars)."""
import os
import subprocess
import time
import unittest

import avi_tools
import mainwin_common as mw
from harness import WINE, WINTOOL, SessionTest
from test_recording_cases import bars_rgb

WM_HOTKEY = 0x0312
STATE = r"HKCU\SOFTWARE\Orvantis\Velmorax\State"
LEFT_RING = (255, 176, 0)


class InputMarks(SessionTest):
    LEFT, TOP, WIDTH, HEIGHT = 100, 80, 320, 240
    CLICK = (190, 100)   # in the region

    def show_bars(self, seconds):
        args = [str(v) for v in (self.LEFT, self.TOP, self.WIDTH, self.HEIGHT, seconds)]
        bars = subprocess.Popen([WINE, WINTOOL, "bars"] + args, env=self.s.env, cwd=self.s.work,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(bars.wait)
        self.addCleanup(bars.kill)
        self.assertEqual(bars.stdout.readline().strip(), "shown")

    def test_a_click_gives_a_ring_and_a_shortcut_a_caption_but_a_letter_none(self):
        self.s.reg_add(STATE, "ShowClicks", "REG_DWORD", "1")
        self.s.reg_add(STATE, "ShowKeys", "REG_DWORD", "1")   # shortcuts only
        self.show_bars(60)
        mw.move_pointer(self.s, 1010, 750)
        proc = self.s.start("-recx", "-x%d" % self.LEFT, "-y%d" % self.TOP, "-w%d" % self.WIDTH,
                            "-h%d" % self.HEIGHT, "-f10", "-a", "marks.avi")
        self.s.wait_window("Velmorax")
        time.sleep(1.5)
        x, y = self.LEFT + self.CLICK[0], self.TOP + self.CLICK[1]
        self.s.xdotool("mousemove", x, y, "click", "1")
        mw.focus_window(self.s, "wintool bars")
        time.sleep(1)
        self.s.xdotool("key", "q")   # a plain letter: never shown in this mode
        time.sleep(3)                # longer than a caption stays
        self.s.xdotool("key", "ctrl+shift+s")
        time.sleep(2.5)
        self.s.wintool("post", "Velmorax", WM_HOTKEY, 1, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

        frames = avi_tools.frames_rgb(os.path.join(self.s.work, "marks0001.avi"), self.WIDTH, self.HEIGHT)
        expected = bars_rgb(self.WIDTH, self.HEIGHT)
        cx, cy = self.CLICK
        ring, caption = [], []
        for n, frame in enumerate(frames):
            diffs = avi_tools.differing_pixels(frame, expected, self.WIDTH)
            # Left of and above the click's point, where the arrow never is.
            side = [(px, py) for px, py in diffs
                    if abs(px - cx) <= 24 and abs(py - cy) <= 24 and (px < cx - 1 or py < cy - 1)]
            if side:
                ring.append((n, side))
            if any(py >= self.HEIGHT * 3 // 4 for _, py in diffs):
                caption.append(n)
        self.assertTrue(ring, "no frame shows a ring around the click")
        first, last = ring[0][0], ring[-1][0]
        self.assertEqual([n for n, _ in ring], list(range(first, last + 1)))
        self.assertLess(last - first, 20, "the ring stays longer than 2 s")
        colours = {frames[first][3 * (py * self.WIDTH + px):3 * (py * self.WIDTH + px) + 3] for px, py in ring[0][1]}
        self.assertIn(bytes(LEFT_RING), colours)
        # One caption, after the click: the letter typed between them shows nothing.
        self.assertTrue(caption, "no frame shows a caption in the bottom quarter")
        self.assertGreater(caption[0], last)
        self.assertEqual(caption, list(range(caption[0], caption[-1] + 1)))
        self.assertLess(caption[-1], len(frames) - 1, "the caption never went")


if __name__ == "__main__":
    unittest.main()

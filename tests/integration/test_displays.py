"""Displays beyond one plain screen. Two monitors side by side (Xorg's dummy
driver, the second right of the primary): the main window back where it was
saved on the second monitor, a rectangle dragged there, its label kept
there, its recording pixel-exact, and a panned
rectangle that crosses from the first monitor to the second and stops at
the virtual screen's edges. A display scaled to 144 dots per inch: the
program is aware of it, and its window lays out cleanly."""
import time
import unittest

import avi_tools
import mainwin_common as mw
import test_recording_cases as cases
import test_region as region
from harness import SessionTest, dword

FIRST, SECOND = (0, 1024), (1024, 2048)   # the monitors' left and right edges


class TwoMonitors(cases.Base):
    monitors = 2
    LEFT, TOP = 700, 100   # on the first monitor, for the panned recording

    def setUp(self):
        super().setUp()
        # Count, then the virtual screen: (0, 0) to (2048, 768).
        self.assertEqual(self.s.wintool("screen").split()[3:8], ["2", "0", "0", "2048", "768"])
        self.put_pattern()

    def test_a_drag_on_the_second_monitor_is_recorded_exactly(self):
        # The window was last on the second monitor, below the region: it comes back there.
        self.s.reg_add(mw.STATE_KEY, "WinX", "REG_DWORD", 1100)
        self.s.reg_add(mw.STATE_KEY, "WinY", "REG_DWORD", 400)
        proc, main = mw.start_with_settings(self.s)
        self.assertEqual([w["rect"][:2] for w in self.s.windows() if w["hwnd"] == main], [(1100, 400)])
        page = self.s.wintool("child", main, 110).strip()
        r = self.s.controls(page)[region.DRAG]["rect"]
        self.s.xdotool("mousemove", (r[0] + r[2]) // 2, (r[1] + r[3]) // 2, "click", "1")
        mw.wait_for(lambda: any(w["cls"] == region.OVERLAY and w["visible"] for w in self.s.windows()),
                    what="the overlay")
        # A small band at the second monitor's left edge: its label goes beside
        # the band's right edge there rather than onto the first monitor.
        self.s.xdotool("mousemove", 1030, 300, "click", "1", "mousemove", 1059, 319)
        region.label_shown(self, self.s, "30x20", lambda w, h: (1059, 300 - h))
        # On to the final corner, then back over the first: the band spans both.
        self.s.xdotool("mousemove", 1000, 319)
        region.label_shown(self, self.s, "31x20", lambda w, h: (1000 - w, 300 - h))
        self.s.xdotool("key", "Escape")
        mw.wait_for(lambda: not any(w["cls"] == region.OVERLAY for w in self.s.windows()), what="overlay gone")

        self.s.xdotool("mousemove", (r[0] + r[2]) // 2, (r[1] + r[3]) // 2, "click", "1")
        mw.wait_for(lambda: any(w["cls"] == region.OVERLAY and w["visible"] for w in self.s.windows()),
                    what="the overlay")
        self.s.xdotool("mousemove", 1519, 339, "click", "1", "mousemove", 1200, 100, "click", "1")
        fields = lambda: tuple(self.s.controls(page)[i]["text"] for i in region.FIELDS)
        mw.wait_for(lambda: fields() == ("1200", "100", "320", "240"), what="the fields set")

        mw.move_pointer(self.s, 100, 700)   # off the region
        self.s.wintool("command", main, mw.START)
        mw.wait_for(lambda: mw.recording_pattern(self.s), what="recording")
        time.sleep(7)
        self.stop()
        self.summary()
        self.s.wintool("post", main, mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

        frames = avi_tools.frames_rgb(self.only_avi(), self.WIDTH, self.HEIGHT)
        expected = avi_tools.region_rgb(1200, 100, self.WIDTH, self.HEIGHT)
        diffs = [avi_tools.differing_pixels(frame, expected, self.WIDTH) for frame in frames]
        # The start caption in its corner at first; every pixel after it.
        self.assertTrue(diffs[0] and not cases.outside_corner(diffs[0], cases.CAPTION))
        self.assertEqual(diffs[-1], [])
        self.assertEqual([d for d in diffs if cases.outside_corner(d, cases.CAPTION)], [])

    def test_a_panned_rectangle_crosses_to_the_second_monitor_and_stops_at_its_edges(self):
        self.s.reg_add(mw.KEYS_KEY, "Pan Locked", "REG_DWORD", 1)
        mw.move_pointer(self.s, 800, 300)
        moves = [(1000, 330), (1300, 350), (2040, 760)]
        frames, saved = cases.Panning.record_moves(self, [(x, y, ()) for x, y in moves])
        right, bottom = 2048 - self.WIDTH - 1, 768 - self.HEIGHT - 1
        self.assertEqual(saved, (right, bottom))
        # On the first monitor, across both, on the second, at the far corner.
        places = [(700, 100), (900, 130), (1200, 150), (right, bottom)]
        self.CURSOR = cases.Panning.CURSOR
        shown = cases.Panning.offsets_shown(self, frames, places, [(800, 300)] + moves)
        self.assertNotIn(None, shown)
        runs = [p for n, p in enumerate(shown) if n == 0 or shown[n - 1] != p]
        self.assertEqual(runs, places)



class Scaled(SessionTest):
    DPI = 144

    def setUp(self):
        super().setUp()
        # Wine takes the dots per inch from here when a program starts.
        self.s.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", self.DPI)

    def assert_clean(self, window):
        """Every control lies inside its parent and has the room its text needs."""
        rows = self.s.controls(window, every=True)
        self.assertEqual([(c["id"], c["text"]) for c in rows if not c["inside"]], [])
        cut = [(c["id"], c["text"], c["need"], (c["rect"][2] - c["rect"][0], c["rect"][3] - c["rect"][1]))
               for c in rows if c["need"][0] > c["rect"][2] - c["rect"][0] or c["need"][1] > c["rect"][3] - c["rect"][1]]
        self.assertEqual(cut, [])
        return rows

    def test_at_144_dpi_the_program_is_per_monitor_aware_and_its_window_lays_out_cleanly(self):
        self.assertEqual(self.s.wintool("screen").split()[8], str(self.DPI))
        proc, main = mw.start_with_settings(self.s)
        self.assertEqual(self.s.wintool("dpi", main).split()[0], "2")   # aware of each monitor's scaling
        rows = self.assert_clean(main)
        # The image buttons show their images whole: as large as the images, in one row.
        buttons = [c["rect"] for c in rows if c["id"] in (mw.START, mw.STOP, mw.PAUSE, mw.OPEN, mw.SETTINGS,
                                                           mw.HELP, mw.EXIT)]
        self.assertEqual(len(buttons), 7)
        self.assertEqual({(r[2] - r[0], r[3] - r[1]) for r in buttons}, {(40, 40)})
        # The hotkey dialog too.
        mw.select_tab(self.s, 1, window=main)
        mw.click(self.s, 1015, window=self.s.wintool("child", main, 109).strip())
        dialog = self.s.wait_window("Change Hotkey")
        self.assert_clean(dialog["hwnd"])
        self.s.wintool("command", dialog["hwnd"], 2)
        self.s.wintool("post", main, mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()

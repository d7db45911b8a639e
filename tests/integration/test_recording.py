"""Recording: the screen region into an AVI file that players read, its
stream headers, pixels, cursor, caption, empty positions, naming, and the
starts that are refused."""
import glob
import os
import re
import struct
import subprocess
import time
import unittest

import avi_tools
import mainwin_common as mw
from harness import ROOT, SessionTest

WM_HOTKEY = 0x0312
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111


class Recording(SessionTest):
    LEFT, TOP, WIDTH, HEIGHT = 100, 80, 320, 240

    def setUp(self):
        super().setUp()
        # Wine paints its desktop over the root window when it starts: start it first.
        self.s.wintool("windows")
        pattern = os.path.join(self.s.dir, "pattern.ppm")
        avi_tools.write_pattern(pattern, *self.s.screen)
        # display sets the root window's background and ends (with status 1).
        subprocess.run(["/usr/bin/display", "-window", "root", pattern], env=self.s.env, timeout=60)
        self.s.xdotool("mousemove", 1010, 750)   # away from the region

    def region_args(self, *more):
        return ["-x%d" % self.LEFT, "-y%d" % self.TOP, "-w%d" % self.WIDTH, "-h%d" % self.HEIGHT] + list(more)

    def stop(self):
        self.s.wintool("post", "Velmorax", WM_HOTKEY, 1, 0)

    def avis(self):
        return sorted(os.path.basename(p) for p in glob.glob(os.path.join(self.s.work, "*.avi")))

    def record(self, seconds, *args):
        proc = self.s.start(*args)
        self.s.wait_window("Velmorax")
        time.sleep(seconds)
        self.stop()
        return proc

    def test_region_is_recorded_exactly_with_its_stream_headers(self):
        proc = self.record(7.5, "-recx", *self.region_args("-f10", "-a", "shot"))
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertEqual(self.s.message_boxes(), [])
        self.assertEqual(self.avis(), ["shot0001.avi"])
        path = os.path.join(self.s.work, "shot0001.avi")

        stream = avi_tools.video_stream(path)
        self.assertEqual(stream["tags"]["title"], "Velmorax Video")
        self.assertEqual((stream["width"], stream["height"]), (self.WIDTH, self.HEIGHT))
        self.assertEqual(stream["r_frame_rate"], "10/1")
        self.assertEqual(stream["time_base"], "1/10")
        avi = avi_tools.AviFile(path)
        strh, strf, index = avi.strh, avi.strf, avi.index
        self.assertEqual(strh[0], b"vids")
        # No compressor chosen, and the one by colour depth cannot take the frames here: our codec.
        self.assertEqual(strh[1], b"ZMBV")
        self.assertEqual(stream["codec_name"], "zmbv")
        self.assertEqual((strh[6], strh[7]), (1000, 10000))   # dwScale, dwRate
        self.assertEqual(strh[13:17], (0, 0, self.WIDTH, self.HEIGHT))   # rcFrame
        self.assertEqual(strf[:5], (40, self.WIDTH, self.HEIGHT, 1, 32))
        self.assertEqual(strf[5], struct.unpack("<I", b"ZMBV")[0])
        # Under a tenth of the same frames uncompressed.
        self.assertLess(os.path.getsize(path) * 10, len(index) * self.WIDTH * self.HEIGHT * 4)

        frames = avi_tools.frames_rgb(path, self.WIDTH, self.HEIGHT)
        written = [e for e in index if e[3] > 0]
        self.assertEqual(len(frames), len(written))
        self.assertGreater(len(frames), 60)
        expected = avi_tools.region_rgb(self.LEFT, self.TOP, self.WIDTH, self.HEIGHT)
        # The start caption, top left, in the first five seconds only.
        first = avi_tools.differing_pixels(frames[0], expected, self.WIDTH)
        self.assertTrue(first)
        self.assertTrue(all(x < 250 and y < 25 for x, y in first), first[-5:])
        for n, frame in enumerate(frames[-15:]):
            self.assertEqual(avi_tools.differing_pixels(frame, expected, self.WIDTH), [], "frame %d from the end" % n)

    def test_summary_counts_the_positions_in_the_file(self):
        # Without the codec's library the recording falls back to uncompressed frames, as before it came.
        os.remove(os.path.join(self.s.program_dir(), "VelZmbv.dll"))
        proc = self.record(4, "-rec", *self.region_args("-f15", "-a", "sum.avi"))
        box = self.s.wait_message_box()
        m = re.search(r"(\d+)\D+(\d+)", box["text"])
        self.assertIsNotNone(m, box["text"])
        positions, skipped = int(m.group(1)), int(m.group(2))
        self.s.answer(box, 1)
        controls = self.s.controls("Velmorax")
        self.assertTrue(controls[1000]["enabled"])
        self.assertFalse(controls[1001]["enabled"])
        self.s.wintool("post", "Velmorax", WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

        path = os.path.join(self.s.work, "sum0001.avi")
        avi = avi_tools.AviFile(path)
        strh, index = avi.strh, avi.index
        self.assertEqual((strh[6], strh[7]), (1000, 15000))
        self.assertEqual(avi_tools.video_stream(path)["r_frame_rate"], "15/1")
        self.assertEqual(strh[1], b"DIB ")
        self.assertEqual(strh[10], self.WIDTH * self.HEIGHT * 4)   # dwSuggestedBufferSize
        self.assertEqual(len(index), positions)
        self.assertEqual(len([e for e in index if e[3] == 0]), skipped)
        self.assertTrue(all(e[3] in (0, self.WIDTH * self.HEIGHT * 4) for e in index))
        self.assertEqual(strh[9], positions)   # dwLength

    def test_cursor_is_drawn_where_it_is_and_clipped_at_the_edge(self):
        right = self.LEFT + self.WIDTH
        proc = self.s.start("-recx", *self.region_args("-f10", "-a", "cur.avi"))
        self.s.wait_window("Velmorax")
        time.sleep(5.5)   # past the caption
        self.s.xdotool("mousemove", self.LEFT + 100, self.TOP + 100)
        time.sleep(1.5)
        self.s.xdotool("mousemove", right - 3, self.TOP + 150)   # inside, at the right edge
        time.sleep(1.5)
        self.s.xdotool("mousemove", self.LEFT - 1, self.TOP + 50)   # one pixel outside
        time.sleep(1.5)
        self.stop()
        self.assertEqual(self.s.wait_exit(proc), 0)

        frames = avi_tools.frames_rgb(os.path.join(self.s.work, "cur0001.avi"), self.WIDTH, self.HEIGHT)
        expected = avi_tools.region_rgb(self.LEFT, self.TOP, self.WIDTH, self.HEIGHT)
        diffs = [avi_tools.differing_pixels(f, expected, self.WIDTH) for f in frames[55:]]
        inside = [d for d in diffs if d and all(60 <= x < 140 and 60 <= y < 140 for x, y in d)]
        edge = [d for d in diffs if d and all(x >= self.WIDTH - 40 and 110 <= y < 190 for x, y in d)]
        self.assertTrue(inside, "no frame shows the cursor inside the region")
        self.assertTrue(edge, "no frame shows the cursor clipped at the right edge")
        self.assertTrue(all(x <= self.WIDTH - 1 for d in edge for x, _ in d))
        # Just outside the left edge the cursor is not drawn, though its
        # shape would reach into the frame.
        self.assertEqual(diffs[-3:], [[], [], []])

    def cursor_pixels(self, name):
        """Records with the pointer resting at (100, 100) of the region; the
        pixels of the last frames that differ from the screen."""
        proc = self.s.start("-recx", "-i-", *self.region_args("-f10", "-a", name))
        self.s.wait_window("Velmorax")
        self.s.xdotool("mousemove", self.LEFT + 100, self.TOP + 100)
        time.sleep(6.5)   # past the caption
        self.stop()
        self.assertEqual(self.s.wait_exit(proc), 0)
        frames = avi_tools.frames_rgb(os.path.join(self.s.work, name), self.WIDTH, self.HEIGHT)
        expected = avi_tools.region_rgb(self.LEFT, self.TOP, self.WIDTH, self.HEIGHT)
        return [p for f in frames[-5:] for p in avi_tools.differing_pixels(f, expected, self.WIDTH)]

    def test_cursor_follows_the_users_cursor_scheme(self):
        cursors = r"HKCU\Control Panel\Cursors"
        # A scheme naming a file that does not exist: the standard arrow,
        # whose hot spot is its top-left tip, so it lies right of and below
        # the pointer.
        self.s.reg_add(cursors, "Arrow", "REG_SZ", r"C:\nowhere\missing.cur")
        arrow = self.cursor_pixels("arrow.avi")
        self.assertTrue(arrow)
        self.assertTrue(all(x >= 99 and y >= 99 for x, y in arrow), arrow[:10])
        # A scheme naming a crosshair file: drawn centred on the pointer.
        cross = os.path.join(self.s.program_dir(), "cross.cur")
        with open(os.path.join(ROOT, "resources", "images", "crosscur.cur"), "rb") as src, \
                open(cross, "wb") as dst:
            dst.write(src.read())
        self.s.reg_add(cursors, "Arrow", "REG_SZ", "Z:" + cross.replace("/", "\\"))
        crosshair = self.cursor_pixels("cross.avi")
        self.assertTrue(any(x < 95 for x, _ in crosshair), "nothing left of the pointer")
        self.assertTrue(any(y < 95 for _, y in crosshair), "nothing above the pointer")
        self.assertTrue(all(80 <= x < 120 and 80 <= y < 120 for x, y in crosshair))

    def test_a_writer_that_falls_behind_stops_with_empty_positions(self):
        proc = self.s.start("-rec", "-i-", *self.region_args("-f20", "-a", "slow.avi"))
        self.s.wait_window("Velmorax")
        main = mw.main_window(self.s)
        time.sleep(3)
        # The user-interface thread is held up while the frame clock goes on.
        self.s.wintool("freeze", main, 8)
        box = self.s.wait_message_box()
        self.assertIn("fast enough", box["text"])
        self.s.answer(box, 1)
        # The video page comes forward with the capture rate selected.
        video = self.s.wintool("child", main, 111).strip()
        mw.wait_for(lambda: self.s.wintool("focus", main).split() == ["1021", "Edit", "0", "2"],
                    what="the capture rate selected")
        self.assertEqual(self.s.wintool("tab", main, 1065).strip(), "2")
        self.assertTrue(self.s.controls(video)[1021]["visible"])
        self.s.wintool("post", main, WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

        path = os.path.join(self.s.work, "slow.avi")
        avi = avi_tools.AviFile(path)
        strh, index = avi.strh, avi.index
        empty = [e for e in index if e[3] == 0]
        self.assertGreater(len(empty), 0)
        # More than half of all positions are empty, the rest are frames in order.
        self.assertGreater(2 * len(empty), len(index))
        self.assertEqual(strh[9], len(index))
        self.assertEqual(index[:len(index) - len(empty)], [e for e in index if e[3] > 0])
        frames = avi_tools.frames_rgb(path, self.WIDTH, self.HEIGHT)
        self.assertEqual(len(frames), len(index) - len(empty))

    def test_the_size_limit_stops_the_recording_and_leaves_a_whole_file(self):
        limit = 2000000   # the test-only limit; a key frame every frame fills it in a second
        self.s.env["VELMORAX_TEST_FILE_LIMIT"] = str(limit)
        proc = self.s.start("-recx", "-i-", *self.region_args("-f10", "-k1", "-a", "limit.avi"))
        box = self.s.wait_message_box()   # nobody stops this recording
        path = os.path.join(self.s.work, "limit.avi")
        self.assertIn("%d bytes" % limit, box["text"])
        self.assertIn("Z:" + path.replace("/", "\\"), box["text"])
        self.s.answer(box, 1)
        self.assertEqual(self.s.wait_exit(proc), 2)

        self.assertLessEqual(os.path.getsize(path), limit)
        avi = avi_tools.AviFile(path)
        strh, index = avi.strh, avi.index
        self.assertGreater(len(index), 3)
        # Every frame the header claims is in the file and decodes.
        frames = avi_tools.frames_rgb(path, self.WIDTH, self.HEIGHT)
        self.assertEqual((strh[9], int(avi_tools.video_stream(path)["nb_frames"]), len(frames)), (len(index),) * 3)

    def test_a_message_box_open_during_the_recording_holds_nothing_back(self):
        # The box's own message loop hands the frame clock's wake-ups to the
        # main window, which writes the frames.
        # One frame a second: the ring's five slots outlast the two seconds
        # for which Wine without a window manager holds the thread up when a
        # message box goes, but not the eight seconds the box stays open.
        self.s.reg_add(mw.STATE_KEY, "WndHide", "REG_DWORD", 0)   # the window stays to be typed into
        proc = self.s.start("-i-", *self.region_args("-f1", "-a", "box.avi"))
        self.s.wait_window("Velmorax")
        main = mw.main_window(self.s)
        self.s.wintool("command", main, mw.SETTINGS)
        mw.select_tab(self.s, 2, window=main)
        video = self.s.wintool("child", main, 111).strip()
        self.s.wintool("command", main, mw.START)
        mw.wait_for(lambda: mw.recording_pattern(self.s), what="recording")
        mw.focus_window(self.s, "Velmorax")
        mw.click(self.s, 1021, window=video)
        self.s.xdotool("key", "End", "shift+Home")
        self.s.xdotool("type", "ten")
        self.s.xdotool("key", "Tab")
        box = self.s.wait_message_box()
        self.assertEqual(box["text"], "Please enter a number.")
        time.sleep(8)
        self.s.answer(box, 1)
        mw.wait_for(lambda: self.s.wintool("focus", main).split("\t")[0] == "1021", what="focus back")
        self.s.xdotool("type", "5")
        self.s.xdotool("key", "Tab")
        time.sleep(1)
        self.stop()
        box = self.s.wait_message_box()
        positions, skipped = (int(n) for n in re.findall(r"\d+", box["text"])[:2])
        self.assertEqual(skipped, 0)
        self.assertGreaterEqual(positions, 9)
        self.s.answer(box, 1)
        self.s.wintool("post", main, WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

    def assert_refused(self, args, reason):
        proc = self.s.start("-rec", *args)
        box = self.s.wait_message_box()
        self.assertIn(reason, box["text"])
        self.s.answer(box, 1)
        time.sleep(1)
        self.assertEqual(self.s.message_boxes(), [])
        controls = self.s.controls("Velmorax")
        self.assertTrue(controls[1000]["enabled"])
        self.assertFalse(controls[1001]["enabled"])
        self.assertTrue(controls[1002]["enabled"])
        self.s.wintool("post", "Velmorax", WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertEqual(self.avis(), [])

    def test_starts_that_cannot_work_are_refused_and_leave_nothing(self):
        self.assert_refused(self.region_args("-f0", "-a", "bad.avi"), "(Frame Rate)")
        self.assert_refused(self.region_args("-f-5", "-a", "bad.avi"), "(Frame Rate)")
        self.assert_refused(["-w0", "-h240", "-f10", "-a", "bad.avi"], "(Capture Size)")
        self.assert_refused(["-w320", "-h-3", "-f10", "-a", "bad.avi"], "(Capture Size)")
        self.assert_refused(["-w60000", "-h60000", "-f10", "-a", "bad.avi"], "(Capture Size)")
        self.assert_refused(self.region_args("-f10", "-a", r"Z:\no\such\folder\x.avi"), "(Open AVI)")

    def test_names_are_completed_numbered_or_replaced(self):
        for expected in (["clip0001.avi"], ["clip0001.avi", "clip0002.avi"]):
            proc = self.record(2, "-recx", *self.region_args("-f10", "-a", "clip"))
            self.assertEqual(self.s.wait_exit(proc), 0)
            self.assertEqual(self.avis(), expected)

        old = os.path.join(self.s.work, "plain.avi")
        with open(old, "wb") as f:
            f.write(b"not a video")
        proc = self.record(2, "-recx", "-i-", *self.region_args("-f10", "-a", "plain.avi"))
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertGreater(int(avi_tools.video_stream(old)["nb_frames"]), 5)

    def test_a_recording_without_frames_leaves_no_file(self):
        proc = self.s.start(*self.region_args("-f10", "-a", "paused.avi"))
        self.s.wait_window("Velmorax")
        self.s.wintool("post", "Velmorax", WM_COMMAND, 1003, 0)   # pause while idle: starts paused
        time.sleep(2)
        self.assertEqual(self.avis(), ["paused0001.avi"])
        self.stop()
        time.sleep(2)
        self.assertEqual(self.s.message_boxes(), [])
        self.assertEqual(self.avis(), [])
        self.s.wintool("post", "Velmorax", WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()

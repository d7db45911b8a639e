"""Recordings that meet a failure: a full disk, a compressor that fails
mid-way, a frame clock that cannot start, and the engine's own stop request
arriving after the user's stop. None may lose what was recorded, touch
another file, or end a command-line recording as if all were well."""
import glob
import os
import subprocess
import time
import unittest

import avi_tools
import mainwin_common as mw
from harness import WINE, WINTOOL, SessionTest

WM_HOTKEY = 0x0312
DRIVERS32 = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Drivers32"
WIDTH, HEIGHT = 320, 240


def region_args(*more):
    return ["-x100", "-y80", "-w%d" % WIDTH, "-h%d" % HEIGHT, "-f10"] + list(more)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


class Faults(SessionTest):
    def setUp(self):
        super().setUp()
        self.s.xdotool("mousemove", 1010, 750)

    def assert_plays_every_frame_it_claims(self, path, at_least):
        avi = avi_tools.AviFile(path)
        positions = avi.positions()
        frames = avi_tools.frames_rgb(path, WIDTH, HEIGHT)
        self.assertGreaterEqual(len(frames), at_least)
        self.assertEqual((avi.strh[9], int(avi_tools.video_stream(path)["nb_frames"])), (len(positions),) * 2)
        self.assertEqual(len(frames), len([e for e in positions if e[3] > 0]))

    def journals(self):
        return glob.glob(os.path.join(self.s.prefix, "drive_c", "users", "*", "AppData", "Local", "Velmorax",
                                      "Recovery", "*.journal"))

    def record_until_it_stops_itself(self, *args):
        """Starts a command-line recording that nobody stops; returns the
        text of the message it ends with, and its exit code."""
        proc = self.s.start("-recx", "-i-", *args)
        box = self.s.wait_message_box()
        self.s.answer(box, 1)
        return box["text"], self.s.wait_exit(proc)

    @unittest.skipUnless(os.geteuid() == 0, "a small disk of its own needs root (mount)")
    def test_a_full_disk_stops_the_recording_and_leaves_a_whole_file(self):
        disk = os.path.join(self.s.dir, "disk")
        os.makedirs(disk)
        subprocess.run(["mount", "-t", "tmpfs", "-o", "size=3m", "tmpfs", disk], check=True)
        self.addCleanup(subprocess.run, ["umount", "-l", disk])
        self.s.env["VELMORAX_TEST_COMPRESSOR"] = "DIB "   # 300 KB a frame: ten fill the disk
        path = os.path.join(disk, "full.avi")
        text, code = self.record_until_it_stops_itself(*region_args("-a", windows_path(path)))
        self.assertIn("disk", text)
        self.assertIn(windows_path(path), text)
        self.assertEqual(code, 2)
        self.assert_plays_every_frame_it_claims(path, 3)
        self.assertEqual(self.journals(), [])

    def test_a_frame_that_cannot_be_written_stops_the_recording_and_keeps_the_rest(self):
        codec = os.environ.get("VELMORAX_TESTCODEC", os.path.join(os.environ.get("VELMORAX_BUILD_DIR", ""), "tests",
                                                                   "testcodec.dll"))
        self.s.reg_add(DRIVERS32, "vidc.VMXT", "REG_SZ", windows_path(os.path.abspath(codec)))
        self.s.env.update(VELMORAX_TEST_COMPRESSOR="VMXT", VELMORAX_TESTCODEC_FRAMES="12")
        text, code = self.record_until_it_stops_itself(*region_args("-a", "broken.avi"))
        path = os.path.join(self.s.work, "broken.avi")
        self.assertIn("could not be written", text)
        self.assertIn(windows_path(path), text)
        self.assertEqual(code, 3)
        self.assert_plays_every_frame_it_claims(path, 12)
        self.assertEqual(self.journals(), [])

    def test_a_frame_clock_that_cannot_start_fails_the_start_and_deletes_nothing(self):
        earlier = os.path.join(self.s.work, "keep.avi")
        with open(earlier, "wb") as f:
            f.write(b"an earlier recording")
        # One frame in 100 s: a period longer than this system's frame clock takes.
        text, code = self.record_until_it_stops_itself(*region_args("-f0.01", "-a", "keep.avi"))
        self.assertIn("(Start Frame Clock)", text)
        self.assertEqual(code, 3)
        with open(earlier, "rb") as f:
            self.assertEqual(f.read(), b"an earlier recording")

    def test_the_engines_stop_request_after_the_users_stop_starts_nothing(self):
        proc = self.s.start("-rec", "-i-", *region_args("-a", "late.avi"))
        self.s.wait_window("Velmorax")
        mw.wait_for(lambda: mw.recording_pattern(self.s), what="recording")
        time.sleep(1.5)
        # The user-interface thread is held up: the user's stop waits in its
        # queue, and behind it the engine's own request, once the ring overran.
        freeze = subprocess.Popen([WINE, WINTOOL, "freeze", "Velmorax", "4"], env=self.s.env, cwd=self.s.work,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(0.5)
        self.s.wintool("post", "Velmorax", WM_HOTKEY, 1, 0)
        self.assertEqual(freeze.wait(timeout=60), 0)
        box = self.s.wait_message_box()
        self.assertIn("fast enough", box["text"])
        self.s.answer(box, 1)
        time.sleep(3)   # a new recording would have started by now, deleting the file it replaces
        self.assertTrue(mw.idle_pattern(self.s))
        self.assertEqual(self.s.message_boxes(), [])
        self.assert_plays_every_frame_it_claims(os.path.join(self.s.work, "late.avi"), 10)
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)


if __name__ == "__main__":
    unittest.main()

"""The launcher without a display: a demo recording of a virtual screen,
and unchanged runs when arguments are given."""
import glob
import os
import shutil
import subprocess
import tempfile
import unittest

import avi_tools
from harness import ROOT, WINE, WINESERVER, pristine_prefix

STATE = r"HKCU\SOFTWARE\Orvantis\Velmorax\State"


class LauncherDemo(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="velmorax-demo-")
        self.prefix = os.path.join(self.dir, "prefix")
        shutil.copytree(pristine_prefix(), self.prefix, symlinks=True)
        self.work = os.path.join(self.dir, "work")
        os.makedirs(self.work)
        self.env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        self.env.update(WINEPREFIX=self.prefix, VELMORAX_DEMO_SECONDS="3")
        self.addCleanup(shutil.rmtree, self.dir, ignore_errors=True)
        self.addCleanup(subprocess.run, [WINESERVER, "-k"], env=self.env, stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)

    def launch(self, *args):
        return subprocess.run([os.path.join(ROOT, "velmorax")] + list(args), cwd=self.work, env=self.env,
                              capture_output=True, text=True, timeout=180)

    def reg(self, *args):
        return subprocess.run([WINE, "reg"] + list(args), env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True, timeout=60).stdout

    def test_no_display_and_no_arguments_records_a_demo(self):
        self.reg("add", STATE, "/v", "Width", "/t", "REG_DWORD", "/d", "500", "/f")
        # Wine's services, started here without a display, must be gone before the launch.
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=60)
        proc = self.launch()
        self.assertEqual(proc.returncode, 0, proc.stderr)
        path = os.path.join(self.work, "velmorax-demo0001.avi")
        self.assertIn("demo recording written to %s" % path, proc.stdout)
        self.assertTrue(os.path.exists(path))
        stream = avi_tools.video_stream(path)
        self.assertEqual(stream["tags"]["title"], "Velmorax Video")
        self.assertEqual((stream["width"], stream["height"]), (640, 480))
        self.assertGreaterEqual(int(stream["nb_frames"]), 20)
        # The virtual screen showed something, and something moved.
        frames = avi_tools.frames_rgb(path, 640, 480)
        self.assertGreater(len(set(frames[-1])), 10)
        self.assertGreaterEqual(len(set(frames)), 3)
        # A click into the demo's notepad shows its ring, and Ctrl+A its caption box, low in the frame.
        ring, box = bytes((255, 176, 0)), bytes((24, 24, 24))
        self.assertTrue(any(ring in frame for frame in frames), "no click ring")
        self.assertTrue(any(frame.find(box * 8, 640 * 360 * 3) >= 0 for frame in frames), "no caption box")
        # The user's settings are as they were: the demo's options are not kept.
        state = self.reg("query", STATE)
        self.assertRegex(state, r"Width\s+REG_DWORD\s+0x1f4")
        self.assertNotIn("AVIFileName", state)

    def test_arguments_run_the_program_as_given(self):
        proc = self.launch("-readopts")   # no options file beside the program: exit code 1
        self.assertEqual(proc.returncode, 1)
        self.assertNotIn("demo", proc.stdout + proc.stderr)
        self.assertEqual(glob.glob(os.path.join(self.work, "*.avi")), [])


if __name__ == "__main__":
    unittest.main()

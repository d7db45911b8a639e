"""A recording whose program is killed (SIGKILL to the Wine process, no
close) comes back at the next start: a normal start asks first, before the
main window shows; the other modes rebuild without a word. Every frame that
reached the disk decodes pixel-exact, and the sound stream is there."""
import glob
import os
import signal
import struct
import subprocess
import time
import unittest

import avi_tools
from harness import Session

WM_CLOSE = 0x0010
LEFT, TOP, WIDTH, HEIGHT, FPS = 100, 80, 320, 240, 10
CAPTION_FRAMES = 5 * FPS + 2   # the start caption is drawn for five seconds
DRIVERS = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Drivers32"


def chunks_on_disk(path):
    """The video chunks a killed recording left whole: (positions, frames)."""
    data = open(path, "rb").read()
    at = next((i for i, b in enumerate(data) if b), len(data))
    positions = frames = 0
    while at + 8 <= len(data):
        ckid, size = struct.unpack("<4sI", data[at:at + 8])
        if at + 8 + size > len(data):
            break
        if ckid in (b"00db", b"00dc"):
            positions += 1
            frames += size > 0
        at += 8 + size + (size & 1)
    return positions, frames


def streams(path):
    proc = subprocess.run(["ffprobe", "-v", "error", "-show_streams", "-of", "compact=p=0:nk=0", path],
                          capture_output=True, text=True, check=True)
    return [dict(kv.split("=", 1) for kv in line.split("|") if "=" in kv) for line in proc.stdout.splitlines()]


class Recovery(unittest.TestCase):
    def session(self, sound):
        s = Session(sound=sound)
        self.addCleanup(s.close)
        s.wintool("windows")   # Wine paints its desktop when it starts: the pattern comes after
        pattern = os.path.join(s.dir, "pattern.ppm")
        avi_tools.write_pattern(pattern, *s.screen)
        subprocess.run(["/usr/bin/display", "-window", "root", pattern], env=s.env, timeout=60)
        s.xdotool("mousemove", 1010, 750)
        return s

    def journals(self, s):
        return glob.glob(os.path.join(s.prefix, "drive_c", "users", "*", "AppData", "Local", "Velmorax", "Recovery",
                                      "*.journal"))

    def record_and_kill(self, s, name, *more):
        """Records past the start caption and kills the program; returns the
        file and its (positions, frames) as they reached the disk."""
        proc = s.start("-recx", "-i-", "-x%d" % LEFT, "-y%d" % TOP, "-w%d" % WIDTH, "-h%d" % HEIGHT,
                       "-f%d" % FPS, "-k5", "-a", name, *more)
        path = os.path.join(s.work, name)
        deadline = time.time() + 90
        while not (os.path.exists(path) and chunks_on_disk(path)[1] >= CAPTION_FRAMES + 15):
            self.assertLess(time.time(), deadline, "the recording did not get going")
            time.sleep(0.3)
        os.kill(proc.pid, signal.SIGKILL)
        proc.wait()
        self.assertNotEqual(open(path, "rb").read(4), b"RIFF")   # no player opens this
        self.assertEqual(len(self.journals(s)), 1)
        return path, chunks_on_disk(path)

    def assert_rebuilt(self, s, path, on_disk):
        self.assertEqual(self.journals(s), [])
        self.assertEqual(sorted(os.listdir(s.work)), [os.path.basename(path)])   # nothing left beside it
        video = avi_tools.video_stream(path)
        self.assertEqual(video["tags"]["title"], "Velmorax Video")
        self.assertEqual(int(video["nb_frames"]), on_disk[0])
        frames = avi_tools.frames_rgb(path, WIDTH, HEIGHT)
        self.assertEqual(len(frames), on_disk[1])
        expected = avi_tools.region_rgb(LEFT, TOP, WIDTH, HEIGHT)
        for n, frame in enumerate(frames[CAPTION_FRAMES:], CAPTION_FRAMES):
            self.assertEqual(avi_tools.differing_pixels(frame, expected, WIDTH), [], "frame %d" % n)
        return video

    def test_a_normal_start_asks_before_its_window_and_rebuilds(self):
        s = self.session(sound=False)
        # Without the codec's library beside it the program stores "DIB " frames.
        os.remove(os.path.join(s.program_dir(), "VelZmbv.dll"))
        path, on_disk = self.record_and_kill(s, "kill.avi")

        proc = s.start()
        box = s.wait_message_box()
        self.assertIn(path.replace("/", "\\"), box["text"])
        self.assertIn("%d frames" % on_disk[1], box["text"])
        others = [w for w in s.windows() if w["title"] == "Velmorax" and w["visible"] and w["hwnd"] != box["hwnd"]]
        self.assertEqual(others, [], "the main window shows before the question is answered")
        s.answer(box, 6)
        s.wait_window("Velmorax")
        self.assertEqual(s.message_boxes(), [])
        s.wintool("post", "Velmorax", WM_CLOSE, 0, 0)
        self.assertEqual(s.wait_exit(proc), 0)
        # "DIB ", or our codec should the program carry it inside.
        self.assertIn(self.assert_rebuilt(s, path, on_disk)["codec_name"], ("rawvideo", "zmbv"))

    def test_the_codec_with_sound_is_rebuilt_silently_by_another_mode(self):
        s = self.session(sound=True)
        # Our codec stands in for the compressor that the colour depth asks for.
        dll = "Z:" + os.path.join(s.program_dir(), "VelZmbv.dll").replace("/", "\\")
        s.reg_add(DRIVERS, "vidc.msvc", "REG_SZ", dll)
        path, on_disk = self.record_and_kill(s, "sound.avi", "-s+")

        self.assertEqual(s.run("-dumpopts", timeout=120), 0)   # a question would hold it up
        video = self.assert_rebuilt(s, path, on_disk)
        self.assertEqual(video["codec_name"], "zmbv")
        audio = [st for st in streams(path) if st["codec_type"] == "audio"]
        self.assertEqual(len(audio), 1)
        self.assertEqual((audio[0]["codec_name"], audio[0]["sample_rate"]), ("pcm_u8", "11025"))
        # In step: both start at the beginning, and the sound (when the wave
        # recorder delivered any) ends where the video ends, but for the
        # block in flight at the kill.
        self.assertEqual(float(audio[0].get("start_time", "0")), float(video.get("start_time", "0")))
        if audio[0].get("duration", "N/A") != "N/A":
            block, frame = 2048 / 11025, 1 / FPS
            self.assertLessEqual(abs(float(audio[0]["duration"]) - on_disk[0] * frame), block + frame)


if __name__ == "__main__":
    unittest.main()

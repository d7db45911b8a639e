"""Sound: the recorded file's sound stream holds what the wave input heard,
at the set rate and size, in step with the picture, across a pause and
single frames; without a sound input device a recording goes on without
sound and says so."""
import glob
import os
import subprocess
import time
import unittest

import avi_tools
import mainwin_common as mw
import sound_tools as st
from harness import APP_KEY, WINE, SessionTest

LEFT, TOP, WIDTH, HEIGHT = 100, 100, 160, 120
FPS = 10


def region_args(name):
    return ["-s+", "-x%d" % LEFT, "-y%d" % TOP, "-w%d" % WIDTH, "-h%d" % HEIGHT, "-f%d" % FPS, "-a", name]


def block_seconds(rate):
    """One wave buffer: 2048 samples per 11025 Hz."""
    return 2048 * (rate // 11025) / rate


class SoundTest(SessionTest):
    sound = True

    def set_sound_format(self, rate, bits):
        reg = os.path.join(self.s.dir, "sound.reg")
        with open(reg, "w") as f:
            f.write("REGEDIT4\n\n[%s\\State]\n\"SoundSampRate\"=dword:%08x\n\"SoundSampSize\"=dword:%08x\n" %
                    (APP_KEY.replace("HKCU", "HKEY_CURRENT_USER"), rate, bits))
        subprocess.run([WINE, "reg", "import", reg], env=self.s.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True, timeout=60)

    def recorded(self, name):
        paths = glob.glob(os.path.join(self.s.work, name + "*.avi"))
        self.assertEqual(len(paths), 1, paths)
        return paths[0]

    def test_signal_at_every_rate_and_size(self):
        self.s.xdotool("mousemove", 1010, 750)
        self.s.play(self.s.signal("sine.wav", 90, "sine", 440, "vol", 0.5))
        for rate in (11025, 22050, 44100):
            for bits in (8, 16):
                with self.subTest(rate=rate, bits=bits):
                    self.set_sound_format(rate, bits)
                    name = "r%d_%d_" % (rate, bits)
                    proc = self.s.start("-recx", *region_args(name))
                    self.s.wait_window("Velmorax")
                    # The pointer lies on no window of Wine's: the key reaches the hotkey
                    # only through the window that has the X input focus.
                    mw.focus_window(self.s, "Velmorax")
                    time.sleep(2)
                    self.s.xdotool("key", "F2")
                    self.assertEqual(self.s.wait_exit(proc), 0)
                    self.check_signal(self.recorded(name), rate, bits)

    def check_signal(self, path, rate, bits):
        block_align = bits // 8
        strh, strf = avi_tools.AviFile(path).stream_headers(1)
        self.assertEqual(strh[0:2], (b"auds", b"\0\0\0\0"))
        # dwInitialFrames, dwScale, dwRate, dwStart; dwQuality, dwSampleSize
        self.assertEqual(strh[5:9] + strh[11:13], (2, 1, rate, 0, 0, block_align))
        self.assertEqual(strf, bytes.fromhex("01000100") + rate.to_bytes(4, "little") +
                         (rate * block_align).to_bytes(4, "little") + bytes([block_align, 0, bits, 0, 0, 0]))

        samples = st.sound_samples(path)
        middle = samples[int(0.4 * rate):-int(0.3 * rate)]
        self.assertGreater(len(middle), rate)
        self.assertAlmostEqual(st.frequency(middle, rate), 440, delta=4)
        self.assertAlmostEqual(max(middle) / 32768, 0.5, delta=0.08)
        positions = avi_tools.packets(path)[-1][0] + 1
        print("%d Hz %d bits: %.3f s of sound, %.3f s of video" % (rate, bits, len(samples) / rate, positions / FPS))
        self.assertLess(abs(len(samples) / rate - positions / FPS), block_seconds(rate))

    def test_eight_seconds_with_a_pause_keep_all_their_sound(self):
        # The defaults: 11025 Hz, 8 bits.
        self.s.xdotool("mousemove", 1010, 750)
        self.s.play(self.s.signal("sine.wav", 60, "sine", 440, "vol", 0.5))
        proc = self.s.start("-recx", *region_args("long"))
        self.s.wait_window("Velmorax")
        mw.focus_window(self.s, "Velmorax")
        for seconds, key in ((4, "F3"), (1.5, "F3"), (4, "F2")):   # pause, resume, stop
            time.sleep(seconds)
            self.s.xdotool("key", key)
        self.assertEqual(self.s.wait_exit(proc), 0)
        path = self.recorded("long")
        sound = len(st.sound_samples(path)) / 11025
        video = (avi_tools.packets(path)[-1][0] + 1) / FPS
        print("8 s with a pause: %.3f s of sound, %.3f s of video" % (sound, video))
        self.assertGreater(video, 7.5)
        self.assertLess(abs(sound - video), 1 / FPS + block_seconds(11025))

    def test_sound_keeps_step_with_the_picture_across_a_pause_and_single_frames(self):
        rate = 22050
        self.set_sound_format(rate, 8)
        self.s.xdotool("mousemove", 1010, 750)
        proc = self.s.start("-recx", *region_args("sync"))
        self.s.wait_window("Velmorax")
        show = st.Show(self.s, LEFT, TOP, WIDTH, HEIGHT)
        self.addCleanup(show.close)
        mw.focus_window(self.s, "Velmorax")
        # Flashes a little more than a second apart meet the frame clock at
        # different phases. While paused the region is green, so that the
        # single frames are the only green ones; a 400 Hz sine sounds from the
        # pause to the resume, an 800 Hz one right after it.
        events = [(1.5, "white"), (2.53, "white"), (3.56, "white"), (7.5, "white"), (8.53, "white")]
        events = [e for t, c in events for e in ((t, c), (t, "sine", 1000, 0.15), (t + 0.3, "black"))]
        events += [(4.2, "key", "F3"), (4.2, "sine", 400, 2.3), (4.5, "green"), (4.8, "key", "F4"),
                   (5.2, "key", "F4"), (5.6, "key", "F4"), (6.2, "black"), (6.5, "key", "F3"),
                   (6.5, "sine", 800, 0.3), (9.2, "key", "F2")]
        taken = show.run(events, 9.3)
        self.assertEqual(self.s.wait_exit(proc), 0)
        path = self.recorded("sync")

        frames = st.frame_colours(path, WIDTH, HEIGHT)
        green = [p for p, _, greener in frames if greener > 100]
        self.assertEqual(len(green), 3, green)
        flashes = [p for (p, grey, _), before in zip(frames[1:], frames) if grey > 128 and before[1] < 128]
        self.assertEqual(len(flashes), 5, flashes)

        # Three frames of silence (2205 samples of 0x80 each) were written
        # while paused, side by side.
        chunks = avi_tools.AviFile(path).indexed_data(b"01wb")
        heard = next(k for k, c in enumerate(chunks) if c != b"\x80" * len(c))   # the show's sound has begun
        silent = [k for k, c in enumerate(chunks) if k > heard and c == b"\x80" * len(c)]
        self.assertEqual([len(chunks[k]) for k in silent], [rate // FPS] * 3)
        self.assertEqual(silent, list(range(silent[0], silent[0] + 3)))
        resumed = sum(len(c) for c in chunks[:silent[-1] + 1]) / rate

        samples = st.sound_samples(path)
        beeps = st.onsets(samples, rate, 1000)
        self.assertEqual(len(beeps), 5, beeps)
        offsets = [(b - (p + 0.5) / FPS) * 1000 for b, p in zip(beeps, flashes)]
        print("beep less middle of its flash frame, ms: %s" % ", ".join("%.0f" % o for o in offsets))
        for offset in offsets[:3]:
            self.assertLess(abs(offset), 1000 / FPS)

        # After the resume, what sounded while paused is not heard, and the
        # sound goes on where the pause left it: a beep after the resume lies
        # as far from one before it as the show put them, less the pause and
        # plus the three frames of silence.
        self.assertLess(st.amplitude(samples, rate, 400, resumed + 0.02, 0.15), 0.05)
        self.assertGreater(st.amplitude(samples, rate, 800, resumed + 0.03, 0.2), 0.4)
        pause = [t for _, t, what, *rest in taken if what == "key" and rest[0] == "F3"]
        white = [t for _, t, what, *rest in taken if what == "white"]
        expected = (white[3] - white[2]) - (pause[1] - pause[0]) + 3 / FPS
        print("sound across the pause: %.0f ms from where it belongs" % ((beeps[3] - beeps[2] - expected) * 1000))
        self.assertLess(abs(beeps[3] - beeps[2] - expected), 0.06)

        # The lengths differ here also by the pause: the picture leaves out
        # whole frame periods, the sound the pause's own length.
        print("%.3f s of sound, %.3f s of video" % (len(samples) / rate, (frames[-1][0] + 1) / FPS))


class NoSoundDevice(SessionTest):
    NO_DEVICE = "The video has no sound: this computer has no sound input device."

    def test_recording_goes_on_without_sound_and_the_summary_says_why(self):
        proc = self.s.start("-rec", *region_args("quiet"))
        self.s.wait_window("Velmorax")
        time.sleep(1.5)
        self.s.xdotool("key", "F2")
        box = self.s.wait_message_box()
        self.assertTrue(box["text"].startswith("Recording finished."), box["text"])
        self.assertTrue(box["text"].endswith("\n\n" + self.NO_DEVICE), box["text"])
        self.s.answer(box, 1)
        self.s.wintool("post", "Velmorax", 0x0010, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        path = glob.glob(os.path.join(self.s.work, "quiet*.avi"))[0]
        self.assertEqual(avi_tools.AviFile(path).stream_headers(1)[0][0], b"auds")
        self.assertEqual(len(st.sound_samples(path)), 0)
        self.assertGreater(len(st.frame_colours(path, WIDTH, HEIGHT)), 5)

        # From the command line, nothing holds the recording up.
        proc = self.s.start("-recx", *region_args("cmd"))
        self.s.wait_window("Velmorax")
        time.sleep(1)
        self.s.xdotool("key", "F2")
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertEqual(len(glob.glob(os.path.join(self.s.work, "cmd*.avi"))), 1)


if __name__ == "__main__":
    unittest.main()

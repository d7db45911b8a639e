"""Recording cases beyond a plain run: single frames while paused, a writer
held back for a while, a rectangle that follows the pointer, and screens
of 256 colours with their palette."""
import glob
import json
import os
import re
import struct
import subprocess
import time
import unittest

import avi_tools
import mainwin_common as mw
from harness import WINE, WINTOOL, Session, SessionTest, dword

WM_HOTKEY = 0x0312
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_PALETTECHANGED = 0x0311
PAUSE = 1003
CAPTION = (250, 25)   # the start caption stays inside this corner of the frame


def pal8_frames(path, width, height):
    """Every decoded frame as rgb24, with empty positions left out."""
    return avi_tools.frames_rgb(path, width, height)


def outside_corner(diffs, corner):
    return [(x, y) for x, y in diffs if not (x < corner[0] and y < corner[1])]


class Base(SessionTest):
    LEFT, TOP, WIDTH, HEIGHT = 100, 80, 320, 240

    def put_pattern(self):
        # Wine paints its desktop over the root window when it starts: start it first.
        self.s.wintool("windows")
        pattern = os.path.join(self.s.dir, "pattern.ppm")
        avi_tools.write_pattern(pattern, *self.s.screen)
        subprocess.run(["/usr/bin/display", "-window", "root", pattern], env=self.s.env, timeout=60)

    def region_args(self, *more):
        return ["-x%d" % self.LEFT, "-y%d" % self.TOP, "-w%d" % self.WIDTH, "-h%d" % self.HEIGHT] + list(more)

    def stop(self):
        self.s.wintool("post", "Velmorax", WM_HOTKEY, 1, 0)

    def only_avi(self):
        paths = glob.glob(os.path.join(self.s.work, "*.avi"))
        self.assertEqual(len(paths), 1, paths)
        return paths[0]

    def summary(self):
        box = self.s.wait_message_box()
        m = re.search(r"(\d+)\D+(\d+)", box["text"])
        self.assertIsNotNone(m, box["text"])
        self.s.answer(box, 1)
        return int(m.group(1)), int(m.group(2))


class SingleShot(Base):
    def setUp(self):
        super().setUp()
        self.put_pattern()
        self.s.xdotool("mousemove", 1010, 750)   # away from the region

    def test_three_single_frames_while_paused_and_nothing_else(self):
        proc = self.s.start(*self.region_args("-f5", "-a", "single"))
        self.s.wait_window("Velmorax")
        self.s.wintool("post", "Velmorax", WM_COMMAND, PAUSE, 0)   # starts the recording paused
        mw.wait_for(lambda: glob.glob(os.path.join(self.s.work, "*.avi")), what="the file")
        # Not a whole number of turns of the five-slot ring: the first single
        # frame lands in a slot other than the first.
        time.sleep(3.3)
        mw.focus_window(self.s, "Velmorax")   # keys reach Wine through one of its windows
        for _ in range(3):
            self.s.xdotool("key", "F4")
            time.sleep(2.5)
        time.sleep(2)   # paused: no frame may follow
        # The region overlay, opened and left, gives the hotkeys back with the
        # single-shot one: a fourth frame.
        self.s.wintool("command", self.s.wintool("child", "Velmorax", 110).strip(), 1019)
        overlay_open = lambda: any(w["cls"] == "VelmoraxRegionOverlay" for w in self.s.windows())
        mw.wait_for(overlay_open, what="the overlay")
        self.s.xdotool("key", "Escape")
        mw.wait_for(lambda: not overlay_open(), what="the overlay closed")
        mw.focus_window(self.s, "Velmorax")
        self.s.xdotool("key", "F4")
        time.sleep(2.5)
        self.stop()
        self.assertEqual(self.summary(), (4, 0))
        self.s.wintool("post", "Velmorax", WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

        path = self.only_avi()
        avi = avi_tools.AviFile(path)
        self.assertEqual(len(avi.positions()), 4, avi.positions())
        self.assertTrue(all(e[3] > 0 for e in avi.positions()))
        self.assertEqual(avi.strh[9], 4)   # dwLength
        self.assertEqual(int(avi_tools.video_stream(path)["nb_frames"]), 4)
        self.assertEqual([size > 0 for _, size in avi_tools.packets(path)], [True] * 4)
        frames = avi_tools.frames_rgb(path, self.WIDTH, self.HEIGHT)
        self.assertEqual(len(frames), 4)
        expected = avi_tools.region_rgb(self.LEFT, self.TOP, self.WIDTH, self.HEIGHT)
        # Under Wine the outline flashed while the overlay went away may stay
        # on the screen: the fourth frame is not compared.
        for n, frame in enumerate(frames[:3]):
            diffs = avi_tools.differing_pixels(frame, expected, self.WIDTH)
            self.assertEqual(outside_corner(diffs, CAPTION), [], "frame %d" % n)


    def test_a_recording_started_paused_records_once_resumed(self):
        proc = self.s.start(*self.region_args("-f10", "-a", "resumed"))
        self.s.wait_window("Velmorax")
        self.s.wintool("post", "Velmorax", WM_COMMAND, PAUSE, 0)
        mw.wait_for(lambda: glob.glob(os.path.join(self.s.work, "*.avi")), what="the file")
        time.sleep(1.3)   # frames grabbed and dropped while paused move the grabber along the ring
        self.s.wintool("post", "Velmorax", WM_COMMAND, PAUSE, 0)
        time.sleep(3)
        self.stop()
        positions, skipped = self.summary()
        self.s.wintool("post", "Velmorax", WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertGreater(positions, 10)
        self.assertLess(skipped, positions / 2)

        path = self.only_avi()
        self.assertEqual(int(avi_tools.video_stream(path)["nb_frames"]), positions)
        written = [size for _, size in avi_tools.packets(path) if size > 0]
        self.assertEqual(len(written), positions - skipped)


class HeldBack(Base):
    def setUp(self):
        super().setUp()
        self.put_pattern()
        self.s.xdotool("mousemove", 1010, 750)

    def test_empty_positions_in_the_middle_are_followed_by_frames(self):
        proc = self.s.start("-rec", "-i-", *self.region_args("-f10", "-a", "held.avi"))
        self.s.wait_window("Velmorax")
        time.sleep(4)
        # The user-interface thread is held up for a while: the ring fills.
        self.s.wintool("freeze", "Velmorax", 1.2)
        time.sleep(4)
        self.stop()
        positions, skipped = self.summary()
        self.s.wintool("post", "Velmorax", WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertGreater(skipped, 0)
        self.assertLess(2 * skipped, positions)

        path = self.only_avi()
        avi = avi_tools.AviFile(path)
        entries = avi.positions()
        self.assertEqual(len(entries), positions)
        self.assertEqual(avi.strh[9], positions)
        sizes = [e[3] for e in entries]
        empty = [n for n, size in enumerate(sizes) if size == 0]
        self.assertEqual(len(empty), skipped)
        self.assertGreater(empty[0], 0)
        self.assertGreater(max(n for n, size in enumerate(sizes) if size > 0), empty[-1],
                           "no frame follows the empty positions")
        # The frames go through our codec, whose frames build on the ones
        # before: the empty positions must not break that chain.
        self.assertEqual(avi.strh[1], b"ZMBV")
        packets = avi_tools.packets(path)
        self.assertEqual([size for _, size in packets if size > 0], [s for s in sizes if s > 0])
        frames = avi_tools.frames_rgb(path, self.WIDTH, self.HEIGHT)
        self.assertEqual(len(frames), positions - skipped)
        expected = avi_tools.region_rgb(self.LEFT, self.TOP, self.WIDTH, self.HEIGHT)
        for n, frame in enumerate(frames):
            if frame != expected:
                self.assertEqual(outside_corner(avi_tools.differing_pixels(frame, expected, self.WIDTH), CAPTION),
                                 [], "frame %d" % n)
        self.assertEqual(frames[-1], expected)


BARS = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 255, 255), (255, 0, 255),
        (255, 255, 255)]


def bars_rgb(width, height):
    """What wintool's bars window shows: bars 40 pixels wide in the order of BARS."""
    row = b"".join(bytes(BARS[(x // 40) % len(BARS)]) for x in range(width))
    return row * height


class EightBit(Base):
    """A screen of 256 colours. Pictures on it are drawn by a Wine window:
    what other X clients put on an 8-bit screen uses pixel values Wine's
    palette does not know."""

    def setUp(self):
        self.s = Session(depth=8)
        self.addCleanup(self.s.close)
        self.s.xdotool("mousemove", 1010, 750)

    def show_bars(self, seconds):
        args = [str(v) for v in (self.LEFT, self.TOP, self.WIDTH, self.HEIGHT, seconds)]
        bars = subprocess.Popen([WINE, WINTOOL, "bars"] + args,
                                env=self.s.env, cwd=self.s.work, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                text=True)
        self.addCleanup(bars.wait)
        self.addCleanup(bars.kill)
        self.assertEqual(bars.stdout.readline().strip(), "shown")
        return bars

    def test_a_256_colour_screen_is_recorded_with_its_colour_table(self):
        self.assertEqual(self.s.wintool("screen").split()[2], "8")
        self.show_bars(60)
        proc = self.s.start("-recx", *self.region_args("-f5", "-a", "pal.avi"))
        self.s.wait_window("Velmorax")
        time.sleep(3)
        # A palette change: the compressor begins again with the new colours.
        self.s.wintool("palette", 3)
        time.sleep(2)   # past the start caption
        self.stop()
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertEqual(self.s.message_boxes(), [])

        path = self.only_avi()
        avi = avi_tools.AviFile(path)
        self.assertEqual(avi.strh[1], b"ZMBV")   # the default compressor refused 8-bit frames, ours took them
        self.assertEqual(avi.strf[:5], (40, self.WIDTH, self.HEIGHT, 1, 8))
        self.assertEqual(avi.strf[5], struct.unpack("<I", b"ZMBV")[0])
        self.assertEqual(len(avi.strf_bytes), 40 + 256 * 4)
        self.assertEqual(avi.strf[9], 256)   # biClrUsed
        table = avi.colour_table()
        self.assertEqual((table[0], table[255]), ((0, 0, 0), (255, 255, 255)))
        for colour in BARS:
            self.assertIn(colour, table)
        self.assertEqual(avi_tools.video_stream(path)["pix_fmt"], "pal8")
        written = [e for e in avi.positions() if e[3]]

        movi = [c[1] for c in avi.chunks if c[0] == (b"AVI ", b"movi")]
        self.assertEqual(movi.count(b"00pc"), 1)
        self.assertGreater(movi.index(b"00pc"), 5)

        frames = avi_tools.frames_rgb(path, self.WIDTH, self.HEIGHT)
        self.assertEqual(len(frames), len(written))
        self.assertGreater(len(frames), 20)
        expected = bars_rgb(self.WIDTH, self.HEIGHT)
        for n, frame in enumerate(frames):   # before and after the change alike
            if frame != expected:
                self.assertEqual(outside_corner(avi_tools.differing_pixels(frame, expected, self.WIDTH), CAPTION),
                                 [], "frame %d" % n)
        self.assertEqual(frames[-1], expected)

    def test_a_palette_change_gives_the_frames_after_it_a_new_colour_table(self):
        self.s.env["VELMORAX_TEST_COMPRESSOR"] = "DIB "   # the file's own palette change records
        self.show_bars(60)
        proc = self.s.start("-recx", *self.region_args("-f5", "-a", "change.avi"))
        self.s.wait_window("Velmorax")
        time.sleep(4)
        # Another program realizes 236 colours of its own in the foreground.
        lines = dict(line.split("\t", 1) for line in self.s.wintool("palette", 4).splitlines() if "\t" in line)
        before, after = lines["before"].split(), lines["after"].split()
        self.assertNotEqual(before, after, "the system palette did not change for the program that realized")
        time.sleep(3)
        self.stop()
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertEqual(self.s.message_boxes(), [])

        def hex_entries(table, first):
            return ["%02x%02x%02x" % table[first + k] for k in range(4)]

        path = self.only_avi()
        avi = avi_tools.AviFile(path)
        self.assertEqual(hex_entries(avi.colour_table(), 10), before)
        # Wine's writer stores the new table of an uncompressed stream as a
        # palette change chunk among the frames: AVIPALCHANGE with first
        # entry 0, 0 entries meaning all 256, then the entries as r g b flags.
        movi = [c for c in avi.chunks if c[0] == (b"AVI ", b"movi")]
        changes = [n for n, c in enumerate(movi) if c[1] == b"00pc"]
        self.assertEqual(len(changes), 1, [c[1] for c in movi if c[1] != b"00db"])
        change = movi[changes[0]]
        self.assertEqual(change[3], 4 + 256 * 4)
        body = avi.data[change[2]:change[2] + change[3]]
        self.assertEqual(body[:4], bytes(4))
        table = [(body[4 + 4 * i], body[5 + 4 * i], body[6 + 4 * i]) for i in range(256)]
        # Wine keeps the system palette per process: the other program's
        # colours change its own view only, and the recorder reads the
        # table it saw before again.
        self.assertEqual(hex_entries(table, 10), before)
        self.assertEqual(table, avi.colour_table())
        frames_before = [c for c in movi[:changes[0]] if c[1] == b"00db" and c[3]]
        frames_after = [c for c in movi[changes[0]:] if c[1] == b"00db" and c[3]]
        self.assertGreater(len(frames_before), 5)
        self.assertGreater(len(frames_after), 5)

        # ffmpeg takes the new table with the first frame after the change.
        proc = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_packets", "-of", "json",
                               path], capture_output=True, text=True, check=True)
        packets = json.loads(proc.stdout)["packets"]
        with_palette = [n for n, p in enumerate(packets)
                        if any(d.get("side_data_type") == "Palette" for d in p.get("side_data_list", []))]
        self.assertEqual(with_palette, [0, len(frames_before)])
        frames = avi_tools.frames_rgb(path, self.WIDTH, self.HEIGHT)
        self.assertEqual(len(frames), len(frames_before) + len(frames_after))
        # The static colours of the bars keep their entries: every frame still shows them.
        expected = bars_rgb(self.WIDTH, self.HEIGHT)
        self.assertEqual(avi_tools.differing_pixels(frames[-1], expected, self.WIDTH), [])


class Panning(Base):
    """The rectangle follows the pointer: locked on (by the box or the
    hotkey), or while the pan modifiers (Control and Shift) are held and
    nothing more or less."""
    CURSOR = 40   # the pointer's picture stays inside this square from the hot spot

    def setUp(self):
        super().setUp()
        self.put_pattern()

    def offsets_shown(self, frames, candidates, pointers):
        """For every frame, the first (left, top) of candidates whose pattern it
        shows, apart from the caption corner and the pointer near one of the
        pointer positions; None when it shows none of them."""
        shown = []
        for frame in frames:
            found = None
            for left, top in candidates:
                expected = avi_tools.region_rgb(left, top, self.WIDTH, self.HEIGHT)
                diffs = outside_corner(avi_tools.differing_pixels(frame, expected, self.WIDTH), CAPTION)
                if any(all(px - left - 2 <= x < px - left + self.CURSOR and py - top - 2 <= y < py - top + self.CURSOR
                           for x, y in diffs) for px, py in pointers):
                    found = (left, top)
                    break
            shown.append(found)
        return shown

    def record_moves(self, moves, before=None, after=None):
        """Records while the pointer makes the moves [(x, y, keys)], keys held
        during the move; returns the frames and the saved StartX, StartY."""
        proc = self.s.start("-recx", *self.region_args("-f4", "-a", "pan.avi"))
        self.s.wait_window("Velmorax")
        if before:
            before()
        time.sleep(3)
        for x, y, keys in moves:
            if keys:
                self.s.xdotool("keydown", *keys)
                time.sleep(0.5)
            self.s.xdotool("mousemove", x, y)
            time.sleep(2)
            if keys:
                # Shift first: Alt let go on its own would open the system menu.
                self.s.xdotool("keyup", *sorted(keys, key=lambda k: k != "shift"))
                time.sleep(0.5)
        self.stop()
        self.assertEqual(self.s.wait_exit(proc), 0)
        frames = avi_tools.frames_rgb(self.only_avi(), self.WIDTH, self.HEIGHT)
        state = self.s.reg_query(mw.STATE_KEY)
        return frames, (dword(state, "StartX"), dword(state, "StartY"))

    def test_pan_lock_box_and_hotkey_the_screen_edges_and_the_page_afterwards(self):
        proc = mw.start(self.s, *self.region_args("-f4", "-a", "pan.avi"))
        main = mw.main_window(self.s)
        self.s.wintool("command", main, mw.SETTINGS)
        mw.select_tab(self.s, 1, window=main)
        hotkey_page = self.s.wintool("child", main, 109).strip()
        pan_locked = lambda: self.s.controls(hotkey_page)[1018]["checked"]
        mw.click(self.s, 1018, window=hotkey_page)
        mw.wait_for(lambda: pan_locked() == 1, what="pan locked by its box")
        mw.focus_window(self.s, "Velmorax")   # keys reach Wine through one of its windows
        mw.move_pointer(self.s, 200, 300)
        self.s.wintool("command", main, mw.START)
        time.sleep(3)

        def move(x, y):
            self.s.xdotool("mousemove", x, y)
            time.sleep(2)

        def toggle(locked):
            self.s.xdotool("key", "shift+F3")
            mw.wait_for(lambda: pan_locked() == locked, what="pan lock %d by its hotkey" % locked)

        right, bottom = 1024 - self.WIDTH - 1, 768 - self.HEIGHT - 1
        move(260, 330)      # 60 right, 30 down: (160, 110)
        move(60, 100)       # past the left and top edges: (0, 0)
        toggle(0)
        move(300, 150)      # unlocked: stays
        toggle(1)
        move(1020, 760)     # past the right and bottom edges
        self.stop()
        self.summary()
        # The page shows where the rectangle ended; the registry keeps it.
        region = self.s.controls(self.s.wintool("child", main, 110).strip())
        self.assertEqual([region[i]["text"] for i in (1023, 1024, 1025, 1026)],
                         [str(right), str(bottom), str(self.WIDTH), str(self.HEIGHT)])
        self.s.wintool("post", main, WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        state = self.s.reg_query(mw.STATE_KEY)
        self.assertEqual((dword(state, "StartX"), dword(state, "StartY")), (right, bottom))
        self.assertEqual(dword(self.s.reg_query(mw.KEYS_KEY), "Pan Locked"), 1)

        frames = avi_tools.frames_rgb(self.only_avi(), self.WIDTH, self.HEIGHT)
        places = [(100, 80), (160, 110), (0, 0), (right, bottom)]
        shown = self.offsets_shown(frames, places + [(240, 50)],
                                   [(200, 300), (260, 330), (60, 100), (300, 150), (1020, 760)])
        self.assertNotIn(None, shown)
        # In the order of the moves, each place for a while.
        runs = [p for n, p in enumerate(shown) if n == 0 or shown[n - 1] != p]
        self.assertEqual(runs, places)
        for place in places:
            self.assertGreater(shown.count(place), 3, place)

    def test_pan_modifiers_move_the_rectangle_held_exactly(self):
        mw.move_pointer(self.s, 200, 300)
        focus = lambda: mw.focus_window(self.s, "Velmorax")   # key states reach Wine through its windows
        frames, saved = self.record_moves([(250, 320, ("ctrl", "shift")),          # follows: 50 right, 20 down
                                           (320, 320, ("ctrl", "shift", "alt")),   # Alt too: stays
                                           (330, 330, ("shift",))],                # Shift alone: stays
                                          before=focus)
        self.assertEqual(saved, (150, 100))
        places = [(100, 80), (150, 100)]
        shown = self.offsets_shown(frames, places + [(220, 100), (160, 110)],
                                   [(200, 300), (250, 320), (320, 320), (330, 330)])
        self.assertNotIn(None, shown)
        runs = [p for n, p in enumerate(shown) if n == 0 or shown[n - 1] != p]
        self.assertEqual(runs, places)


if __name__ == "__main__":
    unittest.main()

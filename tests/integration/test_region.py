"""Choosing the capture rectangle on the screen with the real mouse and
keyboard: the crosshair and rubber band with its size label, the window
pick, what the page and the registry hold afterwards, and the hotkeys that
rest while the overlay is open."""
import os
import subprocess
import time
import unittest

import avi_tools
import mainwin_common as mw
from harness import WINE, WINTOOL, SessionTest, dword
from mainwin_common import KEYS_KEY, STATE_KEY

DRAG, PICK = 1019, 1020
FIELDS = (1023, 1024, 1025, 1026)   # left, top, width, height
OVERLAY = "VelmoraxRegionOverlay"


class Screen:
    """The X screen's pixels as rgb24."""

    def __init__(self, session):
        xwd = subprocess.run(["xwd", "-root", "-display", session.display], capture_output=True, check=True)
        self.data = subprocess.run(["/usr/bin/convert", "xwd:-", "-depth", "8", "rgb:-"], input=xwd.stdout,
                                   capture_output=True, check=True).stdout
        self.width, self.height = session.screen
        assert len(self.data) == self.width * self.height * 3

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def differences(self, other, skip):
        """(x, y) where two screens differ, apart from the skipped rectangles (left, top, right, bottom)."""
        out = []
        for y in range(self.height):
            row = slice(y * self.width * 3, (y + 1) * self.width * 3)
            mine, theirs = self.data[row], other.data[row]
            if mine == theirs:
                continue
            for x in range(self.width):
                if mine[3 * x:3 * x + 3] != theirs[3 * x:3 * x + 3] and \
                        not any(l <= x < r and t <= y < b for l, t, r, b in skip):
                    out.append((x, y))
        return out


def inverted(pixel):
    return tuple(255 - c for c in pixel)


def label_shown(test, session, text, place):
    """A screenshot that shows the label of text where place(width, height)
    puts it, taken once the overlay has drawn it; and the label's box. The
    label is drawn as the system font writes it: wintool gives its width,
    height and rows of '#' (text) and '.'."""
    lines = session.wintool("label", text).split()
    width, height = (int(v) for v in lines[:2])
    rows = lines[2:2 + height]
    x, y = place(width, height)
    shown = None
    deadline = time.time() + 20
    while time.time() < deadline:
        shot = Screen(session)
        shown = ["".join("#" if shot.at(x + dx, y + dy) == (255, 255, 255) else
                         "." if shot.at(x + dx, y + dy) == (0, 0, 0) else "?" for dx in range(width))
                 for dy in range(height)]
        if shown == rows:
            return shot, (x, y, width, height)
        time.sleep(0.3)
    test.assertEqual(shown, rows, "label %s at (%d, %d)" % (text, x, y))


class Overlay(SessionTest):
    def launch(self):
        self.proc, self.main = mw.start_with_settings(self.s)
        self.page = self.s.wintool("child", self.main, 110).strip()
        self.main_rect = [w for w in self.s.windows() if w["hwnd"] == self.main][0]["rect"]

    def fields(self):
        c = self.s.controls(self.page)
        return tuple(int(c[i]["text"]) for i in FIELDS)

    def open_overlay(self, button):
        r = self.s.controls(self.page)[button]["rect"]
        self.s.xdotool("mousemove", (r[0] + r[2]) // 2, (r[1] + r[3]) // 2, "click", "1")
        mw.wait_for(lambda: any(w["cls"] == OVERLAY and w["visible"] for w in self.s.windows()), what="the overlay")

    def closed_with(self, fields):
        """The overlay is gone, the main window back and the page shows fields."""
        def back():
            rows = self.s.windows()
            main = [w for w in rows if w["hwnd"] == self.main][0]
            return not any(w["cls"] == OVERLAY for w in rows) and not main["iconic"] and main["visible"]
        mw.wait_for(back, what="the main window back")
        self.assertEqual(self.fields(), fields)

    def pointer(self):
        out = subprocess.run(["xdotool", "getmouselocation"], env=self.s.env, capture_output=True, text=True).stdout
        f = dict(item.split(":") for item in out.split())
        return int(f["x"]), int(f["y"])

    def pan_locked(self):
        return self.s.controls(self.s.wintool("child", self.main, 109).strip())[1018]["checked"]

    def close(self):
        self.s.wintool("post", self.main, mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(self.proc), 0)
        state = self.s.reg_query(STATE_KEY)
        return tuple(dword(state, n) for n in ("StartX", "StartY", "Width", "Height"))

    def label_shown(self, text, place):
        return label_shown(self, self.s, text, place)

    def assert_band(self, shot, before, left, top, right, bottom, label_at):
        """The band's outline inverts what was there; apart from it, the label
        and the main window the overlay shows the screen as it was."""
        edges = [(x, top) for x in range(left, right + 1)] + [(x, bottom) for x in range(left, right + 1)] + \
                [(left, y) for y in range(top, bottom + 1)] + [(right, y) for y in range(top, bottom + 1)]
        self.assertEqual([p for p in edges if shot.at(*p) != inverted(before.at(*p))], [])
        lx, ly, lw, lh = label_at
        m = self.main_rect
        skip = [(left, top, right + 1, top + 1), (left, bottom, right + 1, bottom + 1), (left, top, left + 1, bottom + 1),
                (right, top, right + 1, bottom + 1), (lx, ly, lx + lw, ly + lh), (m[0], m[1], m[2], m[3])]
        self.assertEqual(shot.differences(before, skip)[:10], [])

    def test_dragging_with_the_mouse_and_the_keys_and_cancelling(self):
        self.s.wintool("windows")   # Wine paints its desktop over the root window when it starts
        pattern = os.path.join(self.s.dir, "pattern.ppm")
        avi_tools.write_pattern(pattern, *self.s.screen)
        subprocess.run(["/usr/bin/display", "-window", "root", pattern], env=self.s.env, timeout=60)
        self.launch()
        before = Screen(self.s)

        # Top left to bottom right: 320x240, the label in the middle.
        self.open_overlay(DRAG)
        self.s.xdotool("mousemove", 100, 100)
        self.s.xdotool("key", "shift+F3")   # the pan-lock hotkey rests meanwhile
        self.s.xdotool("click", "1", "mousemove", 419, 339)
        shot, box = self.label_shown("320x240", lambda w, h: ((100 + 419 - w) // 2, (100 + 339 - h) // 2))
        self.assert_band(shot, before, 100, 100, 419, 339, box)
        # The keys move the corner and the pointer; Tab moves the other corner.
        self.s.xdotool("key", "Right", "Right", "Down", "Tab", "Left", "Up")
        mw.wait_for(lambda: self.pointer() == (99, 99), what="the pointer at the other corner")
        self.s.xdotool("key", "Return")
        self.closed_with((99, 99, 323, 242))
        self.assertEqual(self.pan_locked(), 0)

        # Bottom right to top left, 30x20: the label outside the top-left corner.
        self.open_overlay(DRAG)
        self.s.xdotool("mousemove", 229, 219, "click", "1", "mousemove", 200, 200)
        self.label_shown("30x20", lambda w, h: (200 - w, 200 - h))
        self.s.xdotool("click", "1")
        self.closed_with((200, 200, 30, 20))

        # Escape in the rubber band, a right click on the crosshair: nothing changes.
        self.open_overlay(DRAG)
        self.s.xdotool("mousemove", 50, 50, "click", "1", "mousemove", 500, 60)
        self.s.xdotool("key", "Escape")
        self.closed_with((200, 200, 30, 20))
        self.open_overlay(DRAG)
        self.s.xdotool("mousemove", 50, 50, "click", "3")
        self.closed_with((200, 200, 30, 20))

        # The hotkeys are back (keys reach Wine through one of its windows).
        mw.focus_window(self.s, "Velmorax")
        self.s.xdotool("key", "shift+F3")
        mw.wait_for(lambda: self.pan_locked() == 1, what="pan locked by its hotkey")
        self.assertEqual(self.close(), (200, 200, 30, 20))
        self.assertEqual(dword(self.s.reg_query(KEYS_KEY), "Pan Locked"), 1)

    def test_picking_a_window_by_its_client_area_or_its_frame(self):
        # Wine draws the frames itself: they belong to the windows then.
        self.s.reg_add(r"HKCU\Software\Wine\X11 Driver", "Decorated", "REG_SZ", "N")
        framed = subprocess.Popen([WINE, WINTOOL, "framed", "600", "60", "300", "200", "120"], env=self.s.env,
                                  cwd=self.s.work, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(framed.stdout.close)
        self.addCleanup(framed.wait)
        self.addCleanup(framed.kill)
        self.assertEqual(framed.stdout.readline().strip(), "shown")
        window = tuple(int(v) for v in framed.stdout.readline().split())
        client = tuple(int(v) for v in framed.stdout.readline().split())
        self.assertEqual(window, (600, 60, 900, 260))
        self.assertTrue(window[0] < client[0] < client[2] < window[2] and window[1] < client[1] < client[3] < window[3],
                        client)
        self.launch()
        before = Screen(self.s)

        # Over the client area: its outline blinks; a click takes it.
        self.open_overlay(PICK)
        self.s.xdotool("mousemove", 750, 200)
        edge = ((client[0] + client[2]) // 2, client[1])
        seen = set()
        deadline = time.time() + 10
        while len(seen) < 2 and time.time() < deadline:
            seen.add(Screen(self.s).at(*edge) == inverted(before.at(*edge)))
            time.sleep(0.2)
        self.assertEqual(seen, {True, False}, "the outline does not blink")
        self.s.xdotool("click", "1")
        self.closed_with((client[0], client[1], client[2] - client[0], client[3] - client[1]))

        # On the caption: the whole window, taken with Enter after a key moved the pointer.
        self.open_overlay(PICK)
        self.s.xdotool("mousemove", 701, 70)
        self.s.xdotool("key", "Left")
        mw.wait_for(lambda: self.pointer() == (700, 70), what="the pointer one to the left")
        self.s.xdotool("key", "Return")
        self.closed_with((600, 60, 300, 200))
        self.assertEqual(self.close(), (600, 60, 300, 200))


if __name__ == "__main__":
    unittest.main()

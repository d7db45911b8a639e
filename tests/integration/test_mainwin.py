"""The main window: buttons and their states, the settings panel and its
tabs, help, the About box, the saved position, opening the last file."""
import os
import subprocess
import time
import unittest

from harness import SessionTest, WINE, dword
import mainwin_common as mw
from mainwin_common import START, STOP, OPEN, PAUSE, SETTINGS, EXIT, HELP


class Buttons(SessionTest):
    def test_idle_layout_and_image_sizes(self):
        proc = mw.start(self.s)
        c = self.s.controls("Velmorax")
        self.assertTrue(mw.idle_pattern(self.s))
        self.assertTrue(c[SETTINGS]["enabled"])
        for button in (START, STOP, OPEN, PAUSE, SETTINGS, EXIT, HELP):
            l, t, r, b = c[button]["rect"]
            self.assertEqual((r - l, b - t), (40, 40), button)   # the size of the up image
            self.assertTrue(c[button]["visible"])
        # The panel is hidden and the window shows only the button row.
        self.assertFalse(c[1065]["visible"])
        w = self.s.window("Velmorax")
        self.assertLess(w["rect"][3] - w["rect"][1], 120)
        self.s.wintool("command", "Velmorax", EXIT)
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_a_start_that_fails_returns_to_the_idle_layout(self):
        # The file cannot be created in a folder that does not exist.
        proc = mw.start(self.s, "-a", r"Z:\no\such\folder\clip.avi")
        # Start, and pause while idle (which starts paused): both fail the same way.
        for button in (START, PAUSE):
            mw.click(self.s, button)
            box = self.s.wait_message_box()   # the engine reports the failed step
            self.assertIn("(Open AVI)", box["text"])
            self.s.answer(box, 1)
            mw.wait_for(lambda: mw.idle_pattern(self.s), what="the idle layout")
            self.assertEqual(self.s.message_boxes(), [])
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_open_button_opens_the_last_file_through_the_shell(self):
        # The prefix gets an association for .avi that opens text in Notepad.
        for args in (["/ve", "/d", "vmxclip"], ):
            subprocess.run([WINE, "reg", "add", r"HKCR\.avi"] + args + ["/f"], env=self.s.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        subprocess.run([WINE, "reg", "add", r"HKCR\vmxclip\shell\open\command", "/ve", "/d",
                        r'C:\windows\system32\notepad.exe "%1"', "/f"], env=self.s.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        with open(os.path.join(self.s.work, "last.avi"), "w") as f:
            f.write("not really a video\n")
        proc = mw.start(self.s, "-a", "last.avi")
        mw.click(self.s, OPEN)
        opened = mw.wait_for(lambda: [w for w in self.s.windows() if w["visible"] and "last" in w["title"]
                                      and w["title"] != "Velmorax"], what="the file opened")
        self.assertIn("Notepad", opened[0]["title"])
        self.assertEqual(self.s.message_boxes(), [])
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)


class SettingsPanel(SessionTest):
    def test_panel_shows_grows_switches_tabs_and_hides(self):
        proc = mw.start(self.s)
        small = self.s.window("Velmorax")["rect"]
        mw.click(self.s, SETTINGS)
        mw.wait_for(lambda: self.s.controls("Velmorax")[1065]["visible"], what="panel shown")
        c = self.s.controls("Velmorax")
        self.assertFalse(c[SETTINGS]["enabled"])
        big = self.s.window("Velmorax")["rect"]
        self.assertEqual(big[:3], small[:3])   # grows downward only
        self.assertGreater(big[3] - big[1], (small[3] - small[1]) + 200)
        # The panel lies inside the grown window, below the button row.
        self.assertGreaterEqual(c[1065]["rect"][1], c[START]["rect"][3])
        self.assertLessEqual(c[1]["rect"][3], big[3])

        # Tab 0 shows the region page, tab 1 the hotkey page, then video and sound.
        unique = {0: 1074, 1: 1015, 2: 1058, 3: 1069}
        self.assertEqual(self.s.wintool("tab", "Velmorax", 1065).strip(), "0")
        for index in (0, 1, 2, 3):
            mw.select_tab(self.s, index)
            c = self.s.controls("Velmorax")
            self.assertEqual([t for t, ctl in unique.items() if c[ctl]["visible"]], [index])

        # Close hides the panel and the window shrinks back.
        mw.click(self.s, 1)
        mw.wait_for(lambda: not self.s.controls("Velmorax")[1065]["visible"], what="panel hidden")
        self.assertTrue(self.s.controls("Velmorax")[SETTINGS]["enabled"])
        self.assertEqual(self.s.window("Velmorax")["rect"], small)
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_panel_help_opens_the_topic_of_each_tab(self):
        proc = mw.start(self.s)
        mw.click(self.s, HELP)
        self.assertEqual(mw.help_heading(self.s), "Contents")
        self.s.wintool("command", "Velmorax", SETTINGS)
        mw.wait_for(lambda: self.s.controls("Velmorax")[1065]["visible"], what="panel shown")
        for index, topic in enumerate(("Region tab", "Hotkeys tab", "Video tab", "Sound tab")):
            mw.select_tab(self.s, index)
            mw.click(self.s, 1077)
            mw.wait_for(lambda: mw.help_heading(self.s) == topic, what=topic)
            # The help window lies over the panel; close it to reach the tabs again.
            self.s.wintool("post", "Velmorax Help", mw.WM_CLOSE, 0, 0)
            mw.wait_for(lambda: self.s.window("Velmorax Help") is None, what="help closed")
        mw.click(self.s, 1077)
        mw.help_heading(self.s)
        # Closing the main window closes the help window too.
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertIsNone(self.s.window("Velmorax Help"))

    def test_restore_defaults_asks_and_no_changes_nothing(self):
        proc = mw.start(self.s)
        self.s.wintool("command", "Velmorax", SETTINGS)
        mw.select_tab(self.s, 1)
        self.s.xdotool("key", "shift+F3")   # pan lock on
        mw.wait_for(lambda: self.s.controls("Velmorax")[1018]["checked"] == 1, what="pan locked")
        mw.click(self.s, 1004)
        box = self.s.wait_message_box()
        self.assertEqual(box["caption"], "Velmorax")
        self.assertEqual(box["text"], "Do you want to set all settings back to their defaults?")
        self.s.answer(box, 7)   # No
        mw.wait_for(lambda: not self.s.message_boxes(), what="question closed")
        self.assertTrue(self.s.controls("Velmorax")[1065]["visible"])
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertEqual(dword(self.s.reg_query(mw.KEYS_KEY), "Pan Locked"), 1)


class AboutBox(SessionTest):
    def test_about_shows_the_version_each_time_and_its_help(self):
        proc = mw.start(self.s)
        for _ in range(2):
            self.s.wintool("post", "Velmorax", mw.WM_SYSCOMMAND, 16, 0)
            about = self.s.wait_window("About Velmorax")
            self.assertEqual(self.s.controls(about["hwnd"])[1066]["text"], "Velmorax version 2.1.5")
            self.assertFalse(self.s.window("Velmorax")["enabled"])   # modal
            self.s.wintool("command", about["hwnd"], 1)
            mw.wait_for(lambda: self.s.window("About Velmorax") is None, what="About closed")
        about_hwnd = None
        self.s.wintool("post", "Velmorax", mw.WM_SYSCOMMAND, 16, 0)
        about_hwnd = self.s.wait_window("About Velmorax")["hwnd"]
        mw.click(self.s, 57670, window=about_hwnd)
        self.assertEqual(mw.help_heading(self.s), "About box")
        self.s.wintool("command", about_hwnd, 1)
        mw.wait_for(lambda: self.s.window("About Velmorax") is None, what="About closed")
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)


class Position(SessionTest):
    def run_at(self, x, y):
        self.s.reg_add(mw.STATE_KEY, "WinX", "REG_DWORD", x & 0xFFFFFFFF)
        self.s.reg_add(mw.STATE_KEY, "WinY", "REG_DWORD", y & 0xFFFFFFFF)
        proc = mw.start(self.s)
        rect = self.s.window("Velmorax")["rect"]
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.s.wait_exit(proc)
        return rect

    def test_saved_positions(self):
        centred = self.run_at(-1000, -1000)
        width, height = centred[2] - centred[0], centred[3] - centred[1]
        self.assertEqual(self.run_at(-499, 10)[:2], (1, 10))
        self.assertEqual(self.run_at(-500, 10), centred)
        self.assertEqual(self.run_at(100, -3), (100, 1, 100 + width, 1 + height))
        sw, sh = self.s.screen
        self.assertEqual(self.run_at(2000, 3000), (sw - width, sh - height, sw, sh))
        # The position is stored when the window closes.
        state = self.s.reg_query(mw.STATE_KEY)
        self.assertEqual((dword(state, "WinX"), dword(state, "WinY")), (sw - width, sh - height))


if __name__ == "__main__":
    unittest.main()

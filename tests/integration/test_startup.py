"""Start-up: the resource library, the mode words, the main window, Escape."""
import os
import subprocess
import time
import unittest

from harness import APP_KEY, WINE, Session, SessionTest, dword


class StartUp(SessionTest):
    def test_missing_resource_library_is_reported_and_ends(self):
        os.remove(os.path.join(self.s.program_dir(), "VelRes.dll"))
        proc = self.s.start()
        box = self.s.wait_message_box()
        self.assertEqual(box["text"], "VelRes.dll not found, exiting.")
        self.assertEqual(box["caption"], "Velmorax")
        self.s.answer(box, 1)
        self.assertEqual(self.s.wait_exit(proc), 1)   # the uninstall batch file stops on it
        self.assertEqual(self.s.window("Velmorax"), None)

    def test_normal_run_shows_main_window_and_ends_when_closed(self):
        proc = self.s.start()
        self.s.wait_window("Velmorax")
        controls = self.s.controls("Velmorax")
        for button in (1000, 1001, 1002, 1003, 1076, 1079, 57670):
            self.assertIn(button, controls)
        self.assertTrue(controls[1000]["enabled"])
        self.assertFalse(controls[1001]["enabled"])
        self.s.wintool("post", "Velmorax", 0x0010, 0, 0)   # WM_CLOSE
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_escape_does_not_close_the_main_window(self):
        proc = self.s.start()
        w = self.s.wait_window("Velmorax")
        x, y = (w["rect"][0] + w["rect"][2]) // 2, w["rect"][1] + 10
        self.s.xdotool("mousemove", x, y, "click", "1")
        self.s.xdotool("key", "Escape")
        time.sleep(1.5)
        self.assertIsNotNone(self.s.window("Velmorax"))
        self.assertIsNone(proc.poll())
        self.s.wintool("command", "Velmorax", 1079)   # the exit button
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_uninstall_answered_no_ends_with_1(self):
        proc = self.s.start("-uninstall")
        box = self.s.wait_message_box()
        self.assertEqual(box["caption"], "Velmorax")
        self.assertTrue(box["text"])
        self.s.answer(box, 7)   # No
        self.assertEqual(self.s.wait_exit(proc), 1)

    def test_uninstall_answered_yes_ends_with_0(self):
        proc = self.s.start("-uninstall")
        box = self.s.wait_message_box()
        self.s.answer(box, 6)   # Yes
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_mode_words_only_count_first_and_exactly(self):
        # "-Uninstall" and a second-place "-uninstall" are no mode: the window opens.
        for args in (["-Uninstall"], ["-x1", "-uninstall"]):
            proc = self.s.start(*args)
            self.s.wait_window("Velmorax")
            self.assertEqual(self.s.message_boxes(), [])
            self.s.wintool("post", "Velmorax", 0x0010, 0, 0)
            self.s.wait_exit(proc)

    def test_arguments_of_any_length_and_content_are_safe(self):
        # Near the command line's limit, odd characters, a trailing "-a".
        long_name = "n" * 20000 + ".avi"
        args = ["-x" + "9" * 3000, "-f" + "1" * 5000, "-hw" + "7" * 40, "\u00e9\u00ff%s%n%d", "-a", long_name, "-a"]
        proc = self.s.start(*args)
        self.s.wait_window("Velmorax")
        self.assertEqual(self.s.message_boxes(), [])
        self.s.wintool("post", "Velmorax", 0x0010, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)


class CommandLineOptions(SessionTest):
    def close_and_read_state(self, *args):
        proc = self.s.start(*args)
        self.s.wait_window("Velmorax")
        self.s.wintool("post", "Velmorax", 0x0010, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        state = self.s.reg_query(APP_KEY + r"\State")
        return {name: dword(state, name) for name in ("StartX", "StartY", "Width", "Height")}

    def test_hw_takes_the_rectangle_of_a_real_window(self):
        notepad = subprocess.Popen([WINE, "notepad"], cwd=self.s.work, env=self.s.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(notepad.kill)
        w = self.s.wait_window("Untitled - Notepad")
        left, top, right, bottom = w["rect"]
        handle = int(w["hwnd"], 16)
        # A later -x still overrides, in argument order; -h after -hw is its own option.
        state = self.close_and_read_state("-hw%d" % handle, "-y7")
        self.assertEqual(state, dict(StartX=left, StartY=7, Width=right - left, Height=bottom - top))

    def test_hw_with_no_window_or_zero_leaves_the_rectangle(self):
        state = self.close_and_read_state("-x5", "-hw0", "-hw123456789", "-hw")
        self.assertEqual(state, dict(StartX=5, StartY=0, Width=320, Height=240))


if __name__ == "__main__":
    unittest.main()

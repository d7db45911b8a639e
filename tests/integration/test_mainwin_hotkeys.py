"""The global hotkeys, pressed while another program has the focus; Enter
and the recording states of the main window."""
import os
import subprocess
import time
import unittest

from harness import SessionTest, WINE, WINTOOL
import mainwin_common as mw
from mainwin_common import START, STOP, OPEN, PAUSE, SETTINGS, EXIT, HELP

HOTKEY_TAKEN = ("This key combination is in use by another program and cannot be registered as a hotkey. "
                "Please choose a different one on the Hotkeys tab of the settings.")


def pan_locked(session):
    return session.controls("Velmorax")[1018]["checked"]


class PanLock(SessionTest):
    def test_pan_lock_hotkey_toggles_from_another_program(self):
        proc = mw.start(self.s)
        self.s.wintool("command", "Velmorax", SETTINGS)
        mw.select_tab(self.s, 1)
        self.assertEqual(pan_locked(self.s), 0)
        notepad = mw.focus_other_program(self.s)
        self.s.xdotool("key", "shift+F3")
        mw.wait_for(lambda: pan_locked(self.s) == 1, what="pan locked")
        self.s.xdotool("key", "shift+F3")
        mw.wait_for(lambda: pan_locked(self.s) == 0, what="pan unlocked")
        # F4 is not ours while idle, and F4 is no pan lock.
        self.s.xdotool("key", "F4")
        time.sleep(1)
        self.assertEqual(pan_locked(self.s), 0)
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        notepad.kill()
        notepad.wait()


class Refused(SessionTest):
    def hold(self, modifiers, key):
        holder = subprocess.Popen([WINE, WINTOOL, "hold-hotkey", str(modifiers), str(key), "40"], env=self.s.env,
                                  cwd=self.s.work, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.assertEqual(holder.stdout.readline().strip(), "held")
        self.addCleanup(holder.wait)
        self.addCleanup(holder.kill)
        return holder

    def test_start_key_held_elsewhere_gives_one_message_and_no_hotkeys(self):
        self.hold(0, 113)   # F2
        proc = self.s.start()
        box = self.s.wait_message_box()
        self.assertEqual(box["caption"], "Velmorax")
        self.assertEqual(box["text"], "F2\n" + HOTKEY_TAKEN)
        self.s.answer(box, 1)
        self.s.wait_window("Velmorax")
        time.sleep(1)
        self.assertEqual(self.s.message_boxes(), [])   # one message only
        self.s.wintool("command", "Velmorax", SETTINGS)
        mw.select_tab(self.s, 1)
        # Registration stopped at F2: the pan-lock hotkey was never registered.
        self.s.xdotool("key", "shift+F3")
        time.sleep(1.5)
        self.assertEqual(pan_locked(self.s), 0)
        self.s.xdotool("key", "F3")   # nor the pause hotkey
        time.sleep(1.5)
        self.assertTrue(mw.idle_pattern(self.s))
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_single_shot_key_held_elsewhere_names_it_and_skips_pan_lock(self):
        self.hold(0, 115)   # F4
        proc = self.s.start()
        box = self.s.wait_message_box()
        self.assertEqual(box["text"], "F4\n" + HOTKEY_TAKEN)
        self.s.answer(box, 1)
        self.s.wait_window("Velmorax")
        self.s.wintool("command", "Velmorax", SETTINGS)
        mw.select_tab(self.s, 1)
        self.s.xdotool("key", "shift+F3")
        time.sleep(1.5)
        self.assertEqual(pan_locked(self.s), 0)
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)


class Recording(SessionTest):
    """Recordings driven by the hotkeys and keys."""

    def avi_files(self):
        return sorted(f for f in os.listdir(self.s.work) if f.lower().endswith(".avi"))

    def test_hotkeys_start_pause_single_frame_and_stop_from_another_program(self):
        proc = mw.start(self.s, "-a", "hk.avi", "-i-", "-w64", "-h48", "-f2")
        notepad = mw.focus_other_program(self.s)
        self.s.xdotool("key", "F3")   # pause while idle: a recording that starts paused
        mw.wait_for(lambda: mw.recording_pattern(self.s), what="recording layout")
        self.s.xdotool("key", "F4")   # one frame while paused
        time.sleep(1)
        self.s.xdotool("key", "F3")   # resume
        time.sleep(1.5)
        self.s.xdotool("key", "F2")   # stop
        box = self.s.wait_message_box()   # the summary
        self.assertTrue(box["text"].startswith("Recording finished."), box["text"])
        self.s.answer(box, 1)
        mw.wait_for(lambda: mw.idle_pattern(self.s), what="idle layout")
        self.assertEqual(self.avi_files(), ["hk.avi"])
        self.assertGreater(os.path.getsize(os.path.join(self.s.work, "hk.avi")), 0)
        # F4 while idle is not ours: nothing happens.
        self.s.xdotool("key", "F4")
        time.sleep(1)
        self.assertTrue(mw.idle_pattern(self.s))
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        notepad.kill()
        notepad.wait()

    def test_enter_starts_and_closing_while_recording_stops_and_closes_the_file(self):
        proc = mw.start(self.s, "-a", "close.avi", "-i-", "-w64", "-h48", "-f2")
        mw.focus_window(self.s, "Velmorax")
        self.s.xdotool("key", "Escape")   # does nothing
        time.sleep(1)
        self.assertTrue(mw.idle_pattern(self.s))
        self.s.xdotool("key", "Return")
        mw.wait_for(lambda: mw.recording_pattern(self.s), what="recording layout")
        time.sleep(1.5)
        self.s.wintool("post", "Velmorax", mw.WM_CLOSE, 0, 0)
        for _ in range(40):   # the summary may be shown before the program ends
            if proc.poll() is not None:
                break
            for box in self.s.message_boxes():
                self.s.answer(box, 1)
            time.sleep(0.3)
        self.assertEqual(self.s.wait_exit(proc), 0)
        with open(os.path.join(self.s.work, "close.avi"), "rb") as f:
            head = f.read(12)
        self.assertEqual((head[:4], head[8:12]), (b"RIFF", b"AVI "))


if __name__ == "__main__":
    unittest.main()

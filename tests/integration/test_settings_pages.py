"""The settings pages typed into and clicked with the real keyboard and
mouse: what the controls show, what they refuse, and what reaches the
registry when the program ends."""
import os
import time
import unittest

from harness import SessionTest, dword
import mainwin_common as mw
from mainwin_common import KEYS_KEY, STATE_KEY

REGION, HOTKEYS, VIDEO, SOUND = 110, 109, 111, 112   # page ids, the templates'
TAB_OF = {REGION: 0, HOTKEYS: 1, VIDEO: 2, SOUND: 3}
NOT_AN_INTEGER = "Please enter an integer."
NOT_A_NUMBER = "Please enter a number."
HOTKEY_TAKEN = ("This key combination is in use by another program and cannot be registered as a hotkey. "
                "Please choose a different one on the Hotkeys tab of the settings.")
WM_HOTKEY, HKM_GETHOTKEY = 0x0312, 0x0402
HOTKEYF_SHIFT, HOTKEYF_CONTROL, HOTKEYF_ALT = 1, 2, 4
DRIVERS32 = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\Drivers32"


def rate(values, name):
    return dword(values, name) / 1000.0


class PagesTest(SessionTest):
    """Drives the pages of one running program."""

    def launch(self, *args):
        self.proc, self.main = mw.start_with_settings(self.s, *args)
        self.pages = {}

    def page(self, page_id):
        if page_id not in self.pages:
            self.pages[page_id] = self.s.wintool("child", self.main, page_id).strip()
        return self.pages[page_id]

    def show(self, page_id):
        mw.select_tab(self.s, TAB_OF[page_id], window=self.main)

    def controls(self, page_id):
        return self.s.controls(self.page(page_id))

    def text(self, page_id, control):
        return self.controls(page_id)[control]["text"]

    def checked(self, page_id, *ids):
        c = self.controls(page_id)
        return tuple(c[i]["checked"] for i in ids)

    def click(self, window, control):
        r = self.s.controls(window)[control]["rect"]
        at = ((r[0] + r[2]) // 2, (r[1] + r[3]) // 2)
        # A second click on the same spot soon after the first is a double
        # click, which an edit takes without taking the focus.
        last_at, last_time = getattr(self, "last_click", (None, 0))
        if at == last_at:
            time.sleep(max(0, last_time + 0.6 - time.time()))
        self.s.xdotool("mousemove", at[0], at[1], "click", "1")
        self.last_click = (at, time.time())

    def type_into(self, page_id, control, text):
        """Clicks into an edit, replaces its text by typing and stays there.
        The window gets the keyboard first: activated after the click, a
        dialog would put the focus back where it was when it lost it."""
        mw.focus_window(self.s, "Velmorax")
        self.click(self.page(page_id), control)
        self.s.xdotool("key", "End", "shift+Home")
        if text:
            self.s.xdotool("type", "--", text)

    def focus(self):
        """(control id, selection start, selection end) of the keyboard focus."""
        f = self.s.wintool("focus", self.main).split("\t")
        return int(f[0]), int(f[2]), int(f[3])

    def refused(self, text, control, length):
        """The refusal message; after OK the focus is back on the control
        with its whole text selected."""
        box = self.s.wait_message_box()
        self.assertEqual((box["caption"], box["text"]), ("Velmorax", text))
        self.s.answer(box, 1)
        try:
            mw.wait_for(lambda: not self.s.message_boxes() and self.focus() == (control, 0, length),
                        what="focus back on %d" % control)
        except AssertionError:
            raise AssertionError("focus %s, boxes %s" % (self.focus(), self.s.message_boxes()))

    def no_message(self):
        time.sleep(0.5)
        self.assertEqual(self.s.message_boxes(), [])

    def close(self):
        self.s.wintool("post", self.main, mw.WM_CLOSE, 0, 0)
        self.assertEqual(self.s.wait_exit(self.proc), 0)
        return self.s.reg_query(STATE_KEY), self.s.reg_query(KEYS_KEY)

    def answer_all(self, seconds=2):
        """Answers the message boxes that come up in that time; their texts."""
        texts = []
        deadline = time.time() + seconds
        while time.time() < deadline:
            for box in self.s.message_boxes():
                texts.append(box["text"])
                self.s.answer(box, 1)
            time.sleep(0.3)
        return texts


class Pages(PagesTest):
    def test_region_hotkey_and_sound_pages(self):
        for name, value in (("StartX", 33), ("SoundSampRate", 8000), ("ShowKeys", 2)):
            self.s.reg_add(STATE_KEY, name, "REG_DWORD", value)
        # A key code beyond one byte, and a key name with an ampersand.
        self.s.reg_add(KEYS_KEY, "LockPan Key", "REG_DWORD", 0x271)
        self.s.reg_add(KEYS_KEY, "LockPan Desc", "REG_SZ", "Shift+&")
        self.launch()
        self.answer_all(1)   # the odd key may be refused by the window system

        # Region: blanks around a number, "-0" refused but a negative width
        # taken, 0 taken; the hiding choice; the outline clicked twice.
        self.assertEqual([self.text(REGION, i) for i in (1023, 1024, 1025, 1026)], ["33", "0", "320", "240"])
        self.type_into(REGION, 1024, " 7 ")
        self.s.xdotool("key", "Tab")
        self.type_into(REGION, 1025, "-0")
        self.s.xdotool("key", "Tab")
        self.refused(NOT_AN_INTEGER, 1025, 2)
        self.s.xdotool("type", "--", "-20")
        self.type_into(REGION, 1026, "0")
        self.s.xdotool("key", "Tab")
        self.no_message()
        self.click(self.page(REGION), 1050)
        self.click(self.page(REGION), 1074)
        self.click(self.page(REGION), 1074)
        self.assertEqual(self.checked(REGION, 1047, 1048, 1049, 1050, 1074), (0, 0, 0, 1, 1))

        # Hotkeys: the pan modifiers one by one, the lock, the captions.
        self.show(HOTKEYS)
        self.assertEqual(self.text(HOTKEYS, 1017), "Shift+&&")   # shown as "Shift+&"
        self.assertEqual(self.checked(HOTKEYS, 1012, 1013, 1014, 1018), (1, 1, 0, 0))
        for box in (1012, 1013, 1014, 1018):   # Shift and Ctrl off, Alt and the lock on
            self.click(self.page(HOTKEYS), box)
        self.assertEqual(self.checked(HOTKEYS, 1012, 1013, 1014, 1018), (0, 0, 1, 1))
        # The hotkey dialog shows the stored modifier without a key that would spill into it.
        self.click(self.page(HOTKEYS), 1017)
        dialog = self.s.wait_window("Change Hotkey")["hwnd"]
        control = self.s.wintool("child", dialog, 1016).strip()
        self.assertEqual(int(self.s.wintool("send", control, HKM_GETHOTKEY, 0, 0)), HOTKEYF_SHIFT << 8)
        self.s.wintool("command", dialog, 2)
        mw.wait_for(lambda: self.s.window("Change Hotkey") is None, what="dialog closed")
        self.answer_all(1)

        # Sound: 8000 Hz shows as 44100 and stays stored until a rate is clicked.
        self.show(SOUND)
        self.assertEqual(self.checked(SOUND, 1069, 1070, 1071, 1072, 1073), (1, 0, 0, 0, 1))
        self.click(self.page(SOUND), 1070)
        # What the recording shows: clicks off, every key; then clicks on, shortcuts only.
        self.assertEqual(self.checked(SOUND, 1080, 1081, 1082, 1083), (0, 0, 0, 1))
        self.click(self.page(SOUND), 1080)
        self.click(self.page(SOUND), 1082)
        self.assertEqual(self.checked(SOUND, 1080, 1081, 1082, 1083), (1, 0, 1, 0))

        # Letters in Left: refused, kept on the page, refused again when the
        # program closes, and StartX stays as it was.
        self.show(REGION)
        self.type_into(REGION, 1023, "12abc")
        self.s.xdotool("key", "Tab")
        self.refused(NOT_AN_INTEGER, 1023, 5)
        self.assertEqual(self.text(REGION, 1023), "12abc")
        self.s.wintool("post", self.main, mw.WM_CLOSE, 0, 0)
        box = self.s.wait_message_box()
        self.assertEqual(box["text"], NOT_AN_INTEGER)
        self.s.answer(box, 1)
        self.assertEqual(self.s.wait_exit(self.proc), 0)

        state, keys = self.s.reg_query(STATE_KEY), self.s.reg_query(KEYS_KEY)
        self.assertEqual([dword(state, n) for n in ("StartX", "StartY", "Width", "Height", "WndHide", "FlashRect")],
                         [33, 7, -20, 0, 3, 1])
        self.assertEqual((dword(state, "SoundSampSize"), dword(state, "SoundSampRate")), (16, 8000))
        self.assertEqual((dword(state, "ShowClicks"), dword(state, "ShowKeys")), (1, 1))
        self.assertEqual((dword(keys, "Pan Modifiers"), dword(keys, "Pan Locked")), (1, 1))
        self.assertEqual((dword(keys, "LockPan Key"), keys["LockPan Desc"][1]), (0x271, "Shift+&"))

    def test_video_page(self):
        for name, value in (("FPS", 10000), ("FPSPlay", 5000), ("RecSound", 1)):
            self.s.reg_add(STATE_KEY, name, "REG_DWORD", value)
        self.launch()
        self.show(VIDEO)
        c = self.controls(VIDEO)
        self.assertEqual((c[1021]["text"], c[1023]["text"]), ("10", "5"))
        # Unequal rates: no sound, whatever is stored.
        self.assertEqual((c[1024]["checked"], c[1024]["enabled"]), (0, False))

        # The playback rate follows the capture rate with every key; equal
        # rates offer sound again.
        self.type_into(VIDEO, 1021, "1")
        self.assertEqual(self.text(VIDEO, 1023), "1")
        self.s.xdotool("type", "5")
        c = self.controls(VIDEO)
        self.assertEqual((c[1021]["text"], c[1023]["text"]), ("15", "15"))
        self.assertEqual((c[1024]["checked"], c[1024]["enabled"]), (0, True))
        self.click(self.page(VIDEO), 1024)   # sound on (and the capture rate taken)
        # A different playback rate switches sound off at once.
        self.type_into(VIDEO, 1023, "5")
        c = self.controls(VIDEO)
        self.assertEqual((c[1024]["checked"], c[1024]["enabled"]), (0, False))
        self.s.xdotool("key", "Tab")

        # A negative capture rate becomes 0 in both; one beyond the stored
        # thousandths is no number; 7.25 is.
        self.type_into(VIDEO, 1021, "-3")
        self.s.xdotool("key", "Tab")
        mw.wait_for(lambda: (self.text(VIDEO, 1021), self.text(VIDEO, 1023)) == ("0", "0"), what="rates 0")
        self.type_into(VIDEO, 1021, "4294968")
        self.s.xdotool("key", "Tab")
        self.refused(NOT_A_NUMBER, 1021, 7)
        self.s.xdotool("type", "7.25")
        self.s.xdotool("key", "Tab")
        self.no_message()

        # Key frames and quality are clamped.
        self.type_into(VIDEO, 1025, "-5")
        self.type_into(VIDEO, 1026, "150")
        self.s.xdotool("key", "Tab")
        mw.wait_for(lambda: (self.text(VIDEO, 1025), self.text(VIDEO, 1026)) == ("0", "100"), what="clamped")
        self.click(self.page(VIDEO), 1022)   # numbering off

        # The file dialog: a name without extension is taken as chosen.
        self.click(self.page(VIDEO), 1027)
        self.s.wait_window("Save As")
        mw.focus_window(self.s, "Save As")
        self.s.xdotool("type", "picked")
        self.s.xdotool("key", "Return")
        mw.wait_for(lambda: self.s.window("Save As") is None, what="file dialog closed")
        chosen = self.text(VIDEO, 1020)
        self.assertTrue(chosen.endswith("\\work\\picked"), chosen)

        # The compressor list: the automatic choice first, uncompressed last, each once.
        items = self.s.wintool("items", self.page(VIDEO), 1058).splitlines()
        self.assertEqual(items[0].split("\t"), ["0", "1", "0", "Automatic (by colour depth)"])
        self.assertEqual(items[-1].split("\t")[2:], ["20424944", "Uncompressed (full frames)"])
        codes = [i.split("\t")[2] for i in items]
        self.assertEqual(len(codes), len(set(codes)))
        # The program's own codec is listed although only this program has it.
        self.assertIn(["56424d5a", "Velmorax Screen Codec (ZMBV)"], [i.split("\t")[2:] for i in items])

        state, _ = self.close()
        self.assertEqual((rate(state, "FPS"), rate(state, "FPSPlay")), (7.25, 7.25))
        self.assertEqual([dword(state, n) for n in ("RecSound", "KeyFrames", "Compress", "IncFilename")],
                         [0, 0, 100, 0])
        self.assertEqual(state["AVIFileName"][1], chosen)


class HotkeyEditing(PagesTest):
    def edit(self, button, *keys, confirm="Return"):
        """Opens the dialog of a hotkey button, presses the keys and
        confirms; returns what the control showed before and after."""
        self.click(self.page(HOTKEYS), button)
        dialog = self.s.wait_window("Change Hotkey")["hwnd"]
        control = self.s.wintool("child", dialog, 1016).strip()
        before = int(self.s.wintool("send", control, HKM_GETHOTKEY, 0, 0))
        mw.focus_window(self.s, "Change Hotkey")
        for key in keys:
            self.s.xdotool("key", key)
        after = int(self.s.wintool("send", control, HKM_GETHOTKEY, 0, 0))
        if confirm == "OK":
            self.s.wintool("command", dialog, 1)
        else:
            self.s.xdotool("key", confirm)
        mw.wait_for(lambda: self.s.window("Change Hotkey") is None, what="dialog closed")
        return before, after

    def captions(self):
        c = self.controls(HOTKEYS)
        return [c[i]["text"] for i in (1015, 1016, 1019, 1017)]

    def test_editing_the_four_hotkeys(self):
        self.launch()
        self.show(HOTKEYS)
        # Confirming without a key changes nothing.
        self.assertEqual(self.edit(1017, confirm="OK"), ((HOTKEYF_SHIFT << 8) | 114,) * 2)
        # Shift+F2 gets Control added.
        shift_ctrl = (HOTKEYF_SHIFT | HOTKEYF_CONTROL) << 8
        self.assertEqual(self.edit(1016, "shift+F2"), (114, shift_ctrl | 113))
        self.no_message()
        # F2 alone gives the same combination: stored, and its registration
        # is refused for the pause action, which holds it.
        self.edit(1015, "F2")
        box = self.s.wait_message_box()
        self.assertEqual(box["text"], "Ctrl+Shift+F2\n" + HOTKEY_TAKEN)
        self.assertEqual(self.captions()[0], "Ctrl+Shift+F2")   # on its button before the failure shows
        self.s.answer(box, 1)
        self.assertEqual(self.captions(), ["Ctrl+Shift+F2", "Ctrl+Shift+F2", "F4", "Shift+F3"])
        # F5 alone: Control and Shift added, and everything registers again.
        self.assertEqual(self.edit(1015, "F5")[1], shift_ctrl | 116)
        self.no_message()
        # Alt+F9, then a Tab before confirming: the description still names F9.
        self.assertEqual(self.edit(1019, "alt+F9", "Tab")[1], (HOTKEYF_ALT << 8) | 120)
        # Escape cancels, although F7 had been typed.
        self.assertEqual(self.edit(1017, "F7", confirm="Escape")[1], shift_ctrl | 118)
        self.assertEqual(self.captions(), ["Ctrl+Shift+F5", "Ctrl+Shift+F2", "Alt+F9", "Shift+F3"])

        # The dialog's help is the hotkey topic.
        self.click(self.page(HOTKEYS), 1017)
        dialog = self.s.wait_window("Change Hotkey")["hwnd"]
        self.click(dialog, 57670)
        self.assertEqual(mw.help_heading(self.s), "Hotkeys tab")
        self.s.wintool("command", dialog, 2)
        mw.wait_for(lambda: self.s.window("Change Hotkey") is None, what="dialog closed")
        # The hotkeys are registered again after a cancel: Shift+F3 locks panning.
        self.s.xdotool("key", "shift+F3")
        mw.wait_for(lambda: self.checked(HOTKEYS, 1018) == (1,), what="pan locked")

        _, keys = self.close()
        stored = {a: (dword(keys, a + " Key"), dword(keys, a + " Mod"), keys[a + " Desc"][1])
                  for a in ("Start", "Pause", "SingleShot", "LockPan")}
        self.assertEqual(stored, {"Start": (116, 6, "Ctrl+Shift+F5"), "Pause": (113, 6, "Ctrl+Shift+F2"),
                                  "SingleShot": (120, 1, "Alt+F9"), "LockPan": (114, 4, "Shift+F3")})


class Compressors(PagesTest):
    def install_codecs(self):
        """The copying test compressor, after one whose file does not exist."""
        codec = os.environ.get("VELMORAX_TESTCODEC",
                               os.path.join(os.environ.get("VELMORAX_BUILD_DIR", ""), "tests", "testcodec.dll"))
        self.s.reg_add(DRIVERS32, "vidc.VMXB", "REG_SZ", r"Z:\no\such\codec.dll")
        self.s.reg_add(DRIVERS32, "vidc.VMXT", "REG_SZ", "Z:" + os.path.abspath(codec).replace("/", "\\"))

    def choose(self, text):
        """Picks the compressor list's entry with that text by keyboard."""
        items = [i.split("\t") for i in self.s.wintool("items", self.page(VIDEO), 1058).splitlines()]
        index = [i[3] for i in items].index(text)
        self.click(self.page(VIDEO), 1058)
        mw.focus_window(self.s, "Velmorax")
        self.s.xdotool("key", "Home", *(["Down"] * index), "Return")
        mw.wait_for(lambda: self.s.wintool("items", self.page(VIDEO), 1058).splitlines()[index].split("\t")[1] == "1",
                    what="%s chosen" % text)
        return items

    def test_chosen_compressor_records_and_restore_defaults_refreshes_every_page(self):
        self.install_codecs()
        self.s.reg_add(KEYS_KEY, "Pan Locked", "REG_DWORD", 1)
        self.s.reg_add(STATE_KEY, "ShowClicks", "REG_DWORD", 1)
        self.s.reg_add(STATE_KEY, "ShowKeys", "REG_DWORD", 2)
        self.launch("-x5", "-y7", "-w64", "-h48", "-f5", "-a", "picked.avi", "-i-")
        self.show(VIDEO)
        items = self.choose("Velmorax test copy codec")
        # The compressor that cannot be opened hides none after it.
        self.assertIn("Wine Video 1 video codec", [i[3] for i in items])
        mw.move_pointer(self.s, 200, 300)
        self.s.wintool("command", self.main, 1000)
        mw.wait_for(lambda: mw.recording_pattern(self.s), what="recording")
        time.sleep(1.5)
        self.s.xdotool("mousemove", 260, 330)   # the rectangle follows: 60 right, 30 down
        time.sleep(1.5)
        self.s.wintool("post", self.main, WM_HOTKEY, 1, 0)
        box = self.s.wait_message_box()
        self.assertTrue(box["text"].startswith("Recording finished."), box["text"])
        self.s.answer(box, 1)
        with open(os.path.join(self.s.work, "picked.avi"), "rb") as f:
            data = f.read()
        at = data.find(b"strh")
        self.assertEqual(data[at + 8:at + 16], b"vidsVMXT")
        # The list still shows the compressor that was used, the region page where panning ended.
        self.assertEqual(self.s.wintool("items", self.page(VIDEO), 1058).splitlines()[1].split("\t")[1], "1")
        self.assertEqual((self.text(REGION, 1023), self.text(REGION, 1024)), ("65", "37"))

        self.click(self.s.wintool("child", self.main, 156).strip(), 1004)
        box = self.s.wait_message_box()
        self.s.answer(box, 6)   # Yes
        mw.wait_for(lambda: self.text(VIDEO, 1020) == "clip.avi", what="defaults shown")
        c = self.controls(VIDEO)
        self.assertEqual([c[i]["text"] for i in (1021, 1023, 1025, 1026)], ["10", "10", "20", "75"])
        self.assertEqual((c[1022]["checked"], c[1024]["checked"], c[1024]["enabled"]), (1, 0, True))
        after = [i.split("\t") for i in self.s.wintool("items", self.page(VIDEO), 1058).splitlines()]
        self.assertEqual([i[2:] for i in after], [i[2:] for i in items])   # nothing added twice
        self.assertEqual([i[1] for i in after].index("1"), 0)
        self.assertEqual([self.text(REGION, i) for i in (1023, 1024, 1025, 1026)], ["0", "0", "320", "240"])
        self.assertEqual(self.checked(REGION, 1047, 1048, 1049, 1050, 1074), (0, 1, 0, 0, 1))
        self.assertEqual(self.checked(HOTKEYS, 1012, 1013, 1014, 1018), (1, 1, 0, 0))
        c = self.controls(HOTKEYS)
        self.assertEqual([c[i]["text"] for i in (1015, 1016, 1019, 1017)], ["F2", "F3", "F4", "Shift+F3"])
        self.assertEqual(self.checked(SOUND, 1069, 1070, 1071, 1072, 1073, 1080, 1081, 1082, 1083),
                         (1, 0, 1, 0, 0, 0, 1, 0, 0))
        state, _ = self.close()
        self.assertEqual((dword(state, "Width"), dword(state, "FPS"), dword(state, "ShowClicks"),
                          dword(state, "ShowKeys")), (320, 10000, 0, 0))

    def test_a_compressor_that_refuses_the_capture_format(self):
        self.launch("-w64", "-h48", "-f5", "-a", "refused.avi", "-i-")
        self.show(VIDEO)
        self.choose("Cinepak Video codec")   # no compressor of Wine's takes the screen's frames
        self.s.wintool("command", self.main, 1000)
        box = self.s.wait_message_box()
        self.assertTrue(box["text"].startswith("Could not record into the video file: the step ("), box["text"])
        self.s.answer(box, 1)
        mw.wait_for(lambda: mw.idle_pattern(self.s), what="idle layout")
        self.assertEqual(self.answer_all(3), [])
        self.assertEqual(os.listdir(self.s.work), [])
        self.close()


if __name__ == "__main__":
    unittest.main()

"""Settings in the registry: what a run leaves there, what the next run loads,
and values set by hand that the store did not write."""
import os
import re
import unittest

from harness import APP_KEY, ROOT, SessionTest, dword

STATE = APP_KEY + r"\State"
KEYS = APP_KEY + r"\Keys"

STATE_DEFAULTS = {
    "StartX": 0, "StartY": 0, "Width": 320, "Height": 240, "FlashRect": 1, "WndHide": 1,
    "IncFilename": 1, "RecSound": 0, "SoundSampRate": 11025, "SoundSampSize": 8, "FPS": 10000,
    "FPSPlay": 10000, "Compress": 75, "KeyFrames": 20, "ShowClicks": 0, "ShowKeys": 0,
}
KEYS_DEFAULTS = {
    "Start Key": 113, "Start Mod": 0, "Pause Key": 114, "Pause Mod": 0, "SingleShot Key": 115,
    "SingleShot Mod": 0, "LockPan Key": 114, "LockPan Mod": 4, "Pan Modifiers": 6, "Pan Locked": 0,
}


def shift_prefix():
    """String 112 of the resource library, the prefix of "LockPan Desc"."""
    with open(os.path.join(ROOT, "resources", "VelRes.rc"), encoding="latin-1") as rc:
        m = re.search(r'^\s*IDS_MOD_SHIFT\s+"([^"]*)"', rc.read(), re.M)
    return m.group(1)


def options_file(session):
    return os.path.join(session.program_dir(), "Velmorax.ini")


def dump_lines(session):
    """The settings the program loads, seen through "-dumpopts": {name: value text}."""
    path = options_file(session)
    if os.path.exists(path):
        os.remove(path)
    assert session.run("-dumpopts") == 0
    with open(path, "rb") as f:
        lines = f.read().split(b"\r\n")
    result = {}
    for line in lines:
        m = re.match(rb'^"([^"]+)"  (.*)$', line)
        if m:
            result[m.group(1).decode("latin-1")] = m.group(2).decode("latin-1")
    return result


class NormalRuns(SessionTest):
    def run_and_close(self, *args):
        proc = self.s.start(*args)
        self.s.wait_window("Velmorax")
        self.s.wintool("post", "Velmorax", 0x0010, 0, 0)   # WM_CLOSE
        self.assertEqual(self.s.wait_exit(proc), 0)

    def test_first_run_saves_every_value_with_its_default(self):
        self.assertIsNone(self.s.reg_query(STATE))
        self.run_and_close()
        state = self.s.reg_query(STATE)
        keys = self.s.reg_query(KEYS)
        self.assertEqual(len(state), 19)
        self.assertEqual(len(keys), 14)
        for name, value in STATE_DEFAULTS.items():
            self.assertEqual(dword(state, name), value, name)
        for name, value in KEYS_DEFAULTS.items():
            self.assertEqual(dword(keys, name), value, name)
        # The window's position when it closed.
        self.assertEqual(state["WinX"][0], "REG_DWORD")
        self.assertGreaterEqual(dword(state, "WinX"), -499)
        self.assertEqual(state["AVIFileName"], ("REG_SZ", "clip.avi"))
        self.assertEqual(keys["Start Desc"], ("REG_SZ", "F2"))
        self.assertEqual(keys["Pause Desc"], ("REG_SZ", "F3"))
        self.assertEqual(keys["SingleShot Desc"], ("REG_SZ", "F4"))
        self.assertEqual(keys["LockPan Desc"], ("REG_SZ", shift_prefix() + "F3"))

    def test_command_line_options_are_saved_and_loaded_by_the_next_run(self):
        self.run_and_close("-x100", "-y50", "-w320", "-h240", "-a", "name", "-f7.5", "-s+", "-i-", "-k5")
        expected = dict(StartX=100, StartY=50, Width=320, Height=240, FPS=7500, FPSPlay=7500, RecSound=1,
                        IncFilename=0, KeyFrames=5)
        state = self.s.reg_query(STATE)
        for name, value in expected.items():
            self.assertEqual(dword(state, name), value, name)
        self.assertEqual(state["AVIFileName"], ("REG_SZ", "name"))
        win = (dword(state, "WinX"), dword(state, "WinY"))

        # A run without options loads them and saves them again unchanged.
        self.run_and_close()
        again = self.s.reg_query(STATE)
        for name, value in expected.items():
            self.assertEqual(dword(again, name), value, name)
        self.assertEqual(again["AVIFileName"], ("REG_SZ", "name"))
        self.assertEqual((dword(again, "WinX"), dword(again, "WinY")), win)
        self.assertEqual(len(again), 19)

    def test_values_set_by_hand_of_another_type_are_replaced_by_the_field(self):
        self.s.reg_add(STATE, "Width", "REG_SZ", "100")
        self.s.reg_add(STATE, "Height", "REG_BINARY", "0102")
        self.s.reg_add(STATE, "StartX", "REG_BINARY", "0102030405060708")
        self.s.reg_add(STATE, "AVIFileName", "REG_DWORD", "5")
        self.s.reg_add(STATE, "Compress", "REG_DWORD", "50")
        self.run_and_close()
        state = self.s.reg_query(STATE)
        self.assertEqual(dword(state, "Width"), 320)
        self.assertEqual(dword(state, "Height"), 240)
        self.assertEqual(dword(state, "StartX"), 0)
        self.assertEqual(dword(state, "Compress"), 50)
        self.assertEqual(state["AVIFileName"], ("REG_SZ", "clip.avi"))


class StoredValues(SessionTest):
    """What loading makes of stored values, seen through "-dumpopts", which
    loads the registry and writes what it got without changing it."""

    def test_window_position_minus_1000(self):
        self.s.reg_add(STATE, "WinX", "REG_DWORD", "0xfffffc18")
        self.s.reg_add(STATE, "WinY", "REG_DWORD", "0x7fffffff")
        lines = dump_lines(self.s)
        self.assertEqual(lines["WinX"], "-1000")
        self.assertEqual(lines["WinY"], "2147483647")

    def test_file_name_of_259_and_260_characters(self):
        name259 = "a" * 255 + ".avi"
        self.s.reg_add(STATE, "AVIFileName", "REG_SZ", name259)
        self.assertEqual(dump_lines(self.s)["AVIFileName"], '"%s"' % name259)
        self.s.reg_add(STATE, "AVIFileName", "REG_SZ", "b" + name259)
        self.assertEqual(dump_lines(self.s)["AVIFileName"], '"clip.avi"')

    def test_descriptions_of_59_and_60_characters(self):
        self.s.reg_add(KEYS, "Start Desc", "REG_SZ", "x" * 59)
        self.s.reg_add(KEYS, "Pause Desc", "REG_SZ", "y" * 60)
        lines = dump_lines(self.s)
        self.assertEqual(lines["Start Desc"], '"%s"' % ("x" * 59))
        self.assertEqual(lines["Pause Desc"], '"F3"')

    def test_largest_rate_count_loads_and_saves_unchanged(self):
        self.s.reg_add(STATE, "FPS", "REG_DWORD", "0xffffffff")
        self.s.reg_add(STATE, "FPSPlay", "REG_DWORD", "7500")
        lines = dump_lines(self.s)
        self.assertEqual(lines["FPS"], "-1")      # the count's 32 bits, written as "%d"
        self.assertEqual(lines["FPSPlay"], "7500")
        # Back into the registry: the same count.
        self.s.reg_delete(APP_KEY)
        self.assertEqual(self.s.run("-readopts"), 0)
        state = self.s.reg_query(STATE)
        self.assertEqual(state["FPS"], ("REG_DWORD", "0xffffffff"))
        self.assertEqual(dword(state, "FPSPlay"), 7500)

    def test_a_key_with_only_some_values_changes_only_those(self):
        self.s.reg_add(STATE, "Width", "REG_DWORD", "100")
        self.s.reg_add(STATE, "Height", "REG_DWORD", "50")
        lines = dump_lines(self.s)
        self.assertEqual(lines["Width"], "100")
        self.assertEqual(lines["Height"], "50")
        self.assertEqual(lines["StartX"], "0")
        self.assertEqual(lines["FPS"], "10000")
        self.assertEqual(lines["AVIFileName"], '"clip.avi"')
        # "-dumpopts" writes no registry value.
        self.assertEqual(len(self.s.reg_query(STATE)), 2)
        self.assertIsNone(self.s.reg_query(KEYS))


if __name__ == "__main__":
    unittest.main()

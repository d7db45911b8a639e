"""The options file "Velmorax.ini" beside the program: "-dumpopts" writes the
stored settings into it, "-readopts" copies its settings into the registry."""
import os
import stat
import unittest

from harness import APP_KEY, SessionTest, dword
from install_common import next_box, wait_dialog
from test_settings_registry import KEYS, STATE, shift_prefix

DEFAULT_FILE = [
    ("StartX", "0"), ("StartY", "0"), ("Width", "320"), ("Height", "240"), ("WinX", "-1000"),
    ("WinY", "-1000"), ("FlashRect", "1"), ("WndHide", "1"), ("IncFilename", "1"), ("RecSound", "0"),
    ("SoundSampRate", "11025"), ("SoundSampSize", "8"), ("FPS", "10000"), ("FPSPlay", "10000"),
    ("Compress", "75"), ("KeyFrames", "20"), ("AVIFileName", '"clip.avi"'),
    ("Start Key", "113"), ("Start Mod", "0"), ("Start Desc", '"F2"'),
    ("Pause Key", "114"), ("Pause Mod", "0"), ("Pause Desc", '"F3"'),
    ("SingleShot Key", "115"), ("SingleShot Mod", "0"), ("SingleShot Desc", '"F4"'),
    ("LockPan Key", "114"), ("LockPan Mod", "4"), ("LockPan Desc", None),
    ("Pan Modifiers", "6"), ("Pan Locked", "0"),
]
# Added later, after the 31 lines that older versions write and read.
ADDED = [("ShowClicks", "0"), ("ShowKeys", "0")]


def file_bytes(lines):
    out = b""
    for name, value in lines:
        if value is None:
            value = '"%sF3"' % shift_prefix()
        out += b'"%s"  %s\r\n' % (name.encode("latin-1"), value.encode("latin-1"))
    return out


class OptionsFile(SessionTest):
    def path(self):
        return os.path.join(self.s.program_dir(), "Velmorax.ini")

    def write(self, data):
        with open(self.path(), "wb") as f:
            f.write(data)

    def read(self):
        with open(self.path(), "rb") as f:
            return f.read()

    def registry(self):
        return self.s.reg_query(STATE), self.s.reg_query(KEYS)

    # "-dumpopts"
    def test_dump_of_a_fresh_prefix_is_the_31_default_lines_then_the_added_ones(self):
        self.assertEqual(self.s.run("-dumpopts"), 0)
        self.assertEqual(self.read(), file_bytes(DEFAULT_FILE + ADDED))
        self.assertEqual(len(self.read().split(b"\r\n")), 34)
        # No registry value is written.
        self.assertIsNone(self.s.reg_query(STATE))

    def test_dump_over_a_file_keeps_its_settings_and_order(self):
        self.s.reg_add(STATE, "Width", "REG_DWORD", "500")
        self.write(b"; my settings\r\n\"Width\"  100\r\n\"Extra\"  5\r\n")
        self.assertEqual(self.s.run("-dumpopts"), 0)
        expected = [("Width", "500"), ("Extra", "5")] + [l for l in DEFAULT_FILE + ADDED if l[0] != "Width"]
        self.assertEqual(self.read(), file_bytes(expected))

    def test_dump_into_a_read_only_file_fails_and_keeps_it(self):
        old = b'"Width"  100\r\n; keep me\r\n'
        self.write(old)
        os.chmod(self.path(), stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        files = sorted(os.listdir(self.s.program_dir()))
        self.assertEqual(self.s.run("-dumpopts"), 1)
        self.assertEqual(self.read(), old)
        self.assertEqual(sorted(os.listdir(self.s.program_dir())), files)   # no temporary file left

    def test_dump_onto_a_folder_of_that_name_fails(self):
        os.mkdir(self.path())
        files = sorted(os.listdir(self.s.program_dir()))
        self.assertEqual(self.s.run("-dumpopts"), 1)
        self.assertTrue(os.path.isdir(self.path()))
        self.assertEqual(sorted(os.listdir(self.s.program_dir())), files)

    # "-readopts"
    def test_read_without_a_file_ends_with_1_and_changes_nothing(self):
        self.s.reg_add(STATE, "Width", "REG_DWORD", "500")
        self.assertEqual(self.s.run("-readopts"), 1)
        self.assertEqual(self.s.reg_query(STATE), {"Width": ("REG_DWORD", "0x1f4")})
        self.assertIsNone(self.s.reg_query(KEYS))

    def test_read_stores_the_file_and_defaults_for_the_rest(self):
        self.s.reg_add(KEYS, "Pan Locked", "REG_DWORD", "1")
        self.s.reg_add(STATE, "Compress", "REG_DWORD", "10")
        self.write(b"; comment\r\n"
                   b'"width"  640\r\n'                      # any letter case
                   b'"Height"  12abc\r\n'                   # digits up to the letters
                   b'"Height"  999\r\n'                     # the first of two counts
                   b'"StartX"  abc\r\n'                     # no digits: 0
                   b'"StartY"\t -20\r\n'
                   b'"FPS"  10000\r\n'
                   b'"FPSPlay"  7500\r\n'
                   b'"AVIFileName"  "c:\\clips\\take.avi\r\n'   # closing quote missing
                   b'"Start Desc"  "Ctrl+F2"  \r\n'            # trailing blanks
                   b'"ShowKeys"  2\r\n'
                   b'"Extra"  5\r\n')
        self.assertEqual(self.s.run("-readopts"), 0)
        state, keys = self.registry()
        self.assertEqual(len(state), 19)
        self.assertEqual(len(keys), 14)
        self.assertEqual(dword(state, "Width"), 640)
        self.assertEqual(dword(state, "Height"), 12)
        self.assertEqual(dword(state, "StartX"), 0)
        self.assertEqual(dword(state, "StartY"), -20)
        self.assertEqual(dword(state, "FPS"), 10000)
        self.assertEqual(dword(state, "FPSPlay"), 7500)
        self.assertEqual(dword(state, "Compress"), 75)   # the file lacks it: the default, not the registry
        self.assertEqual(state["AVIFileName"], ("REG_SZ", "c:\\clips\\take.av"))
        self.assertEqual(keys["Start Desc"], ("REG_SZ", 'Ctrl+F2" '))
        self.assertEqual(dword(keys, "Pan Locked"), 0)
        self.assertEqual((dword(state, "ShowClicks"), dword(state, "ShowKeys")), (0, 2))
        self.assertEqual(keys["LockPan Desc"], ("REG_SZ", shift_prefix() + "F3"))
        self.assertNotIn("Extra", state)
        # The file is left as it was.
        self.assertTrue(self.read().startswith(b"; comment\r\n"))

    # "-install": after the installation the file beside the program is imported.
    def test_install_imports_the_file_beside_the_program(self):
        self.s.reg_add(STATE, "Height", "REG_DWORD", "77")
        # The folder dialog cancelled, and no file: the registry is untouched.
        proc = self.s.start("-install")
        self.s.wintool("command", wait_dialog(self.s), 2)
        self.assertEqual(self.s.wait_exit(proc), 0)
        self.assertEqual(dword(self.s.reg_query(STATE), "Height"), 77)
        self.write(b'"Width"  123\r\n"Start Desc"  "Ctrl+F9"\r\n')
        # The suggested folder taken, and created, then the file imported.
        proc = self.s.start("-install")
        dialog = wait_dialog(self.s)
        self.s.wintool("command", dialog, 1)
        self.s.answer(next_box(self.s, dialog), 6)
        self.assertEqual(self.s.wait_exit(proc), 0)
        state, keys = self.registry()
        self.assertEqual(dword(state, "Width"), 123)
        self.assertEqual(dword(state, "Height"), 240)   # not in the file: its default
        self.assertEqual(keys["Start Desc"], ("REG_SZ", "Ctrl+F9"))
        self.assertEqual(self.read(), b'"Width"  123\r\n"Start Desc"  "Ctrl+F9"\r\n')   # left as it was

    def test_malformed_lines_are_skipped_or_ignored(self):
        long_line = b'"KeyFrames"  ' + b"7" * 1200 + b"\r\n"
        self.write(b'"Width  100\r\n'                 # no closing quote: skipped
                   b'""  5\r\n'                       # empty name: skipped
                   b'"\r\n'                           # a lone quote
                   b'"Height"  "77"\r\n'              # a text for a number: ignored
                   b'"AVIFileName"  33\r\n'           # a number for a text: ignored
                   b'"Start Desc"  "\r\n'             # a lone quote as text: empty
                   b'"StartX"  1\x002\r\n'             # a zero byte ends the line
                   b'\xff\xfe\x00\x01binary\r\n'
                   + long_line +
                   b'"Compress"  "' + b"c" * 1100 + b'"\r\n'
                   b'"StartY"  9')                     # no final line end
        self.assertEqual(self.s.run("-readopts"), 0)
        state, keys = self.registry()
        self.assertEqual(dword(state, "Width"), 320)
        self.assertEqual(dword(state, "Height"), 240)
        self.assertEqual(state["AVIFileName"], ("REG_SZ", "clip.avi"))
        self.assertEqual(keys["Start Desc"][0], "REG_SZ")
        self.assertEqual(keys["Start Desc"][1].strip(), "")
        self.assertEqual(dword(state, "StartX"), 1)
        self.assertEqual(dword(state, "KeyFrames"), 2147483647)   # the first 1023 bytes, clamped
        self.assertEqual(dword(state, "Compress"), 75)
        self.assertEqual(dword(state, "StartY"), 9)

    def test_dump_output_reads_back_unchanged(self):
        values = [("StartX", "REG_DWORD", "0xffffff9c"), ("WinX", "REG_DWORD", "0xfffffc18"),
                  ("Width", "REG_DWORD", "0x7fffffff"), ("FPS", "REG_DWORD", "29970"),
                  ("FPSPlay", "REG_DWORD", "0xffffffff"), ("RecSound", "REG_DWORD", "1"), ("ShowClicks", "REG_DWORD", "1"),
                  ("AVIFileName", "REG_SZ", 'c:\\a "quoted"  name\\' + "n" * 230 + ".avi")]
        for name, kind, data in values:
            self.s.reg_add(STATE, name, kind, data)
        self.s.reg_add(KEYS, "Start Desc", "REG_SZ", "Ctrl+Alt+" + "k" * 50)
        self.s.reg_add(KEYS, "Pause Desc", "REG_SZ", "")
        self.s.reg_add(KEYS, "Pan Locked", "REG_DWORD", "1")
        self.assertEqual(self.s.run("-dumpopts"), 0)
        first = self.read()
        # The registry written from the file, then written out again: the same bytes.
        self.s.reg_delete(APP_KEY)
        self.assertEqual(self.s.run("-readopts"), 0)
        state, keys = self.registry()
        self.assertEqual(state["AVIFileName"][1], values[-1][2])
        self.assertEqual(state["FPSPlay"], ("REG_DWORD", "0xffffffff"))
        self.assertEqual(keys["Start Desc"][1], "Ctrl+Alt+" + "k" * 50)
        os.remove(self.path())
        self.assertEqual(self.s.run("-dumpopts"), 0)
        self.assertEqual(self.read(), first)

    def test_mode_words_are_exact_and_first(self):
        # "-readopts" in second place is no mode: the normal run opens its window.
        self.write(b'"Width"  640\r\n')
        proc = self.s.start("-x5", "-readopts")
        self.s.wait_window("Velmorax")
        self.s.wintool("post", "Velmorax", 0x0010, 0, 0)
        self.assertEqual(self.s.wait_exit(proc), 0)
        state = self.s.reg_query(STATE)
        self.assertEqual(dword(state, "Width"), 320)
        self.assertEqual(dword(state, "StartX"), 5)


if __name__ == "__main__":
    unittest.main()

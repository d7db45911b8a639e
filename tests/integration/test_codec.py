"""The codec's driver DLL as a program uses it: installed as a function with
ICInstall, fed through the AVI file services (a compressed stream, or
ICCompress frame by frame); ffmpeg reads the stream as ZMBV and decodes every
frame exactly as it was given."""
import json
import os
import subprocess
import unittest

from harness import BUILD, DIST, WINE, Session

CODECTOOL = os.environ.get("VELMORAX_CODECTOOL", os.path.join(BUILD, "tests", "codectool.exe"))
WIDTH, HEIGHT, FRAMES = 161, 97, 14    # as codectool writes them
PALETTE_FRAME, STILL_FRAME = 6, 9


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def packet_flags(path):
    proc = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_packets", "-show_data",
                           "-of", "json", path], capture_output=True, text=True, check=True)
    return [(p["flags"], int(p["size"]), p["data"].split()[1][:2]) for p in json.loads(proc.stdout)["packets"]]


class Codec(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.s = Session()
        cls.dll = windows_path(os.path.join(DIST, "VelZmbv.dll"))

    @classmethod
    def tearDownClass(cls):
        cls.s.close()

    def tool(self, *args):
        code, output = self.s.capture([WINE, CODECTOOL] + [str(a) for a in args], timeout=120)
        self.assertEqual(code, 0, output)
        return output

    def write(self, mode, scene, keys):
        avi, raw = "%s_%s.avi" % (mode, scene), "%s_%s.raw" % (mode, scene)
        self.tool(mode, self.dll, scene, keys, avi, raw)
        return os.path.join(self.s.work, avi), os.path.join(self.s.work, raw)

    def assert_decodes_exactly(self, avi, raw, pix_fmt, stream_pix_fmt):
        proc = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_streams", "-of", "json",
                               avi], capture_output=True, text=True, check=True)
        stream = json.loads(proc.stdout)["streams"][0]
        self.assertEqual((stream["codec_name"], stream["width"], stream["height"], stream["pix_fmt"]),
                         ("zmbv", WIDTH, HEIGHT, stream_pix_fmt))
        decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", avi, "-vsync", "passthrough", "-f", "rawvideo",
                                  "-pix_fmt", pix_fmt, "-"], capture_output=True, check=True).stdout
        expected = open(raw, "rb").read()
        size = len(expected) // FRAMES
        self.assertEqual(len(decoded), len(expected), "frames decoded: %d" % (len(decoded) // size))
        wrong = [n for n in range(FRAMES) if decoded[n * size:(n + 1) * size] != expected[n * size:(n + 1) * size]]
        self.assertEqual(wrong, [], "frames that differ")

    def test_found_by_its_code_and_listed_when_registered(self):
        # Installed as a function it opens by its code (Wine's ICInfo does not list it).
        listed = self.tool("list", self.dll).split("by code:")
        self.assertIn("ZMBV\tZMBV\tVelmorax Screen Codec (ZMBV)\t", listed[1])
        # Registered (last: it stays in this prefix), the DLL is loaded as a driver and listed.
        listed = self.tool("register", self.dll).split("by code:")
        self.assertIn("ZMBV\tZMBV\tVelmorax Screen Codec (ZMBV)\t", listed[0])

    def test_32_bits_scroll_and_moving_box(self):
        avi, raw = self.write("avi", "rgb32", 5)
        self.assert_decodes_exactly(avi, raw, "rgb24", "bgr0")
        packets = packet_flags(avi)
        self.assertEqual([n for n, p in enumerate(packets) if "K" in p[0]], [0, 5, 10])
        # The repeated picture: a flag byte and the zero vectors, deflated.
        self.assertLess(packets[STILL_FRAME][1], 40)

    def test_16_bits(self):
        self.assert_decodes_exactly(*self.write("avi", "rgb16", 4), "rgb555le", "rgb555le")

    def test_8_bits_with_a_palette_change(self):
        # Through the compressed stream the new palette is a new format: Wine
        # begins the compressor again, which starts with a key frame (Wine's
        # index keeps its own key frame marks).
        avi, raw = self.write("avi", "pal8", 20)
        self.assert_decodes_exactly(avi, raw, "rgb24", "pal8")
        self.assertEqual(packet_flags(avi)[PALETTE_FRAME][2], "01")
        # Frame by frame the palette goes into an inter frame (flag 2).
        avi, raw = self.write("direct", "pal8", 20)
        self.assert_decodes_exactly(avi, raw, "rgb24", "pal8")
        flags, _, first_byte = packet_flags(avi)[PALETTE_FRAME]
        self.assertEqual((flags[0], first_byte), ("_", "02"))


if __name__ == "__main__":
    unittest.main()

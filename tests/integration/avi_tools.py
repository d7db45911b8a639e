"""Pictures for the screen, and what ffprobe and ffmpeg (and the tests
themselves) read from AVI files."""
import json
import struct
import subprocess


def pattern_rgb(x, y):
    """The colour of the test pattern at (x, y): every pixel of a region
    differs from its neighbours."""
    return ((x * 7 + y * 3) & 255, (x ^ y) & 255, ((x // 4) * 13 + (y // 4) * 29) & 255)


def write_pattern(path, width, height):
    """The pattern as a binary PPM picture."""
    rows = bytearray()
    for y in range(height):
        for x in range(width):
            rows.extend(pattern_rgb(x, y))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(bytes(rows))


def region_rgb(left, top, width, height):
    """The pattern's pixels of a screen region, rows top-down, as rgb24."""
    out = bytearray()
    for y in range(top, top + height):
        for x in range(left, left + width):
            out.extend(pattern_rgb(x, y))
    return bytes(out)


def video_stream(path):
    proc = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_streams", "-of", "json", path],
                          capture_output=True, text=True, check=True)
    return json.loads(proc.stdout)["streams"][0]


def packets(path):
    """Video packets in file order: (pts, size)."""
    proc = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_packets", "-of", "json", path],
                          capture_output=True, text=True, check=True)
    return [(int(p.get("pts", -1)), int(p["size"])) for p in json.loads(proc.stdout).get("packets", [])]


def frames_rgb(path, width, height):
    """Every decoded frame (empty positions repeat nothing: -vsync passthrough)."""
    proc = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-vsync", "passthrough", "-f", "rawvideo",
                           "-pix_fmt", "rgb24", "-"], capture_output=True, check=True)
    size = width * height * 3
    data = proc.stdout
    return [data[i:i + size] for i in range(0, len(data) - size + 1, size)]


def differing_pixels(frame, expected, width):
    """(x, y) of every pixel where two rgb24 pictures differ."""
    out = []
    for i in range(0, min(len(frame), len(expected)), 3):
        if frame[i:i + 3] != expected[i:i + 3]:
            p = i // 3
            out.append((p % width, p // width))
    return out


def riff_chunks(data, start, end, path=()):
    """Every chunk of a RIFF byte range as (path of list types, id, offset of its data, size)."""
    out = []
    i = start
    while i + 8 <= end:
        ckid, size = struct.unpack("<4sI", data[i:i + 8])
        if ckid in (b"RIFF", b"LIST"):
            kind = data[i + 8:i + 12]
            out.append((path, ckid, i + 8, size))
            out.extend(riff_chunks(data, i + 12, i + 8 + size, path + (kind,)))
        else:
            out.append((path, ckid, i + 8, size))
        i += 8 + size + (size & 1)
    return out


class AviFile:
    """The parts of an AVI file the tests look at, read from its bytes. strh,
    strf and strf_bytes are the first (video) stream's."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.chunks = riff_chunks(self.data, 0, len(self.data))
        self.strh, self.strf_bytes = self.stream_headers(0)
        self.strf = struct.unpack("<IiiHHIIiiII", self.strf_bytes[:40])
        idx = self.first(b"idx1")
        self.index = [struct.unpack("<4sIII", self.data[idx[2] + k * 16:idx[2] + k * 16 + 16])
                      for k in range(idx[3] // 16)]

    def first(self, ckid):
        return next(c for c in self.chunks if c[1] == ckid)

    def stream_headers(self, number):
        """A stream's strh fields and its strf bytes, by stream number."""
        strh = [c for c in self.chunks if c[1] == b"strh"][number]
        strf = [c for c in self.chunks if c[1] == b"strf"][number]
        return (struct.unpack("<4s4sIHHIIIIIIIIhhhh", self.data[strh[2]:strh[2] + 56]),
                self.data[strf[2]:strf[2] + strf[3]])

    def indexed_data(self, ckid):
        """The data of every chunk of that id, in the index's order."""
        movi = next(c[2] for c in self.chunks if c[1] == b"LIST" and self.data[c[2]:c[2] + 4] == b"movi")
        return [self.data[movi + offset + 8:movi + offset + 8 + size]
                for entry, _, offset, size in self.index if entry == ckid]

    def colour_table(self):
        """The strf colour table as (r, g, b) entries."""
        table = self.strf_bytes[40:]
        return [(table[i + 2], table[i + 1], table[i]) for i in range(0, len(table) - 3, 4)]

    def video_entries(self):
        """Index entries of the video stream: frames, empty positions and palette changes."""
        return [e for e in self.index if e[0][:2] == b"00"]

    def positions(self):
        return [e for e in self.video_entries() if e[0][2:] in (b"db", b"dc")]

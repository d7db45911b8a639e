"""Pictures for the screen and what ffprobe and ffmpeg read from AVI files."""
import json
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

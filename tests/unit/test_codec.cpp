// The ZMBV codec through its Video Compression Manager driver, installed
// in this process as a function: known pictures compressed and decompressed
// pixel-exact, the sizes that show the vectors work, key frames, palettes,
// formats refused and broken frames refused.
#include "doctest.h"

#include "codec/ZmbvDriver.h"

#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kZmbv = mmioFOURCC('Z', 'M', 'B', 'V');

struct Rgb {
    uint8_t r, g, b;
};
using Scene = std::function<Rgb(int x, int y, int frame)>;

Rgb Pattern(int x, int y) {
    return {uint8_t(x * 7 + y * 3), uint8_t(x ^ y), uint8_t((x / 4) * 13 + (y / 4) * 29)};
}

// A DIB format: header, then masks (BI_BITFIELDS) or colour table.
struct Format {
    std::vector<uint8_t> bytes;
    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    RGBQUAD* Colours() { return reinterpret_cast<RGBQUAD*>(bytes.data() + sizeof(BITMAPINFOHEADER)); }
};

// bits 15 means 16-bit 565 (BI_BITFIELDS); 16 is BI_RGB 555.
Format MakeFormat(int width, int height, int bits, bool topDown = false) {
    Format f;
    f.bytes.assign(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER* h = f.Header();
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = topDown ? -height : height;
    h->biPlanes = 1;
    h->biBitCount = WORD(bits == 15 ? 16 : bits);
    h->biCompression = bits == 15 ? BI_BITFIELDS : BI_RGB;
    h->biSizeImage = DWORD((width * h->biBitCount + 31) / 32 * 4 * height);
    if (bits == 15) {
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(f.Colours(), masks, sizeof masks);
    }
    if (bits == 8) {
        h->biClrUsed = 256;
        for (int i = 0; i < 256; ++i) f.Colours()[i] = RGBQUAD{uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 0};
    }
    return f;
}

int Stride(Format& f) { return (f.Header()->biWidth * f.Header()->biBitCount + 31) / 32 * 4; }

// The scene as the DIB's pixels (8 bits: an index from the colour).
std::vector<uint8_t> Picture(Format& f, const Scene& scene, int frame) {
    BITMAPINFOHEADER* h = f.Header();
    const int width = h->biWidth, height = std::abs(h->biHeight), stride = Stride(f);
    std::vector<uint8_t> dib(size_t(stride) * height, 0xEE);   // row padding left as junk
    for (int y = 0; y < height; ++y) {
        uint8_t* row = dib.data() + size_t(h->biHeight < 0 ? y : height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const Rgb c = scene(x, y, frame);
            unsigned v = 0;
            switch (h->biBitCount) {
            case 8: row[x] = uint8_t(c.r ^ c.g ^ c.b); break;
            case 16:
                v = h->biCompression == BI_BITFIELDS ? (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3
                                                     : (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3;
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
                break;
            default:
                row[4 * x] = c.b;
                row[4 * x + 1] = c.g;
                row[4 * x + 2] = c.r;
                row[4 * x + 3] = 0;
            }
        }
    }
    return dib;
}

// The pixels of two DIBs of one format, without the row padding.
bool SamePixels(Format& f, const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    const size_t used = (size_t(f.Header()->biWidth) * f.Header()->biBitCount + 7) / 8;
    for (size_t row = 0; row < a.size() / Stride(f); ++row)
        if (std::memcmp(a.data() + row * Stride(f), b.data() + row * Stride(f), used) != 0) return false;
    return true;
}

struct Installed {
    Installed() { ICInstall(ICTYPE_VIDEO, kZmbv, reinterpret_cast<LPARAM>(ZmbvDriverProc), nullptr, ICINSTALL_FUNCTION); }
    ~Installed() { ICRemove(ICTYPE_VIDEO, kZmbv, 0); }
};

struct Handle {
    HIC ic;
    explicit Handle(UINT mode) : ic(ICOpen(ICTYPE_VIDEO, kZmbv, mode)) {}
    ~Handle() {
        if (ic) ICClose(ic);
    }
};

struct Frame {
    std::vector<uint8_t> data;
    bool key;
};

// A compressor session: ICM_COMPRESS_BEGIN, frames, ICM_COMPRESS_END.
struct Compressor {
    Handle handle{ICMODE_COMPRESS};
    Format& input;
    std::vector<uint8_t> outFormat;
    std::vector<uint8_t> buffer;

    explicit Compressor(Format& in) : input(in) {
        REQUIRE(handle.ic);
        outFormat.resize(size_t(ICCompressGetFormatSize(handle.ic, in.Header())));
        REQUIRE(ICCompressGetFormat(handle.ic, in.Header(), Out()) == ICERR_OK);
        CHECK(Out()->biCompression == kZmbv);
        CHECK(Out()->biBitCount == in.Header()->biBitCount);
        REQUIRE(ICCompressBegin(handle.ic, in.Header(), Out()) == ICERR_OK);
        buffer.resize(ICCompressGetSize(handle.ic, in.Header(), Out()));
    }
    ~Compressor() { ICCompressEnd(handle.ic); }
    BITMAPINFOHEADER* Out() { return reinterpret_cast<BITMAPINFOHEADER*>(outFormat.data()); }

    Frame Compress(std::vector<uint8_t>& dib, int number, bool askKey = false) {
        DWORD flags = 0, ckid = 0;
        const LRESULT result = ICCompress(handle.ic, askKey ? ICCOMPRESS_KEYFRAME : 0, Out(), buffer.data(),
                                          input.Header(), dib.data(), &ckid, &flags, number, 0, 0, nullptr, nullptr);
        REQUIRE(result == ICERR_OK);
        return {std::vector<uint8_t>(buffer.begin(), buffer.begin() + Out()->biSizeImage), (flags & AVIIF_KEYFRAME) != 0};
    }
};

// A decompressor session writing DIBs of the given format.
struct Decompressor {
    Handle handle{ICMODE_DECOMPRESS};
    std::vector<uint8_t> inFormat;
    Format& output;

    Decompressor(const BITMAPINFOHEADER* compressed, size_t formatSize, Format& out)
        : inFormat(reinterpret_cast<const uint8_t*>(compressed), reinterpret_cast<const uint8_t*>(compressed) + formatSize),
          output(out) {
        REQUIRE(handle.ic);
        REQUIRE(ICDecompressQuery(handle.ic, In(), out.Header()) == ICERR_OK);
        REQUIRE(ICDecompressBegin(handle.ic, In(), out.Header()) == ICERR_OK);
    }
    ~Decompressor() { ICDecompressEnd(handle.ic); }
    BITMAPINFOHEADER* In() { return reinterpret_cast<BITMAPINFOHEADER*>(inFormat.data()); }

    LRESULT Decompress(std::vector<uint8_t> data, std::vector<uint8_t>& dib) {
        In()->biSizeImage = DWORD(data.size());
        dib.assign(size_t(Stride(output)) * std::abs(output.Header()->biHeight), 0);
        return ICDecompress(handle.ic, 0, In(), data.data(), output.Header(), dib.data());
    }
};

// Compresses the frames (a key frame asked for every keyEvery, if not 0),
// decompresses them into the same format and checks every pixel; returns
// the compressed frames.
std::vector<Frame> RoundTrip(Format& f, const Scene& scene, int frames, int keyEvery = 0) {
    Compressor compressor(f);
    Decompressor decompressor(compressor.Out(), compressor.outFormat.size(), f);
    std::vector<Frame> out;
    for (int n = 0; n < frames; ++n) {
        std::vector<uint8_t> dib = Picture(f, scene, n), decoded;
        out.push_back(compressor.Compress(dib, n, keyEvery && n % keyEvery == 0));
        REQUIRE(decompressor.Decompress(out.back().data, decoded) == ICERR_OK);
        INFO("frame " << n);
        CHECK(SamePixels(f, dib, decoded));
    }
    return out;
}

const Installed installed;

}  // namespace

TEST_CASE("codec: the driver tells what it is") {
    Handle handle(ICMODE_QUERY);
    REQUIRE(handle.ic);
    ICINFO info{};
    REQUIRE(ICGetInfo(handle.ic, &info, sizeof info) == sizeof info);
    CHECK(info.fccType == ICTYPE_VIDEO);
    CHECK(info.fccHandler == kZmbv);
    CHECK(std::wstring(info.szDescription) == L"Velmorax Screen Codec (ZMBV)");
}

TEST_CASE("codec: scroll and moving window come out exact and small") {
    const Scene scroll = [](int x, int y, int n) { return Pattern(x, y + 3 * n); };
    // A window of its own pattern moving 5 right, 2 down a frame over a still pattern.
    const Scene box = [](int x, int y, int n) {
        const int bx = 20 + 5 * n, by = 10 + 2 * n;
        if (x >= bx && x < bx + 90 && y >= by && y < by + 70) return Rgb{uint8_t((x - bx) * 9), uint8_t(y - by), 77};
        return Pattern(x, y);
    };
    for (const int bits : {8, 16, 15, 32}) {
        for (const bool topDown : {false, true}) {
            CAPTURE(bits);
            CAPTURE(topDown);
            Format f = MakeFormat(320, 200, bits, topDown);
            for (const Scene* scene : {&scroll, &box}) {
                const std::vector<Frame> frames = RoundTrip(f, *scene, 5);
                CHECK(frames[0].key);
                // Found by vectors: as XOR data the moved pixels would cost about a key frame.
                for (size_t n = 1; n < frames.size(); ++n) {
                    CHECK_FALSE(frames[n].key);
                    CHECK(frames[n].data.size() * 8 < frames[0].data.size());
                }
            }
        }
    }
}

TEST_CASE("codec: noise, a still picture and odd sizes") {
    const Scene noise = [](int x, int y, int n) {
        uint32_t v = uint32_t(x * 73856093) ^ uint32_t(y * 19349663) ^ uint32_t(n * 83492791);
        v = v * 2654435761u;
        return Rgb{uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8)};
    };
    const Scene still = [](int x, int y, int) { return Pattern(x, y); };
    for (const int bits : {8, 16, 32}) {
        CAPTURE(bits);
        for (const auto& size : {std::pair{1, 1}, std::pair{1001, 7}, std::pair{7, 1001}, std::pair{200, 150}}) {
            CAPTURE(size.first);
            Format f = MakeFormat(size.first, size.second, bits);
            RoundTrip(f, noise, 3);
        }
        Format f = MakeFormat(200, 150, bits);
        const std::vector<Frame> frames = RoundTrip(f, still, 3);
        CHECK(frames[2].data.size() < 40);   // nothing changed: zero vectors only
    }
}

TEST_CASE("codec: key frames where asked, at the start and after a new begin") {
    Format f = MakeFormat(64, 48, 32);
    const Scene scene = [](int x, int y, int n) { return Pattern(x + n, y); };
    Compressor compressor(f);
    for (int n = 0; n < 9; ++n) {
        std::vector<uint8_t> dib = Picture(f, scene, n);
        const Frame frame = compressor.Compress(dib, n, n % 4 == 0 && n > 0);
        CAPTURE(n);
        CHECK(frame.key == (n % 4 == 0));
        CHECK(frame.data[0] == (frame.key ? 1 : 0));
    }
    // A new begin is a new stream: the decoder must start from a whole picture.
    REQUIRE(ICCompressBegin(compressor.handle.ic, f.Header(), compressor.Out()) == ICERR_OK);
    std::vector<uint8_t> dib = Picture(f, scene, 9);
    CHECK(compressor.Compress(dib, 9).key);
}

TEST_CASE("codec: key frames after changes decode exactly and stay small") {
    // Grain that stays, a box that moves, a band that scrolls: key frames
    // take again what the last one found where nothing changed.
    const Scene scene = [](int x, int y, int n) {
        if (x >= 20 + 3 * n && x < 44 + 3 * n && y >= 10 && y < 30) return Rgb{200, 40, 40};
        if (y >= 60) return Pattern(x, y + 2 * n);
        return Rgb{uint8_t(90 + (x * 131 + y * 71) % 13), uint8_t(120 + (x * 37 + y * 11) % 7), 60};
    };
    for (const int bits : {8, 15, 32}) {
        CAPTURE(bits);
        Format f = MakeFormat(120, 90, bits);
        const std::vector<Frame> frames = RoundTrip(f, scene, 10, 3);
        CHECK(frames[9].key);
        CHECK(frames[9].data.size() < frames[0].data.size() * 11 / 10);
    }
}

TEST_CASE("codec: 8-bit palette change goes into an inter frame") {
    Format f = MakeFormat(100, 60, 8);
    Format out = MakeFormat(100, 60, 32);
    const Scene scene = [](int x, int y, int n) { return Pattern(x, y + n); };
    Compressor compressor(f);
    Decompressor decompressor(compressor.Out(), compressor.outFormat.size(), out);
    for (int n = 0; n < 5; ++n) {
        if (n == 3)
            for (int i = 0; i < 256; ++i) f.Colours()[i] = RGBQUAD{uint8_t(i * 7), uint8_t(i), uint8_t(255 - i), 0};
        std::vector<uint8_t> dib = Picture(f, scene, n), decoded;
        const Frame frame = compressor.Compress(dib, n);
        CHECK(frame.key == (n == 0));
        if (n == 3) CHECK(frame.data[0] == 2);   // the palette change flag
        REQUIRE(decompressor.Decompress(frame.data, decoded) == ICERR_OK);
        // True colours through the palette of that frame.
        bool same = true;
        for (int y = 0; y < 60 && same; ++y) {
            for (int x = 0; x < 100; ++x) {
                const RGBQUAD c = f.Colours()[dib[size_t(y) * Stride(f) + x]];
                const uint8_t* p = decoded.data() + size_t(y) * Stride(out) + 4 * x;
                same = same && p[0] == c.rgbBlue && p[1] == c.rgbGreen && p[2] == c.rgbRed;
            }
        }
        CAPTURE(n);
        CHECK(same);
    }
}

TEST_CASE("codec: formats players do not decode are refused") {
    Handle handle(ICMODE_COMPRESS);
    for (const int bits : {1, 4, 24}) {
        Format f = MakeFormat(64, 48, 32);
        f.Header()->biBitCount = WORD(bits);
        CAPTURE(bits);
        CHECK(ICCompressQuery(handle.ic, f.Header(), nullptr) == ICERR_BADFORMAT);
        CHECK(ICCompressGetFormatSize(handle.ic, f.Header()) == ICERR_BADFORMAT);
    }
    Format rle = MakeFormat(64, 48, 8);
    rle.Header()->biCompression = BI_RLE8;
    CHECK(ICCompressQuery(handle.ic, rle.Header(), nullptr) == ICERR_BADFORMAT);
    Format odd = MakeFormat(64, 48, 15);
    odd.Colours()[0] = RGBQUAD{0, 0x7C, 0, 0};   // masks that are neither 555 nor 565
    CHECK(ICCompressQuery(handle.ic, odd.Header(), nullptr) == ICERR_BADFORMAT);
    Format empty = MakeFormat(64, 48, 32);
    empty.Header()->biWidth = 0;
    CHECK(ICCompressQuery(handle.ic, empty.Header(), nullptr) == ICERR_BADFORMAT);
}

TEST_CASE("codec: broken frames are refused and the next key frame decodes") {
    Format f = MakeFormat(80, 50, 32);
    const Scene scene = [](int x, int y, int n) { return Pattern(x + 2 * n, y); };
    Compressor compressor(f);
    std::vector<std::vector<uint8_t>> dibs;
    std::vector<Frame> frames;
    for (int n = 0; n < 4; ++n) {
        dibs.push_back(Picture(f, scene, n));
        frames.push_back(compressor.Compress(dibs.back(), n, n == 2));
    }
    Decompressor decompressor(compressor.Out(), compressor.outFormat.size(), f);
    std::vector<uint8_t> decoded;
    CHECK(decompressor.Decompress(frames[1].data, decoded) != ICERR_OK);   // no key frame yet

    std::vector<uint8_t> wrongVersion = frames[0].data;
    wrongVersion[2] = 2;
    std::vector<uint8_t> wrongDepth = frames[0].data;
    wrongDepth[4] = 4;   // 8 bits in a 32-bit stream
    std::vector<uint8_t> truncated(frames[0].data.begin(), frames[0].data.end() - 9);
    std::vector<uint8_t> zeroBlock = frames[0].data;
    zeroBlock[5] = 0;
    for (const auto* bad : {&wrongVersion, &wrongDepth, &truncated, &zeroBlock})
        CHECK(decompressor.Decompress(*bad, decoded) != ICERR_OK);

    // Inter frames that go on from the key frame's stream with a stored
    // deflate block: too short for the vectors of 5 x 4 blocks, and vectors
    // that announce XOR data that is not there.
    auto stored = [](std::vector<uint8_t> payload) {
        const auto n = uint16_t(payload.size());
        std::vector<uint8_t> frame = {0, 0, uint8_t(n), uint8_t(n >> 8), uint8_t(~n), uint8_t(~n >> 8)};
        frame.insert(frame.end(), payload.begin(), payload.end());
        return frame;
    };
    for (const auto& payload : {std::vector<uint8_t>(39, 0), std::vector<uint8_t>(40, 1)}) {
        REQUIRE(decompressor.Decompress(frames[0].data, decoded) == ICERR_OK);
        CHECK(decompressor.Decompress(stored(payload), decoded) != ICERR_OK);
    }
    CHECK(decompressor.Decompress(frames[1].data, decoded) != ICERR_OK);   // broken until a key frame
    REQUIRE(decompressor.Decompress(frames[2].data, decoded) == ICERR_OK);
    REQUIRE(decompressor.Decompress(frames[3].data, decoded) == ICERR_OK);
    CHECK(SamePixels(f, dibs[3], decoded));
}

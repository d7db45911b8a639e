// codectool: writes AVI files through the codec's driver the way a program
// does (ICInstall of the DLL's DriverProc, then the AVI file services), for
// the integration tests. Frames are known pictures; the tool also writes
// them, as ffmpeg should decode them, so that a test can compare.
//
//   codectool list DLL                     installs the driver and prints what ICInfo/ICGetInfo show
//   codectool register DLL                 the same with the driver registered (ICINSTALL_DRIVER), as an
//                                          installer does it for other programs
//   codectool avi DLL SCENE KEYS OUT.avi EXPECTED.raw
//       SCENE: rgb32, rgb16 or pal8; KEYS: key frame every KEYS frames.
//       EXPECTED.raw: every frame top-down, rgb24 (rgb555le for rgb16).
//       pal8 changes its palette at frame 6 (a new format at that position).
//   codectool direct DLL SCENE KEYS OUT.avi EXPECTED.raw
//       the same frames compressed with ICCompress and stored as they come.
// Exit code 0 on success; a failed step is printed with its result code.
#include <windows.h>
#include <mmsystem.h>
#include <vfw.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kZmbv = mmioFOURCC('Z', 'M', 'B', 'V');
constexpr int kWidth = 161, kHeight = 97, kFrames = 14;
constexpr int kPaletteFrame = 6, kStillFrame = 9;   // frame 9 repeats frame 8

struct Rgb {
    uint8_t r, g, b;
};

// The scene: a pattern scrolling up 3 rows a frame, a box of its own
// pattern moving 4 right and 2 down a frame; frame kStillFrame repeats the
// one before it.
Rgb SceneColour(int x, int y, int frame) {
    const int n = frame >= kStillFrame ? frame - 1 : frame;
    const int bx = 10 + 4 * n, by = 5 + 2 * n;
    if (x >= bx && x < bx + 40 && y >= by && y < by + 30) {
        const int i = x - bx, j = y - by;
        return {uint8_t(255 - i * 5), uint8_t(j * 8), uint8_t(128 + (i ^ j))};
    }
    const int sy = y + 3 * n;
    return {uint8_t(x * 7 + sy * 3), uint8_t(x ^ sy), uint8_t((x / 4) * 13 + (sy / 4) * 29)};
}

// 8 bits: 64 colours of a palette that changes at kPaletteFrame.
uint8_t SceneIndex(int x, int y, int frame) {
    const Rgb c = SceneColour(x, y, frame);
    return uint8_t((c.r >> 6) | (c.g >> 6) << 2 | (c.b >> 6) << 4);
}

Rgb PaletteEntry(int index, int frame) {
    const uint8_t a = uint8_t((index & 3) * 85), b = uint8_t((index >> 2 & 3) * 85), c = uint8_t((index >> 4 & 3) * 85);
    if (frame >= kPaletteFrame) return {uint8_t(255 - c), a, uint8_t(b ^ 0x5A)};
    return {a, b, c};
}

struct Scene {
    int bits;
    std::vector<uint8_t> format;   // BITMAPINFO with its colour table

    BITMAPINFOHEADER* Header() { return reinterpret_cast<BITMAPINFOHEADER*>(format.data()); }
    LONG FormatSize() const { return LONG(format.size()); }
    int Stride() const { return (kWidth * bits + 31) / 32 * 4; }

    void SetPalette(int frame) {
        if (bits != 8) return;
        auto* table = reinterpret_cast<RGBQUAD*>(format.data() + sizeof(BITMAPINFOHEADER));
        for (int i = 0; i < 256; ++i) {
            const Rgb c = PaletteEntry(i, frame);
            table[i] = RGBQUAD{c.b, c.g, c.r, 0};
        }
    }

    // A bottom-up DIB, as a screen grab gives it.
    std::vector<uint8_t> Frame(int frame) const {
        std::vector<uint8_t> dib(size_t(Stride()) * kHeight, 0);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* row = dib.data() + size_t(kHeight - 1 - y) * Stride();
            for (int x = 0; x < kWidth; ++x) {
                const Rgb c = SceneColour(x, y, frame);
                if (bits == 8) {
                    row[x] = SceneIndex(x, y, frame);
                } else if (bits == 16) {
                    const unsigned v = unsigned(c.r >> 3) << 10 | unsigned(c.g >> 3) << 5 | unsigned(c.b >> 3);
                    row[2 * x] = uint8_t(v);
                    row[2 * x + 1] = uint8_t(v >> 8);
                } else {
                    row[4 * x] = c.b;
                    row[4 * x + 1] = c.g;
                    row[4 * x + 2] = c.r;
                }
            }
        }
        return dib;
    }

    // The frame as ffmpeg should give it: top-down rgb24, or rgb555le.
    std::vector<uint8_t> Expected(int frame) const {
        std::vector<uint8_t> out;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                Rgb c = SceneColour(x, y, frame);
                if (bits == 8) c = PaletteEntry(SceneIndex(x, y, frame), frame);
                if (bits == 16) {
                    const unsigned v = unsigned(c.r >> 3) << 10 | unsigned(c.g >> 3) << 5 | unsigned(c.b >> 3);
                    out.push_back(uint8_t(v));
                    out.push_back(uint8_t(v >> 8));
                } else {
                    out.insert(out.end(), {c.r, c.g, c.b});
                }
            }
        }
        return out;
    }
};

bool MakeScene(const std::string& name, Scene& scene) {
    scene.bits = name == "rgb32" ? 32 : name == "rgb16" ? 16 : name == "pal8" ? 8 : 0;
    if (!scene.bits) return false;
    scene.format.assign(sizeof(BITMAPINFOHEADER) + (scene.bits == 8 ? 256 * sizeof(RGBQUAD) : 0), 0);
    BITMAPINFOHEADER* h = scene.Header();
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = kWidth;
    h->biHeight = kHeight;
    h->biPlanes = 1;
    h->biBitCount = WORD(scene.bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = DWORD(scene.Stride() * kHeight);
    h->biClrUsed = scene.bits == 8 ? 256 : 0;
    scene.SetPalette(0);
    return true;
}

bool Install(const char* dll) {
    HMODULE module = LoadLibraryA(dll);
    if (!module) {
        std::printf("LoadLibrary failed: %lu\n", GetLastError());
        return false;
    }
    auto proc = reinterpret_cast<DRIVERPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DriverProc")));
    if (!proc) {
        std::printf("no DriverProc export\n");
        return false;
    }
    if (!ICInstall(ICTYPE_VIDEO, kZmbv, reinterpret_cast<LPARAM>(proc), nullptr, ICINSTALL_FUNCTION)) {
        std::printf("ICInstall failed\n");
        return false;
    }
    return true;
}

void PrintCodec(DWORD handler) {
    std::printf("%.4s", reinterpret_cast<const char*>(&handler));
    if (HIC ic = ICOpen(ICTYPE_VIDEO, handler, ICMODE_QUERY)) {
        ICINFO details{};
        if (ICGetInfo(ic, &details, sizeof details))
            std::printf("\t%ls\t%ls\t0x%lx", details.szName, details.szDescription, details.dwFlags);
        ICClose(ic);
    }
    std::printf("\n");
}

// The codecs by index (as a list of compressors shows them), then ours by
// its code: Wine lists only registered drivers by index, while one installed
// as a function opens by its code.
int List() {
    ICINFO info{};
    for (DWORD i = 0; ICInfo(ICTYPE_VIDEO, i, &info); ++i) PrintCodec(info.fccHandler);
    std::printf("by code:\n");
    PrintCodec(kZmbv);
    return 0;
}

bool WriteFile(const char* path, const std::vector<uint8_t>& data) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

bool Failed(const char* step, HRESULT result) {
    if (result == 0) return false;
    std::printf("%s failed: 0x%08lx\n", step, static_cast<unsigned long>(result));
    return true;
}

AVISTREAMINFOA StreamInfo(DWORD handler, const Scene& scene) {
    AVISTREAMINFOA info{};
    info.fccType = streamtypeVIDEO;
    info.fccHandler = handler;
    info.dwScale = 1;
    info.dwRate = 10;
    info.dwSuggestedBufferSize = DWORD(scene.Stride() * kHeight);
    info.rcFrame = {0, 0, kWidth, kHeight};
    return info;
}

// Through AVIMakeCompressedStream, as the recorder writes.
int WriteCompressed(Scene& scene, int keys, const char* out) {
    PAVIFILE file = nullptr;
    if (Failed("AVIFileOpen", AVIFileOpenA(&file, out, OF_WRITE | OF_CREATE, nullptr))) return 1;
    PAVISTREAM raw = nullptr, compressed = nullptr;
    AVISTREAMINFOA info = StreamInfo(kZmbv, scene);
    int status = 1;
    if (!Failed("AVIFileCreateStream", AVIFileCreateStreamA(file, &raw, &info))) {
        AVICOMPRESSOPTIONS options{};
        options.fccType = streamtypeVIDEO;
        options.fccHandler = kZmbv;
        options.dwKeyFrameEvery = DWORD(keys);
        options.dwQuality = 7500;
        options.dwFlags = AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_VALID;
        if (!Failed("AVIMakeCompressedStream", AVIMakeCompressedStream(&compressed, raw, &options, nullptr)) &&
            !Failed("AVIStreamSetFormat", AVIStreamSetFormat(compressed, 0, scene.format.data(), scene.FormatSize()))) {
            status = 0;
            for (int n = 0; n < kFrames && status == 0; ++n) {
                if (scene.bits == 8 && n == kPaletteFrame) {
                    scene.SetPalette(n);
                    if (Failed("AVIStreamSetFormat (palette)",
                               AVIStreamSetFormat(compressed, n, scene.format.data(), scene.FormatSize())))
                        status = 1;
                }
                std::vector<uint8_t> dib = scene.Frame(n);
                if (status == 0 &&
                    Failed("AVIStreamWrite", AVIStreamWrite(compressed, n, 1, dib.data(), LONG(dib.size()), 0,
                                                            nullptr, nullptr)))
                    status = 1;
            }
        }
    }
    if (compressed) AVIStreamRelease(compressed);
    if (raw) AVIStreamRelease(raw);
    if (file) AVIFileRelease(file);
    return status;
}

// ICCompress frame by frame into a stream that stores what it is given:
// the way to carry a palette change, which the compressed stream refuses.
int WriteDirect(Scene& scene, int keys, const char* out) {
    HIC ic = ICOpen(ICTYPE_VIDEO, kZmbv, ICMODE_COMPRESS);
    if (!ic) {
        std::printf("ICOpen failed\n");
        return 1;
    }
    const LONG formatSize = LONG(ICCompressGetFormatSize(ic, scene.Header()));
    std::vector<uint8_t> compressedFormat(size_t(formatSize > 0 ? formatSize : 0));
    auto* outHeader = reinterpret_cast<BITMAPINFOHEADER*>(compressedFormat.data());
    int status = 1;
    PAVIFILE file = nullptr;
    PAVISTREAM stream = nullptr;
    if (formatSize <= 0 || ICCompressGetFormat(ic, scene.Header(), outHeader) != ICERR_OK ||
        ICCompressBegin(ic, scene.Header(), outHeader) != ICERR_OK) {
        std::printf("compressor refused the format\n");
    } else if (!Failed("AVIFileOpen", AVIFileOpenA(&file, out, OF_WRITE | OF_CREATE, nullptr))) {
        AVISTREAMINFOA info = StreamInfo(kZmbv, scene);
        if (!Failed("AVIFileCreateStream", AVIFileCreateStreamA(file, &stream, &info)) &&
            !Failed("AVIStreamSetFormat", AVIStreamSetFormat(stream, 0, compressedFormat.data(), formatSize))) {
            std::vector<uint8_t> buffer(ICCompressGetSize(ic, scene.Header(), outHeader));
            status = 0;
            for (int n = 0; n < kFrames && status == 0; ++n) {
                scene.SetPalette(n);
                std::vector<uint8_t> dib = scene.Frame(n);
                DWORD flags = 0, ckid = 0;
                const DWORD asKey = keys > 0 && n % keys == 0 ? ICCOMPRESS_KEYFRAME : 0;
                outHeader->biSizeImage = DWORD(buffer.size());
                if (ICCompress(ic, asKey, outHeader, buffer.data(), scene.Header(), dib.data(), &ckid, &flags, n, 0,
                               0, nullptr, nullptr) != ICERR_OK) {
                    std::printf("ICCompress failed at frame %d\n", n);
                    status = 1;
                } else if (Failed("AVIStreamWrite", AVIStreamWrite(stream, n, 1, buffer.data(),
                                                                   LONG(outHeader->biSizeImage), flags, nullptr,
                                                                   nullptr))) {
                    status = 1;
                }
            }
        }
        ICCompressEnd(ic);
    }
    if (stream) AVIStreamRelease(stream);
    if (file) AVIFileRelease(file);
    ICClose(ic);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string verb = argv[1];
    if (verb == "register") {
        if (!ICInstall(ICTYPE_VIDEO, kZmbv, reinterpret_cast<LPARAM>(argv[2]), nullptr, ICINSTALL_DRIVER)) return 1;
        return List();
    }
    if (!Install(argv[2])) return 1;
    if (verb == "list") return List();
    if ((verb != "avi" && verb != "direct") || argc < 7) return 2;
    Scene scene;
    if (!MakeScene(argv[3], scene)) return 2;
    const int keys = std::atoi(argv[4]);
    std::vector<uint8_t> expected;
    for (int n = 0; n < kFrames; ++n) {
        const std::vector<uint8_t> frame = scene.Expected(n);
        expected.insert(expected.end(), frame.begin(), frame.end());
    }
    if (!WriteFile(argv[6], expected)) return 1;
    AVIFileInit();
    const int status = verb == "avi" ? WriteCompressed(scene, keys, argv[5]) : WriteDirect(scene, keys, argv[5]);
    AVIFileExit();
    ICRemove(ICTYPE_VIDEO, kZmbv, 0);
    return status;
}

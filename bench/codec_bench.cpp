// The codec alone on a synthetic desktop (see DesktopScene.h), for
// bench/codec_bench.py.
//
//   codec_bench encode WIDTH HEIGHT FRAMES KEYS   encodes the frames (rendered beforehand), prints
//                                                 CPU and wall time per frame and bytes per frame;
//                                                 checks that our decoder gives every frame back
//   codec_bench raw WIDTH HEIGHT FRAMES           writes the frames to standard output as raw bgr0
//   codec_bench memory WIDTH HEIGHT [short]       the key-frame deflater's peak memory per picture
//                                                 byte on noise (short: its worst case, a short
//                                                 match after every literal), three key frames
#include "DesktopScene.h"
#include "codec/ZmbvDecoder.h"
#include "codec/ZmbvEncoder.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) { return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

double WallSeconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

int Raw(int width, int height, int frames) {
    DesktopScene scene(width, height);
    std::vector<uint32_t> pixels;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    for (int n = 0; n < frames; ++n) {
        scene.Render(n, pixels);
        const auto* bytes = reinterpret_cast<const char*>(pixels.data());
        size_t left = pixels.size() * 4;
        while (left > 0) {
            DWORD written = 0;
            if (!WriteFile(out, bytes, DWORD(std::min<size_t>(left, 1 << 20)), &written, nullptr) || written == 0)
                return 1;
            bytes += written;
            left -= written;
        }
    }
    return 0;
}

int Encode(int width, int height, int frames, int keys) {
    DesktopScene scene(width, height);
    std::vector<std::vector<uint32_t>> pictures(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n) scene.Render(n, pictures[size_t(n)]);

    ZmbvEncoder encoder;
    if (!encoder.Begin(width, height, ZmbvFormat::Bgr0)) return 1;
    std::vector<uint8_t> buffer(encoder.MaxFrameBytes());
    std::vector<std::vector<uint8_t>> encoded;
    std::vector<double> wall;
    size_t keyBytes = 0, interBytes = 0;
    int keyCount = 0;
    double keyWall = 0;
    const double cpuStart = CpuSeconds(), wallStart = WallSeconds();
    for (int n = 0; n < frames; ++n) {
        const double before = WallSeconds();
        const ZmbvEncoded frame = encoder.Encode({reinterpret_cast<const uint8_t*>(pictures[size_t(n)].data()),
                                                  ptrdiff_t(width) * 4},
                                                 nullptr, keys > 0 && n % keys == 0, buffer.data(), buffer.size());
        wall.push_back(WallSeconds() - before);
        if (frame.bytes == 0) return 1;
        encoded.emplace_back(buffer.begin(), buffer.begin() + ptrdiff_t(frame.bytes));
        (frame.key ? keyBytes : interBytes) += frame.bytes;
        if (frame.key) {
            ++keyCount;
            keyWall += wall.back();
        }
    }
    const double cpu = CpuSeconds() - cpuStart, elapsed = WallSeconds() - wallStart;

    ZmbvDecoder decoder;
    std::vector<uint8_t> check(size_t(width) * height * 4);
    bool exact = decoder.Begin(width, height, 32);
    for (int n = 0; n < frames && exact; ++n) {
        exact = decoder.Decode(encoded[size_t(n)].data(), encoded[size_t(n)].size()) == ZmbvResult::Ok &&
                decoder.Write({check.data(), ptrdiff_t(width) * 4}, ZmbvOutput::Bgr0) &&
                std::memcmp(check.data(), pictures[size_t(n)].data(), check.size()) == 0;
    }

    std::printf("wall_ms_keys");
    for (int n = 0; n < frames; n += std::max(1, keys)) std::printf(" %.1f", wall[size_t(n)] * 1000);
    std::printf("\n");
    std::sort(wall.begin(), wall.end());
    std::printf("wall_ms_longest %.2f\n", wall.back() * 1000);
    const int inter = frames - keyCount;
    std::printf("frames %d keys %d\n", frames, keyCount);
    std::printf("cpu_ms_per_frame %.2f\n", cpu * 1000 / frames);
    std::printf("wall_ms_per_frame %.2f\n", elapsed * 1000 / frames);
    std::printf("wall_ms_median %.2f\n", wall[wall.size() / 2] * 1000);
    std::printf("wall_ms_key %.2f\n", keyCount ? keyWall * 1000 / keyCount : 0.0);
    std::printf("bytes_per_frame %.0f\n", double(keyBytes + interBytes) / frames);
    std::printf("bytes_key %.0f\n", keyCount ? double(keyBytes) / keyCount : 0.0);
    std::printf("bytes_inter %.0f\n", inter ? double(interBytes) / inter : 0.0);
    std::printf("decoded_exactly %s\n", exact ? "yes" : "NO");
    return exact ? 0 : 1;
}

size_t Commit(bool peak) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakPagefileUsage : counters.PagefileUsage;
}

int Memory(int width, int height, bool shortMatches) {
    const size_t size = size_t(width) * size_t(height) * 4;
    std::vector<uint8_t> picture(size), out(KeyFrameDeflater::Bound(size), 0);
    uint32_t seed = 1;
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        picture[i] = shortMatches && i % 4 ? 0 : uint8_t(seed >> 16);
    }
    KeyFrameDeflater::Layout layout;
    layout.pixelBytes = 4;
    layout.rowBytes = size_t(width) * 4;
    layout.blocksPerRow = size_t(width + 15) / 16;
    layout.blockBytes = 64;
    layout.blockRows = 16;
    std::vector<uint8_t> unchanged(layout.blocksPerRow * size_t(height + 15) / 16, 0);
    const size_t before = Commit(false);
    KeyFrameDeflater deflater;
    CodecWorker worker;   // as the encoder has one: for pictures deflated in pieces
    if (size >= KeyFrameDeflater::kPiecesFrom) worker.Start();
    for (int k = 0; k < 3; ++k) {
        layout.changedBlocks = k ? unchanged.data() : nullptr;
        if (!deflater.Deflate(picture.data(), size, layout, out.data(), out.size(), 0, &worker)) return 1;
    }
    const double peak = double(Commit(true) - before);
    std::printf("deflater_peak_mb %.1f\n", peak / 1e6);
    std::printf("deflater_bytes_per_picture_byte %.2f\n", peak / double(size));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string verb = argv[1];
    const int width = std::atoi(argv[2]), height = std::atoi(argv[3]), frames = argc >= 5 ? std::atoi(argv[4]) : 1;
    if (verb == "memory" && width > 0 && height > 0)
        return Memory(width, height, argc >= 5 && std::string(argv[4]) == "short");
    if (width < 1 || height < 1 || frames < 1) return 2;
    if (verb == "raw") return Raw(width, height, frames);
    if (verb == "encode" && argc >= 6) return Encode(width, height, frames, std::atoi(argv[5]));
    return 2;
}

// The key frame deflater: what it writes inflates to the picture, with or
// without the last picture's tokens and whatever the map of changed blocks
// says, also in pieces deflated side by side; and it fails cleanly when
// the output does not fit.
#include "doctest.h"

#include "codec/KeyFrameDeflater.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kBlock = 16;
constexpr size_t kPalette = 768;

// Inflates a key frame as a player does: a new stream, one sync flush.
std::vector<uint8_t> Inflate(const std::vector<uint8_t>& deflated, size_t size) {
    std::vector<uint8_t> out(size + 1);
    z_stream stream{};
    REQUIRE(inflateInit(&stream) == Z_OK);
    stream.next_in = const_cast<Bytef*>(deflated.data());
    stream.avail_in = uInt(deflated.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    CHECK((result == Z_OK || result == Z_BUF_ERROR));
    CHECK(stream.avail_in == 0);
    out.resize(stream.total_out);
    inflateEnd(&stream);
    return out;
}

uint32_t Next(uint32_t& seed) {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
}

// A picture with what screens have: flat areas, repeated strokes, grain.
std::vector<uint8_t> Screen(size_t prefix, size_t rowBytes, size_t rows, uint32_t seed) {
    std::vector<uint8_t> bytes(prefix + rowBytes * rows);
    for (size_t i = 0; i < prefix; ++i) bytes[i] = uint8_t(i * 7);
    for (size_t y = 0; y < rows; ++y)
        for (size_t x = 0; x < rowBytes; ++x) {
            uint8_t& b = bytes[prefix + y * rowBytes + x];
            if (y % 9 < 3) b = 0xF0;
            else if (y % 9 < 6) b = uint8_t((x / 8 + y) % 5 == 0 ? 0 : 0xFF);
            else b = uint8_t(x + y + Next(seed) % 12);
        }
    return bytes;
}

struct Case {
    size_t pixelBytes, width, rows, prefix;
};

}  // namespace

TEST_CASE("key frames inflate to their pictures, whatever the map of changes says") {
    const Case cases[] = {{4, 1, 1, 0}, {4, 7, 3, 0}, {2, 61, 17, 0}, {1, 200, 120, kPalette}, {4, 150, 100, 0},
                          {4, 3000, 12, 0}};   // rows longer than the window
    for (const Case& c : cases) {
        CAPTURE(c.width);
        CAPTURE(c.pixelBytes);
        const size_t rowBytes = c.width * c.pixelBytes;
        const size_t blocksPerRow = (c.width + kBlock - 1) / kBlock, blockRows = (c.rows + kBlock - 1) / kBlock;
        std::vector<uint8_t> changed(blocksPerRow * blockRows, 0);
        KeyFrameDeflater::Layout layout;
        layout.pixelBytes = c.pixelBytes;
        layout.rowBytes = rowBytes;
        layout.prefixBytes = c.prefix;
        layout.prefixChanged = false;
        layout.blocksPerRow = blocksPerRow;
        layout.blockBytes = kBlock * c.pixelBytes;
        layout.blockRows = kBlock;

        KeyFrameDeflater deflater;
        std::vector<uint8_t> picture = Screen(c.prefix, rowBytes, c.rows, 1), out(picture.size() * 2 + 64);
        auto roundTrip = [&](const uint8_t* map) {
            layout.changedBlocks = map;
            const size_t written = deflater.Deflate(picture.data(), picture.size(), layout, out.data(), out.size());
            REQUIRE(written > 0);
            CHECK(Inflate(std::vector<uint8_t>(out.begin(), out.begin() + long(written)), picture.size()) == picture);
            return written;
        };
        const size_t first = roundTrip(nullptr);

        // The same picture again: the last tokens taken whole, the same bytes.
        CHECK(roundTrip(changed.data()) == first);

        // A rectangle changed and marked so; the palette too.
        for (size_t y = c.rows / 3; y < c.rows * 2 / 3 + 1 && y < c.rows; ++y) {
            for (size_t x = rowBytes / 4; x < rowBytes / 2 + 1 && x < rowBytes; ++x)
                picture[c.prefix + y * rowBytes + x] ^= uint8_t(0x5A + x);
            for (size_t block = rowBytes / 4 / layout.blockBytes; block <= rowBytes / 2 / layout.blockBytes; ++block)
                changed[y / kBlock * blocksPerRow + block] = 1;
        }
        if (c.prefix) {
            picture[5] ^= 1;
            layout.prefixChanged = true;
        }
        roundTrip(changed.data());

        // Everything changed while the map says nothing did: the last
        // picture's tokens are checked against the bytes, never trusted.
        picture = Screen(c.prefix, rowBytes, c.rows, 2);
        std::fill(changed.begin(), changed.end(), uint8_t(0));
        layout.prefixChanged = false;
        roundTrip(changed.data());
    }
}

TEST_CASE("key frames that do not fit write nothing, and the next one is whole") {
    std::vector<uint8_t> picture = Screen(0, 400, 50, 3), out(picture.size() * 2);
    KeyFrameDeflater::Layout layout;
    layout.pixelBytes = 4;
    layout.rowBytes = 400;
    KeyFrameDeflater deflater;
    // The first key frame is searched more quickly than those that follow.
    const size_t first = deflater.Deflate(picture.data(), picture.size(), layout, out.data(), out.size());
    const size_t whole = deflater.Deflate(picture.data(), picture.size(), layout, out.data(), out.size());
    REQUIRE(whole > 0);
    CHECK(whole <= first);
    CHECK(deflater.Deflate(picture.data(), picture.size(), layout, out.data(), whole - 1) == 0);
    // After a failure nothing of the last key frame is taken again.
    CHECK(deflater.Deflate(picture.data(), picture.size(), layout, out.data(), out.size()) == first);
    CHECK(Inflate(std::vector<uint8_t>(out.begin(), out.begin() + long(first)), picture.size()) == picture);
}

TEST_CASE("a key frame deflated in pieces shared by two threads is one stream, the same as without the thread") {
    // Rows longer than the window, so that each piece reaches back into the
    // one before; five pieces of 8 rows, so that the threads take several
    // each; a key frame anew, then again over the last one's cuts.
    const size_t rowBytes = 4 * 9000, rows = 40;
    std::vector<uint8_t> picture = Screen(0, rowBytes, rows, 4), out(KeyFrameDeflater::Bound(picture.size()));
    std::vector<uint8_t> alone(out.size());
    const size_t blocksPerRow = (rowBytes / 4 + kBlock - 1) / kBlock;
    std::vector<uint8_t> changed(blocksPerRow * ((rows + kBlock - 1) / kBlock), 0);
    KeyFrameDeflater::Layout layout;
    layout.pixelBytes = 4;
    layout.rowBytes = rowBytes;
    layout.blocksPerRow = blocksPerRow;
    layout.blockBytes = kBlock * 4;
    layout.blockRows = kBlock;
    CodecWorker worker;
    REQUIRE(worker.Start());
    KeyFrameDeflater threaded, single;
    for (int frame = 0; frame < 2; ++frame) {
        CAPTURE(frame);
        layout.changedBlocks = frame ? changed.data() : nullptr;
        const size_t written = threaded.Deflate(picture.data(), picture.size(), layout, out.data(), out.size(), 5, &worker);
        REQUIRE(written > 0);
        CHECK(Inflate(std::vector<uint8_t>(out.begin(), out.begin() + long(written)), picture.size()) == picture);
        CHECK(single.Deflate(picture.data(), picture.size(), layout, alone.data(), alone.size(), 5) == written);
        CHECK(std::memcmp(alone.data(), out.data(), written) == 0);
        // A band across the cut after the second piece changes.
        for (size_t y = 13; y < 19; ++y)
            for (size_t x = 0; x < rowBytes; x += 5) picture[y * rowBytes + x] ^= 0x33;
        for (size_t y = 13; y < 19; ++y)
            std::fill_n(changed.begin() + long(y / kBlock * blocksPerRow), blocksPerRow, uint8_t(1));
    }
}

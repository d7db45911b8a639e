#include "ZmbvEncoder.h"

#include "BlockOps.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

struct ZmbvEncoder::Deflater {
    z_stream stream{};
    bool ready = false;
    ~Deflater() {
        if (ready) deflateEnd(&stream);
    }
};

namespace {

// Deflates one frame's payload and flushes it to a byte boundary; the
// bytes written, 0 when they do not fit.
size_t DeflateFrame(z_stream& stream, const uint8_t* data, size_t size, uint8_t* out, size_t room) {
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = out;
    stream.avail_out = static_cast<uInt>(std::min<size_t>(room, 0xFFFFFFFFu));
    const int result = deflate(&stream, Z_SYNC_FLUSH);
    // A full buffer may hold back flushed bits.
    if (result != Z_OK || stream.avail_in != 0 || stream.avail_out == 0) return 0;
    return size_t(stream.next_out - out);
}

// Key frames go through our own deflater (see KeyFrameDeflater.h), which
// leaves the stream for zlib to continue. Inter frames are mostly zeros:
// a small one (typing, a pointer moving) is cheap at level 6. Once windows
// scroll and move, the blocks of new content make payloads of 100 KB and
// more at 1920x1080, which level 6 deflates at about 60 instructions a
// byte and level 3 at a third of that, for about 800 bytes more a frame
// (a twentieth of the bytes with a key frame every 20). When much of the
// picture changed (video, noise), speed comes first.
constexpr int kSmallInterLevel = 6;
constexpr int kMovingInterLevel = 3;
constexpr int kLargeInterLevel = 1;
constexpr size_t kSmallInterBytes = 64 * 1024;
constexpr size_t kLargeInterShare = 8;   // an inter payload over 1/8 of the picture is large

int InterLevel(size_t payload, size_t picture) {
    if (payload <= kSmallInterBytes) return kSmallInterLevel;
    return payload > picture / kLargeInterShare ? kLargeInterLevel : kMovingInterLevel;
}
constexpr int kMemoryLevel = 8;          // zlib's default

}  // namespace

ZmbvEncoder::ZmbvEncoder() = default;
ZmbvEncoder::~ZmbvEncoder() = default;

bool ZmbvEncoder::Begin(int width, int height, ZmbvFormat format) {
    End();
    if (!ZmbvSizeFits(width, height, format)) return false;
    try {
        width_ = width;
        height_ = height;
        bpp_ = BytesPerPixel(format);
        blocksX_ = BlockCount(width, kZmbvBlockSize);
        blocksY_ = BlockCount(height, kZmbvBlockSize);
        rowBytes_ = size_t(width) * size_t(bpp_);
        previous_.assign(rowBytes_ * size_t(height), 0);
        const size_t palette = format == ZmbvFormat::Pal8 ? kZmbvPaletteBytes : 0;
        payload_.resize(palette + VectorAreaBytes(blocksX_, blocksY_) + previous_.size());
        hashes_.assign(size_t(blocksX_) * size_t(height), 0);
        lastVectors_.assign(size_t(blocksX_) * size_t(blocksY_), ZmbvVector{});
        changedSinceKey_.assign(lastVectors_.size(), 1);
        changed_.reserve(lastVectors_.size());
        newHashes_.resize(lastVectors_.size() * kZmbvBlockSize);
        unmatched_.reserve(lastVectors_.size());
        deflater_ = std::make_unique<Deflater>();
        // A raw stream behind the key frame's zlib header: the stream never
        // ends, so the checksum zlib would keep of every byte is never sent.
        if (deflateInit2(&deflater_->stream, kSmallInterLevel, Z_DEFLATED, -MAX_WBITS, kMemoryLevel,
                         Z_DEFAULT_STRATEGY) != Z_OK) {
            End();
            return false;
        }
        deflater_->ready = true;
        level_ = kSmallInterLevel;
        maxFrameBytes_ = FrameBound(width, height, format);
        // Large key frames are deflated in pieces shared by this thread and
        // the worker's (without one, all here).
        if (previous_.size() >= KeyFrameDeflater::kPiecesFrom) worker_.Start();
    } catch (const std::bad_alloc&) {
        End();
        return false;
    }
    format_ = format;
    needKey_ = true;
    hashesKnown_ = false;
    return true;
}

// The payload of an inter frame with every block XORed is the largest; a
// stored deflate block costs 5 bytes per 64 KB, the sync flush 5 more.
size_t ZmbvEncoder::FrameBound(int width, int height, ZmbvFormat format) {
    if (!ZmbvSizeFits(width, height, format)) return 0;
    const size_t payload = (format == ZmbvFormat::Pal8 ? kZmbvPaletteBytes : 0) +
                           VectorAreaBytes(BlockCount(width, kZmbvBlockSize), BlockCount(height, kZmbvBlockSize)) +
                           size_t(width) * size_t(height) * size_t(BytesPerPixel(format));
    return kZmbvKeyHeaderBytes + std::max<size_t>(compressBound(uLong(payload)), KeyFrameDeflater::Bound(payload)) + 64;
}

void ZmbvEncoder::End() {
    deflater_.reset();
    format_ = ZmbvFormat::None;
    previous_ = {};
    payload_ = {};
    hashes_ = {};
    lastVectors_ = {};
    changedSinceKey_ = {};
    keyDeflater_.Forget();
    changed_ = {};
    newHashes_ = {};
    unmatched_ = {};
    hotCount_ = 0;
    maxFrameBytes_ = 0;
}

ZmbvEncoded ZmbvEncoder::Encode(const PictureView& picture, const uint8_t* palette, bool keyFrame, uint8_t* out,
                                size_t capacity) {
    ZmbvEncoded result;
    if (!Begun() || !picture.top || !out || (format_ == ZmbvFormat::Pal8 && !palette)) return result;
    result.key = keyFrame || needKey_;
    result.bytes = result.key ? EncodeKey(picture, palette, out, capacity)
                              : EncodeInter(picture, palette, out, capacity);
    needKey_ = result.bytes == 0;
    return result;
}

size_t ZmbvEncoder::EncodeKey(const PictureView& picture, const uint8_t* palette, uint8_t* out, size_t capacity) {
    if (capacity < kZmbvKeyHeaderBytes) return 0;
    const uint8_t header[kZmbvKeyHeaderBytes] = {kZmbvKeyFrame, kZmbvMajorVersion, kZmbvMinorVersion, kZmbvDeflated,
                                                 uint8_t(format_), kZmbvBlockSize, kZmbvBlockSize};
    std::memcpy(out, header, sizeof header);
    // Only the changed blocks differ from the decoder's last picture: they
    // are copied, and only their rows hashed again unless the hashes are
    // not known to match the picture (at the start, after a failure).
    FindChangedBlocks(picture);
    const bool hashAll = !hashesKnown_;
    hashesKnown_ = false;
    for (const Changed& c : changed_) {
        changedSinceKey_[size_t(c.block)] = 1;
        const Rect r = BlockRect(c.block);
        for (int row = 0; row < r.h; ++row)
            std::memcpy(PreviousAt(r.x0, r.y0 + row), picture.Row(r.y0 + row) + size_t(r.x0) * bpp_, r.bytes);
    }

    // The picture, led by its palette, as the decoder will inflate it.
    const uint8_t* input = previous_.data();
    size_t size = previous_.size();
    const size_t prefix = format_ == ZmbvFormat::Pal8 ? kZmbvPaletteBytes : 0;
    if (prefix) {
        paletteChangedSinceKey_ = paletteChangedSinceKey_ || std::memcmp(palette, palette_.data(), prefix) != 0;
        std::memcpy(palette_.data(), palette, prefix);
        std::memcpy(payload_.data(), palette, prefix);
        std::memcpy(payload_.data() + prefix, previous_.data(), previous_.size());
        input = payload_.data();
        size += prefix;
    }
    KeyFrameDeflater::Layout layout;
    layout.pixelBytes = size_t(bpp_);
    layout.rowBytes = rowBytes_;
    layout.prefixBytes = prefix;
    layout.prefixChanged = paletteChangedSinceKey_;
    layout.changedBlocks = changedSinceKey_.data();
    layout.blocksPerRow = size_t(blocksX_);
    layout.blockBytes = size_t(kZmbvBlockSize) * size_t(bpp_);
    layout.blockRows = kZmbvBlockSize;
    const size_t written =
        keyDeflater_.Deflate(input, size, layout, out + kZmbvKeyHeaderBytes, capacity - kZmbvKeyHeaderBytes, 0, &worker_);
    if (written == 0) return 0;
    std::fill(changedSinceKey_.begin(), changedSinceKey_.end(), uint8_t(0));
    paletteChangedSinceKey_ = false;

    // zlib goes on from where the key frame ends.
    z_stream& stream = deflater_->stream;
    const size_t dictionary = std::min(size, KeyFrameDeflater::kWindow);
    if (deflateReset(&stream) != Z_OK || !SetLevel(kSmallInterLevel, out) ||
        deflateSetDictionary(&stream, input + size - dictionary, uInt(dictionary)) != Z_OK)
        return 0;

    if (hashAll) {
        HashAllRows();
    } else {
        for (const Changed& c : changed_) {
            const Rect r = BlockRect(c.block);
            uint64_t* column = hashes_.data() + size_t(r.x0 / kZmbvBlockSize) * height_;
            for (int row = r.y0; row < r.y0 + r.h; ++row) column[row] = HashRow(PreviousAt(r.x0, row), r.bytes);
        }
    }
    hashesKnown_ = true;
    std::fill(lastVectors_.begin(), lastVectors_.end(), ZmbvVector{});
    hotCount_ = 0;
    return kZmbvKeyHeaderBytes + written;
}

// Right after a reset or a sync flush nothing is pending, so the level
// changes without a byte of output.
bool ZmbvEncoder::SetLevel(int level, uint8_t* next) {
    if (level == level_) return true;
    z_stream& stream = deflater_->stream;
    stream.next_out = next;
    stream.avail_out = 0;
    if (deflateParams(&stream, level, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    level_ = level;
    return true;
}

void ZmbvEncoder::HashAllRows() {
    for (int bx = 0; bx < blocksX_; ++bx) {
        const int x0 = bx * kZmbvBlockSize;
        const size_t bytes = size_t(std::min(kZmbvBlockSize, width_ - x0)) * bpp_;
        uint64_t* column = hashes_.data() + size_t(bx) * height_;
        for (int y = 0; y < height_; ++y) column[y] = HashRow(PreviousAt(x0, y), bytes);
    }
}

size_t ZmbvEncoder::EncodeInter(const PictureView& picture, const uint8_t* palette, uint8_t* out, size_t capacity) {
    if (capacity < 1) return 0;
    ++frameNumber_;
    uint8_t* payload = payload_.data();
    const bool paletteChanged =
        format_ == ZmbvFormat::Pal8 && std::memcmp(palette, palette_.data(), kZmbvPaletteBytes) != 0;
    out[0] = paletteChanged ? kZmbvPaletteChange : 0;
    if (paletteChanged) {
        for (int i = 0; i < kZmbvPaletteBytes; ++i) payload[i] = uint8_t(palette[i] ^ palette_[i]);
        std::memcpy(palette_.data(), palette, kZmbvPaletteBytes);
        payload += kZmbvPaletteBytes;
        paletteChangedSinceKey_ = true;
    }

    // An unchanged picture still gets its (zero) vectors: players refuse an
    // inter frame that inflates to nothing.
    FindChangedBlocks(picture);
    uint8_t* pairs = payload;
    std::memset(pairs, 0, VectorAreaBytes(blocksX_, blocksY_));
    for (Changed& c : changed_) QuickMatch(picture, c);
    HashChangedBlocks(picture);
    scrollDy_ = VoteScroll();
    for (Changed& c : changed_) ChooseVector(picture, c, pairs);
    SearchUnmatched(picture);
    uint8_t* xorOut = pairs + VectorAreaBytes(blocksX_, blocksY_);
    for (const Changed& c : changed_) xorOut = WriteBlock(picture, c, pairs, xorOut);
    RememberHotVectors();

    // The decoder now holds this picture.
    for (size_t i = 0; i < changed_.size(); ++i) {
        const Rect r = BlockRect(changed_[i].block);
        uint64_t* column = hashes_.data() + size_t(r.x0 / kZmbvBlockSize) * height_;
        lastVectors_[size_t(changed_[i].block)] = changed_[i].best;
        changedSinceKey_[size_t(changed_[i].block)] = 1;
        for (int row = 0; row < r.h; ++row) {
            std::memcpy(PreviousAt(r.x0, r.y0 + row), picture.Row(r.y0 + row) + size_t(r.x0) * bpp_, r.bytes);
            column[r.y0 + row] = newHashes_[i * kZmbvBlockSize + row];
        }
    }

    const size_t size = size_t(xorOut - payload_.data());
    if (!SetLevel(InterLevel(size, previous_.size()), out + 1)) return 0;
    const size_t written = DeflateFrame(deflater_->stream, payload_.data(), size, out + 1, capacity - 1);
    return written ? 1 + written : 0;
}

ZmbvEncoder::Rect ZmbvEncoder::BlockRect(int block) const {
    const int x0 = block % blocksX_ * kZmbvBlockSize, y0 = block / blocksX_ * kZmbvBlockSize;
    const int w = std::min(kZmbvBlockSize, width_ - x0), h = std::min(kZmbvBlockSize, height_ - y0);
    return {x0, y0, w, h, size_t(w) * size_t(bpp_)};
}

void ZmbvEncoder::FindChangedBlocks(const PictureView& picture) {
    changed_.clear();
    for (int by = 0; by < blocksY_; ++by) {
        const int y0 = by * kZmbvBlockSize, h = std::min(kZmbvBlockSize, height_ - y0);
        // Whole rows first: on a still screen most rows are equal and no
        // block of them needs a look; in the blocks, only the rows from the
        // first that differs.
        int first = 0;
        while (first < h && RowsEqual(picture.Row(y0 + first), PreviousAt(0, y0 + first), rowBytes_)) ++first;
        if (first == h) continue;
        for (int bx = 0; bx < blocksX_; ++bx) {
            const int x0 = bx * kZmbvBlockSize;
            const size_t bytes = size_t(std::min(kZmbvBlockSize, width_ - x0)) * bpp_;
            if (!BlockEqual(picture.Row(y0 + first) + size_t(x0) * bpp_, picture.stride, PreviousAt(x0, y0 + first),
                            ptrdiff_t(rowBytes_), bytes, h - first))
                changed_.push_back({by * blocksX_ + bx, -1, {}, 0, {}, 0, h, false});
        }
    }
}

// Most blocks of a moving picture move as they did in the last frame:
// their own last vector or one that matched many blocks lately reproduces
// them whole, and nothing else is tried.
void ZmbvEncoder::QuickMatch(const PictureView& picture, Changed& c) {
    c.best = ZmbvVector{};
    c.bestRows = 0;
    const ZmbvVector last = lastVectors_[size_t(c.block)];
    c.quick = !(last == ZmbvVector{}) && TryVector(picture, c, last);
    for (int i = 0; i < hotCount_ && !c.quick; ++i) c.quick = !(hot_[i] == last) && TryVector(picture, c, hot_[i]);
}

// New row hashes of the changed blocks, and for each block not matched yet
// the vertical vectors under which its key row appears in the previous
// picture.
void ZmbvEncoder::HashChangedBlocks(const PictureView& picture) {
    for (size_t i = 0; i < changed_.size(); ++i) {
        Changed& c = changed_[i];
        const Rect r = BlockRect(c.block);
        uint64_t* hashes = newHashes_.data() + i * kZmbvBlockSize;
        const uint64_t* column = hashes_.data() + size_t(r.x0 / kZmbvBlockSize) * height_;
        if (c.quick && c.best.dx == 0) {
            // The rows are those of the same column c.best.dy rows away.
            std::memcpy(hashes, column + r.y0 + c.best.dy, size_t(r.h) * sizeof *hashes);
            continue;
        }
        for (int row = 0; row < r.h; ++row) hashes[row] = HashRow(picture.Row(r.y0 + row) + size_t(r.x0) * bpp_, r.bytes);
        if (c.quick) continue;

        // Flat rows match everywhere: the key row differs from the one above,
        // looked for from the middle down, then from the top.
        for (int k = 0; k < r.h && c.keyRow < 0; ++k) {
            const int row = (r.h / 2 + k) % r.h;
            if (row > 0 && hashes[row] != hashes[row - 1]) c.keyRow = row;
        }
        if (c.keyRow < 0) continue;
        const uint64_t key = hashes[c.keyRow];
        const int lowest = std::max(kZmbvMinVector, -r.y0), highest = std::min(kZmbvMaxVector, height_ - r.h - r.y0);
        for (int d = 1; d <= -kZmbvMinVector && c.hashDyCount < kHashTries; ++d) {
            for (const int dy : {-d, d}) {
                if (dy < lowest || dy > highest || c.hashDyCount == kHashTries) continue;
                if (column[r.y0 + c.keyRow + dy] == key) c.hashDy[c.hashDyCount++] = int8_t(dy);
            }
        }
    }
}

// A scroll of the screen or of a window: the vertical vector that most
// changed blocks propose first.
int ZmbvEncoder::VoteScroll() const {
    int votes[kZmbvMaxVector - kZmbvMinVector + 1] = {};
    for (const Changed& c : changed_)
        if (c.hashDyCount > 0) ++votes[c.hashDy[0] - kZmbvMinVector];
    int best = 0, bestVotes = 1;
    for (int i = 0; i < int(std::size(votes)); ++i) {
        if (votes[i] > bestVotes) {
            best = i + kZmbvMinVector;
            bestVotes = votes[i];
        }
    }
    return best;
}

// Keeps the vector if more rows of the block are equal under it; true when
// all of them are.
bool ZmbvEncoder::TryVector(const PictureView& picture, Changed& c, ZmbvVector v) {
    const Rect r = BlockRect(c.block);
    if (r.x0 + v.dx < 0 || r.x0 + v.dx + r.w > width_ || r.y0 + v.dy < 0 || r.y0 + v.dy + r.h > height_) return false;
    const int rows = EqualRows(picture.Row(r.y0) + size_t(r.x0) * bpp_, picture.stride, PreviousAt(r.x0 + v.dx, r.y0 + v.dy),
                               ptrdiff_t(rowBytes_), r.bytes, r.h, c.bestRows + 1);
    if (rows > c.bestRows) {
        c.best = v;
        c.bestRows = rows;
    }
    return rows == r.h;
}

// The cheap candidates, most likely first: the block's own vector from the
// last time it changed, its neighbours' in this frame, the scroll, the
// vectors that matched lately, and what its row hashes propose.
void ZmbvEncoder::ChooseVector(const PictureView& picture, Changed& c, uint8_t* pairs) {
    if (c.quick) {
        pairs[2 * c.block] = uint8_t(c.best.dx * 2);
        pairs[2 * c.block + 1] = uint8_t(c.best.dy * 2);
        return;
    }
    const Rect r = BlockRect(c.block);
    const int bx = c.block % blocksX_, by = c.block / blocksX_;
    c.best = ZmbvVector{};
    c.bestRows = EqualRows(picture.Row(r.y0) + size_t(r.x0) * bpp_, picture.stride, PreviousAt(r.x0, r.y0),
                           ptrdiff_t(rowBytes_), r.bytes, r.h, 0);
    ZmbvVector tried[6 + kHotCount + kHashTries];
    int triedCount = 0;
    auto attempt = [&](ZmbvVector v) {
        if (v.dx == 0 && v.dy == 0) return false;
        for (int i = 0; i < triedCount; ++i)
            if (tried[i] == v) return false;
        tried[triedCount++] = v;
        return TryVector(picture, c, v);
    };
    auto pairAt = [&](int b) {
        return ZmbvVector{int8_t(int8_t(pairs[2 * b]) >> 1), int8_t(int8_t(pairs[2 * b + 1]) >> 1)};
    };

    bool whole = attempt(lastVectors_[size_t(c.block)]) || (bx > 0 && attempt(pairAt(c.block - 1))) ||
                 (by > 0 && attempt(pairAt(c.block - blocksX_))) ||
                 (bx + 1 < blocksX_ && by > 0 && attempt(pairAt(c.block - blocksX_ + 1))) ||
                 attempt(ZmbvVector{0, int8_t(scrollDy_)});
    for (int i = 0; i < hotCount_ && !whole; ++i) whole = attempt(hot_[i]);
    for (int i = 0; i < c.hashDyCount && !whole; ++i) whole = attempt(ZmbvVector{0, c.hashDy[i]});
    pairs[2 * c.block] = uint8_t(c.best.dx * 2);
    pairs[2 * c.block + 1] = uint8_t(c.best.dy * 2);
}

// A few of the blocks left over, spread across them and changing from
// frame to frame, are searched; a vector found is tried on all the others.
void ZmbvEncoder::SearchUnmatched(const PictureView& picture) {
    unmatched_.clear();
    for (size_t i = 0; i < changed_.size(); ++i)
        if (changed_[i].bestRows < changed_[i].rows && changed_[i].keyRow >= 0) unmatched_.push_back(i);
    if (unmatched_.empty()) return;
    const size_t step = std::max<size_t>(1, unmatched_.size() / kSearchesPerFrame);
    for (size_t k = frameNumber_ % step; k < unmatched_.size(); k += step) {
        Changed& c = changed_[unmatched_[k]];
        ZmbvVector found;
        if (c.bestRows == c.rows || !Search(picture, c, found)) continue;
        AddHot(found);
        for (const size_t i : unmatched_)
            if (changed_[i].bestRows < changed_[i].rows) TryVector(picture, changed_[i], found);
    }
}

// Every vector around the block whose key row matches, then the whole
// block; the first whole match wins.
bool ZmbvEncoder::Search(const PictureView& picture, const Changed& c, ZmbvVector& found) const {
    const Rect r = BlockRect(c.block);
    if (r.bytes < 8) return false;
    const uint8_t* block = picture.Row(r.y0) + size_t(r.x0) * bpp_;
    const uint8_t* target = block + picture.stride * c.keyRow;
    const uint64_t first = Load64(target);
    const int dyLow = std::max(kZmbvMinVector, -r.y0), dyHigh = std::min(kZmbvMaxVector, height_ - r.h - r.y0);
    const int dxLow = std::max(kZmbvMinVector, -r.x0), dxHigh = std::min(kZmbvMaxVector, width_ - r.w - r.x0);
    for (int dy = dyLow; dy <= dyHigh; ++dy) {
        const uint8_t* row = PreviousAt(0, r.y0 + c.keyRow + dy);
        for (int dx = dxLow; dx <= dxHigh; ++dx) {
            const uint8_t* candidate = row + size_t(r.x0 + dx) * bpp_;
            if (Load64(candidate) != first || (dx == 0 && dy == 0)) continue;
            if (!RowsEqual(candidate, target, r.bytes)) continue;
            if (BlockEqual(block, picture.stride, PreviousAt(r.x0 + dx, r.y0 + dy), ptrdiff_t(rowBytes_), r.bytes, r.h)) {
                found = ZmbvVector{int8_t(dx), int8_t(dy)};
                return true;
            }
        }
    }
    return false;
}

uint8_t* ZmbvEncoder::WriteBlock(const PictureView& picture, const Changed& c, uint8_t* pairs, uint8_t* xorOut) const {
    const bool withXor = c.bestRows < c.rows;
    pairs[2 * c.block] = uint8_t((c.best.dx * 2) | (withXor ? 1 : 0));
    pairs[2 * c.block + 1] = uint8_t(c.best.dy * 2);
    if (!withXor) return xorOut;
    const Rect r = BlockRect(c.block);
    const uint8_t* block = picture.Row(r.y0) + size_t(r.x0) * bpp_;
    const uint8_t* source = PreviousAt(r.x0 + c.best.dx, r.y0 + c.best.dy);
    for (int row = 0; row < r.h; ++row, xorOut += r.bytes)
        XorRow(xorOut, block + picture.stride * row, source + rowBytes_ * row, r.bytes);
    return xorOut;
}

void ZmbvEncoder::AddHot(ZmbvVector v) {
    for (int i = 0; i < hotCount_; ++i)
        if (hot_[i] == v) return;
    if (hotCount_ == kHotCount) --hotCount_;
    std::move_backward(hot_, hot_ + hotCount_, hot_ + hotCount_ + 1);
    hot_[0] = v;
    ++hotCount_;
}

// The vectors that matched most blocks this frame are tried first next
// frame: a window moving at a steady pace keeps its vector.
void ZmbvEncoder::RememberHotVectors() {
    struct Count {
        ZmbvVector v;
        int n;
    };
    Count counts[32];
    int distinct = 0;
    for (const Changed& c : changed_) {
        if (c.bestRows < c.rows || (c.best.dx == 0 && c.best.dy == 0)) continue;
        int i = 0;
        while (i < distinct && !(counts[i].v == c.best)) ++i;
        if (i < distinct) ++counts[i].n;
        else if (distinct < int(std::size(counts))) counts[distinct++] = {c.best, 1};
    }
    std::stable_sort(counts, counts + distinct, [](const Count& a, const Count& b) { return a.n > b.n; });
    hotCount_ = 0;
    for (int i = 0; i < distinct && hotCount_ < kHotCount; ++i) hot_[hotCount_++] = counts[i].v;
}

#include "KeyFrameDeflater.h"

#include "BlockOps.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr size_t kMaxMatch = 258;
constexpr size_t kMinMatch = 3;
constexpr size_t kTooFar = 4096;         // a match of 3 bytes farther back costs more than it saves
constexpr int kHashBits = 16;
constexpr size_t kLongBytes = 16;        // the long hash: repeats of text and icons
constexpr int kChainSteps = 32;          // earlier places looked at, per hash
constexpr size_t kInsertWithin = 64;     // matches up to this long leave every byte findable
constexpr size_t kLazyBelow = 32;        // a match shorter than this waits to see the next byte's
// A piece with no last picture to go by (the first key frame of a
// recording) is searched all through; it looks less far and decides at
// once, which halves its time (at 2560x1440, 75-84 ms -> 39-51 ms on one
// thread) for 2 % more bytes in it. The key frames after it take its cuts
// again where nothing changed, and keep 0.2 % more bytes for it.
constexpr int kFreshChainSteps = 4;
constexpr size_t kBlockTokens = 1 << 14;
constexpr size_t kStretchBytes = 1024;   // unchanged bytes looked for around a token, each way

constexpr int kLiteralCodes = 286, kDistanceCodes = 30, kLengthCodes = 19;
constexpr int kEndOfBlock = 256;
constexpr int kMaxBits = 15, kMaxLengthBits = 7;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr uint8_t kLengthOrder[kLengthCodes] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

// A match's length and distance, and a literal, in one word.
constexpr uint32_t kMatchFlag = 0x80000000u;
constexpr uint32_t MatchToken(size_t length, size_t distance) {
    return kMatchFlag | uint32_t(length) << 15 | uint32_t(distance - 1);
}

struct Codes {
    uint8_t lengthCode[kMaxMatch + 1];   // by match length: the code's index (0-28)
    uint8_t distanceCode[512];           // by distance - 1: below 256 directly, else (d - 1) >> 7 from 256
    constexpr Codes() : lengthCode(), distanceCode() {
        for (size_t length = 3, code = 0; length <= kMaxMatch; ++length) {
            while (code + 1 < 29 && kLengthBase[code + 1] <= length) ++code;
            lengthCode[length] = uint8_t(code);
        }
        for (int d = 0, code = 0; d < 256; ++d) {
            while (code + 1 < 30 && kDistanceBase[code + 1] <= d + 1) ++code;
            distanceCode[d] = uint8_t(code);
        }
        for (int high = 2, code = 0; high < 256; ++high) {
            while (code + 1 < 30 && kDistanceBase[code + 1] <= (high << 7) + 1) ++code;
            distanceCode[256 + high] = uint8_t(code);
        }
    }
    int Distance(size_t distance) const {
        const size_t d = distance - 1;
        return d < 256 ? distanceCode[d] : distanceCode[256 + (d >> 7)];
    }
};
constexpr Codes kCodes;

size_t MatchLength(const uint8_t* a, const uint8_t* b, size_t most) {
    size_t n = 0;
    for (; n + 8 <= most; n += 8) {
        const uint64_t diff = Load64(a + n) ^ Load64(b + n);
        if (diff) return n + size_t(__builtin_ctzll(diff) / 8);
    }
    while (n < most && a[n] == b[n]) ++n;
    return n;
}

uint32_t ShortHash(const uint8_t* p) {
    const uint64_t bytes = p[0] | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    return uint32_t((bytes * 0x9E3779B97F4A7C15ull) >> (64 - kHashBits));
}

uint32_t LongHash(const uint8_t* p) {
    return uint32_t((Load64(p) * 0x9E3779B97F4A7C15ull ^ Load64(p + 8) * 0xC2B2AE3D27D4EB4Full) >> (64 - kHashBits));
}

class BitWriter {
public:
    BitWriter(uint8_t* out, size_t capacity) : next_(out), end_(out + capacity) {}
    void Put(uint32_t bits, int count) {
        bits_ |= uint64_t(bits) << count_;
        count_ += count;
        if (count_ >= 32) {
            if (end_ - next_ < 4) {
                overflow_ = true;
                next_ = end_;
            } else {
                for (int i = 0; i < 4; ++i) *next_++ = uint8_t(bits_ >> (8 * i));
            }
            bits_ >>= 32;
            count_ -= 32;
        }
    }
    // Pads to a byte boundary and hands out what is pending.
    void Align() {
        for (; count_ > 0; count_ -= std::min(count_, 8), bits_ >>= 8) {
            if (next_ == end_) overflow_ = true;
            else *next_++ = uint8_t(bits_);
        }
        count_ = 0;
        bits_ = 0;
    }
    void Bytes(const uint8_t* data, size_t size) {
        if (size_t(end_ - next_) < size) {
            overflow_ = true;
            next_ = end_;
            return;
        }
        std::memcpy(next_, data, size);
        next_ += size;
    }
    uint8_t* Next() const { return next_; }
    bool Overflow() const { return overflow_; }

private:
    uint8_t* next_;
    uint8_t* end_;
    uint64_t bits_ = 0;
    int count_ = 0;
    bool overflow_ = false;
};

// Code lengths of at most limit bits for the symbols' counts; a symbol not
// seen gets none. Two symbols at least get one, so every code is complete.
// The symbols in use, by rising count (at least two: a code needs two leaves).
int SymbolsByCount(uint32_t* counts, int symbols, int* used) {
    int n = 0;
    for (int s = 0; s < symbols; ++s)
        if (counts[s]) used[n++] = s;
    for (int s = 0; n < 2; ++s)
        if (!counts[s]) {
            counts[s] = 1;
            used[n++] = s;
        }
    std::sort(used, used + n, [&](int a, int b) { return counts[a] != counts[b] ? counts[a] < counts[b] : a < b; });
    return n;
}

// Minimum-redundancy code lengths in place over the n sorted weights
// (Moffat and Katajainen): first the tree's parents, then the depths; how
// many codes each length has (lengths past kMaxBits counted at kMaxBits + 1).
void CountLengths(uint32_t* w, int n, int (&perLength)[kMaxBits + 2]) {
    w[0] += w[1];
    for (int next = 1, root = 0, leaf = 2; next < n - 1; ++next) {
        if (leaf >= n || w[root] < w[leaf]) {
            w[next] = w[root];
            w[root++] = uint32_t(next);
        } else {
            w[next] = w[leaf++];
        }
        if (leaf >= n || (root < next && w[root] < w[leaf])) {
            w[next] += w[root];
            w[root++] = uint32_t(next);
        } else {
            w[next] += w[leaf++];
        }
    }
    w[n - 2] = 0;
    for (int next = n - 3; next >= 0; --next) w[next] = w[w[next]] + 1;
    for (int available = 1, depth = 0, root = n - 2; available > 0; ++depth) {
        int internal = 0;
        while (root >= 0 && int(w[root]) == depth) {
            ++internal;
            --root;
        }
        for (; available > internal; --available) ++perLength[std::min(depth, kMaxBits + 1)];
        available = 2 * internal;
    }
}

// Too long: fold the longest onto the limit, then lengthen shorter codes
// until the lengths describe a code again.
void LimitLengths(int (&perLength)[kMaxBits + 2], int limit) {
    for (int b = limit + 1; b <= kMaxBits + 1; ++b) {
        perLength[limit] += perLength[b];
        perLength[b] = 0;
    }
    uint32_t kraft = 0;
    for (int b = 1; b <= limit; ++b) kraft += uint32_t(perLength[b]) << (limit - b);
    while (kraft > (1u << limit)) {
        --perLength[limit];
        for (int b = limit - 1; b > 0; --b)
            if (perLength[b]) {
                --perLength[b];
                perLength[b + 1] += 2;
                break;
            }
        --kraft;
    }
}

void BuildLengths(uint32_t* counts, int symbols, int limit, uint8_t* lengths) {
    int used[kLiteralCodes];
    const int n = SymbolsByCount(counts, symbols, used);
    uint32_t w[kLiteralCodes];
    for (int i = 0; i < n; ++i) w[i] = counts[used[i]];
    int perLength[kMaxBits + 2] = {};
    CountLengths(w, n, perLength);
    LimitLengths(perLength, limit);
    std::fill(lengths, lengths + symbols, uint8_t(0));
    for (int b = limit, i = 0; b > 0; --b)
        for (int k = 0; k < perLength[b]; ++k) lengths[used[i++]] = uint8_t(b);
}

// Canonical codes, bit-reversed: deflate sends a code's first bit first.
void BuildCodes(const uint8_t* lengths, int symbols, uint16_t* codes) {
    int perLength[kMaxBits + 1] = {};
    for (int s = 0; s < symbols; ++s) ++perLength[lengths[s]];
    perLength[0] = 0;
    uint32_t next[kMaxBits + 1] = {};
    for (int b = 1, code = 0; b <= kMaxBits; ++b) {
        code = (code + perLength[b - 1]) << 1;
        next[b] = uint32_t(code);
    }
    for (int s = 0; s < symbols; ++s) {
        const int length = lengths[s];
        if (!length) continue;
        uint32_t code = next[length]++, reversed = 0;
        for (int i = 0; i < length; ++i, code >>= 1) reversed = reversed << 1 | (code & 1);
        codes[s] = uint16_t(reversed);
    }
}

// One dynamic block: its tables, the cost in bits, the writing.
class DynamicBlock {
public:
    DynamicBlock(const uint32_t* begin, const uint32_t* end) : begin_(begin), end_(end) {
        for (const uint32_t* p = begin; p != end; ++p) {
            const uint32_t t = *p;
            if (t & kMatchFlag) {
                const int lc = kCodes.lengthCode[(t >> 15) & 0x1FF], dc = kCodes.Distance((t & 0x7FFF) + 1);
                ++literals_[257 + lc];
                ++distances_[dc];
                extraBits_ += kLengthExtra[lc] + kDistanceExtra[dc];
            } else {
                ++literals_[t];
            }
        }
        literals_[kEndOfBlock] = 1;
        BuildLengths(literals_, kLiteralCodes, kMaxBits, literalLengths_);
        BuildLengths(distances_, kDistanceCodes, kMaxBits, distanceLengths_);
        BuildCodes(literalLengths_, kLiteralCodes, literalCodes_);
        BuildCodes(distanceLengths_, kDistanceCodes, distanceCodes_);
        PlanHeader();
    }

    size_t Bits() const {
        size_t bits = 3 + headerBits_ + extraBits_;
        for (int s = 0; s < kLiteralCodes; ++s) bits += size_t(literals_[s]) * literalLengths_[s];
        for (int s = 0; s < kDistanceCodes; ++s) bits += size_t(distances_[s]) * distanceLengths_[s];
        return bits;
    }

    void Write(BitWriter& out) const {
        out.Put(2 << 1, 3);   // not the last block; dynamic tables
        out.Put(uint32_t(literalCount_ - 257), 5);
        out.Put(uint32_t(distanceCount_ - 1), 5);
        out.Put(uint32_t(orderCount_ - 4), 4);
        for (int i = 0; i < orderCount_; ++i) out.Put(lengthLengths_[kLengthOrder[i]], 3);
        for (const uint16_t run : runs_) {
            const int symbol = run & 0x1F, extra = run >> 5;
            out.Put(lengthCodes_[symbol], lengthLengths_[symbol]);
            if (symbol == 16) out.Put(uint32_t(extra), 2);
            else if (symbol == 17) out.Put(uint32_t(extra), 3);
            else if (symbol == 18) out.Put(uint32_t(extra), 7);
        }
        for (const uint32_t* p = begin_; p != end_; ++p) {
            const uint32_t t = *p;
            if (!(t & kMatchFlag)) {
                out.Put(literalCodes_[t], literalLengths_[t]);
                continue;
            }
            const size_t length = (t >> 15) & 0x1FF, distance = (t & 0x7FFF) + 1;
            const int lc = kCodes.lengthCode[length], dc = kCodes.Distance(distance);
            out.Put(literalCodes_[257 + lc], literalLengths_[257 + lc]);
            out.Put(uint32_t(length - kLengthBase[lc]), kLengthExtra[lc]);
            out.Put(distanceCodes_[dc], distanceLengths_[dc]);
            out.Put(uint32_t(distance - kDistanceBase[dc]), kDistanceExtra[dc]);
        }
        out.Put(literalCodes_[kEndOfBlock], literalLengths_[kEndOfBlock]);
    }

private:
    // The two tables' code lengths as one run-length coded sequence, and the
    // code of that coding.
    void PlanHeader() {
        literalCount_ = kLiteralCodes;
        while (literalCount_ > 257 && !literalLengths_[literalCount_ - 1]) --literalCount_;
        distanceCount_ = kDistanceCodes;
        while (distanceCount_ > 1 && !distanceLengths_[distanceCount_ - 1]) --distanceCount_;
        uint8_t all[kLiteralCodes + kDistanceCodes];
        std::memcpy(all, literalLengths_, size_t(literalCount_));
        std::memcpy(all + literalCount_, distanceLengths_, size_t(distanceCount_));
        const int total = literalCount_ + distanceCount_;

        uint32_t counts[kLengthCodes] = {};
        auto add = [&](int symbol, int extra) {
            runs_.push_back(uint16_t(symbol | extra << 5));
            ++counts[symbol];
        };
        for (int i = 0; i < total;) {
            const uint8_t value = all[i];
            int run = 1;
            while (i + run < total && all[i + run] == value) ++run;
            i += run;
            if (value == 0) {
                for (; run >= 11; run -= std::min(run, 138)) add(18, std::min(run, 138) - 11);
                if (run >= 3) add(17, run - 3), run = 0;
            } else {
                add(value, 0);
                --run;
                for (; run >= 3; run -= std::min(run, 6)) add(16, std::min(run, 6) - 3);
            }
            for (; run > 0; --run) add(value, 0);
        }
        BuildLengths(counts, kLengthCodes, kMaxLengthBits, lengthLengths_);
        BuildCodes(lengthLengths_, kLengthCodes, lengthCodes_);
        orderCount_ = kLengthCodes;
        while (orderCount_ > 4 && !lengthLengths_[kLengthOrder[orderCount_ - 1]]) --orderCount_;
        headerBits_ = 14 + 3 * size_t(orderCount_);
        for (int s = 0; s < kLengthCodes; ++s) headerBits_ += size_t(counts[s]) * lengthLengths_[s];
        headerBits_ += 2 * counts[16] + 3 * counts[17] + 7 * counts[18];
    }

    const uint32_t* begin_;
    const uint32_t* end_;
    uint32_t literals_[kLiteralCodes] = {};
    uint32_t distances_[kDistanceCodes] = {};
    uint8_t literalLengths_[kLiteralCodes] = {}, distanceLengths_[kDistanceCodes] = {};
    uint16_t literalCodes_[kLiteralCodes] = {}, distanceCodes_[kDistanceCodes] = {};
    uint8_t lengthLengths_[kLengthCodes] = {};
    uint16_t lengthCodes_[kLengthCodes] = {};
    std::vector<uint16_t> runs_;
    int literalCount_ = 0, distanceCount_ = 0, orderCount_ = 0;
    size_t extraBits_ = 0, headerBits_ = 0;
};

// Stored blocks of at most 65,535 bytes each.
void WriteStored(BitWriter& out, const uint8_t* data, size_t size) {
    do {
        const size_t part = std::min<size_t>(size, 0xFFFF);
        out.Put(0, 3);
        out.Align();
        const uint8_t header[4] = {uint8_t(part), uint8_t(part >> 8), uint8_t(~part), uint8_t(~part >> 8)};
        out.Bytes(header, 4);
        out.Bytes(data, part);
        data += part;
        size -= part;
    } while (size > 0);
}

size_t StoredBits(size_t size) { return (size + 5 * (size / 0xFFFF + 1)) * 8 + 7; }

// The most a piece of n bytes takes: every block stored (a block gathers
// kBlockTokens tokens, so it holds at least as many bytes, and a stored
// one costs its bytes, 5 more per 65,535 and a byte to align), the zlib
// header and the sync flush.
size_t PieceBound(size_t n) { return n + 6 * (n / kBlockTokens + 2) + 5 * (n / 0xFFFF + 2) + 16; }

struct Match {
    size_t length = 0;
    size_t distance = 0;
};

// A literal or match of the last key frame, read back from its cuts; a
// distance of 0 is a run of literals.
struct Cut {
    size_t length = 0;
    size_t distance = 0;
};

// A piece's cuts, compact: a byte below 0x80 is a run of that many plus one
// literals (the bytes themselves are the picture's); a match is 3 bytes,
// 0x80 with the top bits of distance - 1, its low byte, length - 3. The list
// grows to a limit and then keeps what it has: its start.
class CutList {
public:
    void Clear() {
        bytes_.clear();
        run_ = kNoRun;
        full_ = false;
    }
    void Release() {
        bytes_ = {};
        Clear();
    }
    void SetLimit(size_t limit) { limit_ = limit; }
    void Literal() {
        if (run_ != kNoRun && bytes_[run_] < 0x7F) {
            ++bytes_[run_];
        } else if (Room(1)) {
            run_ = bytes_.size();
            bytes_.push_back(0);
        }
    }
    void Match(size_t length, size_t distance) {
        run_ = kNoRun;
        if (!Room(3)) return;
        const size_t d = distance - 1;
        const uint8_t bytes[3] = {uint8_t(0x80 | d >> 8), uint8_t(d), uint8_t(length - kMinMatch)};
        bytes_.insert(bytes_.end(), bytes, bytes + 3);
    }
    void Swap(CutList& other) {
        bytes_.swap(other.bytes_);
        std::swap(run_, other.run_);
        std::swap(full_, other.full_);
    }
    const uint8_t* begin() const { return bytes_.data(); }
    const uint8_t* end() const { return bytes_.data() + bytes_.size(); }

private:
    static constexpr size_t kNoRun = SIZE_MAX;
    // Grows by doubling, never past the limit: once there the rest is lost.
    bool Room(size_t n) {
        if (full_) return false;
        if (bytes_.size() + n > bytes_.capacity()) {
            const size_t grown = std::min(limit_, std::max<size_t>(4096, bytes_.capacity() * 2));
            if (bytes_.size() + n > grown) {
                full_ = true;
                run_ = kNoRun;
                return false;
            }
            bytes_.reserve(grown);
        }
        return true;
    }
    std::vector<uint8_t> bytes_;
    size_t run_ = kNoRun;   // the run of literals still open
    size_t limit_ = 0;
    bool full_ = false;
};

size_t ReadCut(const uint8_t* p, Cut& cut) {
    if (p[0] < 0x80) {
        cut = {size_t(p[0]) + 1, 0};
        return 1;
    }
    cut = {size_t(p[2]) + kMinMatch, ((size_t(p[0]) & 0x7F) << 8 | p[1]) + 1};
    return 3;
}

// The last key frame's cuts in order, as the picture is walked.
class CutReader {
public:
    CutReader(const CutList& list, size_t from) : next_(list.begin()), end_(list.end()), at_(from) { Load(); }
    bool Valid() const { return valid_; }
    size_t At() const { return at_; }
    const Cut& Current() const { return cut_; }
    // To the cut that covers pos or comes after it; a run of literals that
    // pos falls in starts at pos.
    void SkipTo(size_t pos) {
        while (valid_ && at_ + cut_.length <= pos) {
            at_ += cut_.length;
            Load();
        }
        if (valid_ && at_ < pos && cut_.distance == 0) {
            cut_.length -= pos - at_;
            at_ = pos;
        }
    }
    // The cut after the current one.
    bool Peek(size_t& at, Cut& cut) const {
        if (next_ == end_) return false;
        ReadCut(next_, cut);
        at = at_ + cut_.length;
        return true;
    }

private:
    void Load() {
        valid_ = next_ != end_;
        if (valid_) next_ += ReadCut(next_, cut_);
    }
    const uint8_t* next_;
    const uint8_t* end_;
    size_t at_;
    Cut cut_;
    bool valid_ = false;
};

}  // namespace

// The search tables and the tokens not written yet, one set per thread:
// a piece starts them afresh, so the bytes do not depend on which thread
// took which piece.
struct KeyFrameDeflater::Tables {
    std::vector<uint32_t> head, chain;   // per hash of 3 bytes: the last position with it, plus one (0: none);
                                         // per position in the window: the one before with its hash, plus one
    std::vector<uint32_t> longHead, longChain;   // the same for 16 bytes
    std::vector<uint32_t> block;
};

// One piece of a key frame: the bytes [from, to) of the picture, its cuts
// now and the last time, and where it writes.
struct KeyFrameDeflater::Piece {
    struct Stretch {   // bytes [from, to) known to lie in unchanged blocks
        size_t from = 0;
        size_t to = 0;
    };

    // The picture, shared by the pieces.
    const uint8_t* data = nullptr;
    size_t size = 0;
    Layout layout;

    size_t from = 0, to = 0;
    size_t lastFrom = 0, lastTo = 0;   // what last covered
    uint8_t* out = nullptr;
    size_t capacity = 0;
    bool header = false;               // the first piece starts the zlib stream
    size_t written = 0;                // 0: failed

    Match ahead;                       // the match found one byte on, while deciding lazily
    bool haveAhead = false;
    Stretch target, source;            // the last unchanged stretches found for tokens and what they repeat
    Tables* t = nullptr;               // the search tables of the thread that runs the piece
    int chainSteps = kChainSteps;      // the search's effort (see kFreshChainSteps)
    size_t lazyBelow = kLazyBelow;
    CutList cuts, last;                // this picture's and the last one's

    void Run();
    bool Deflate();
    void Prepare();
    size_t TakeAgain(Cut cut, size_t pos);
    size_t NextHoldingCut(CutReader& reader, size_t pos);
    void Forget() {
        last.Release();
        cuts.Release();
        lastFrom = lastTo = 0;
    }
    void Literal(size_t pos) {
        t->block.push_back(data[pos]);
        cuts.Literal();
    }
    void Emit(Match m) {
        t->block.push_back(MatchToken(m.length, m.distance));
        cuts.Match(m.length, m.distance);
    }
    Match Longest(size_t pos) const;
    void Insert(size_t pos);
    void Parse(size_t& pos, size_t boundary);
    bool StillHolds(const Cut& cut, size_t pos);
    bool Unchanged(size_t pos, size_t length, Stretch& known) const;
};

void KeyFrameDeflater::Piece::Insert(size_t pos) {
    if (pos + 3 > size) return;
    uint32_t& h = t->head[ShortHash(data + pos)];
    t->chain[pos & (kWindow - 1)] = h;
    h = uint32_t(pos + 1);
    if (pos + kLongBytes > size) return;
    uint32_t& longH = t->longHead[LongHash(data + pos)];
    t->longChain[pos & (kWindow - 1)] = longH;
    longH = uint32_t(pos + 1);
}

// The longest match at pos among the pixel before, the places with the same
// 16 and the same 3 bytes, nearest first, and the row above. It ends with
// the piece.
Match KeyFrameDeflater::Piece::Longest(size_t pos) const {
    Match best;
    const size_t most = std::min(kMaxMatch, to - pos);
    if (most < kMinMatch) return best;
    const uint8_t* here = data + pos;
    auto consider = [&](size_t distance) {
        if (distance > pos || distance > kWindow) return;
        const uint8_t* there = here - distance;
        if (best.length && there[best.length] != here[best.length]) return;
        const size_t length = MatchLength(here, there, most);
        if (length > best.length) best = {length, distance};
    };
    auto walk = [&](const std::vector<uint32_t>& heads, const std::vector<uint32_t>& chains, uint32_t hash) {
        uint32_t candidate = heads[hash];
        for (int step = 0; candidate && step < chainSteps && best.length < most; ++step) {
            const size_t earlier = candidate - 1;
            if (pos - earlier > kWindow) break;
            if (pos - earlier != layout.pixelBytes) consider(pos - earlier);
            const uint32_t before = chains[earlier & (kWindow - 1)];
            if (before >= candidate) break;
            candidate = before;
        }
    };
    consider(layout.pixelBytes);
    if (best.length < most && pos + kLongBytes <= size) walk(t->longHead, t->longChain, LongHash(here));
    if (best.length < most) walk(t->head, t->chain, ShortHash(here));
    if (best.length < most && layout.rowBytes != layout.pixelBytes) consider(layout.rowBytes);
    if (best.length < kMinMatch || (best.length == kMinMatch && best.distance > kTooFar)) return {};
    return best;
}

// One literal or match from pos, deciding lazily: a short match waits to
// see whether the next byte starts a longer one. A match that runs over
// boundary ends there, where the last picture's tokens take over again.
void KeyFrameDeflater::Piece::Parse(size_t& pos, size_t boundary) {
    Match best = haveAhead ? ahead : Longest(pos);
    haveAhead = false;
    Insert(pos);
    if (best.length && best.length < lazyBelow && pos + 1 < to) {
        ahead = Longest(pos + 1);
        if (ahead.length > best.length) {
            haveAhead = true;
            best = {};
        }
    }
    if (best.length && pos < boundary && boundary - pos < best.length && boundary - pos >= kMinMatch)
        best.length = boundary - pos;
    if (!best.length) {
        Literal(pos++);
        return;
    }
    Emit(best);
    if (best.length <= kInsertWithin)
        for (size_t p = pos + 1; p < pos + best.length; ++p) Insert(p);
    pos += best.length;
}

// Whether the bytes from pos on lie in blocks that have not changed. The
// answer comes from the unchanged stretch found last (tokens are short and
// come in order), else the blocks around pos are looked at.
bool KeyFrameDeflater::Piece::Unchanged(size_t pos, size_t length, Stretch& known) const {
    const Layout& l = layout;
    if (!l.changedBlocks || length == 0) return false;
    const size_t end = pos + length;
    if (pos >= known.from && end <= known.to) return true;
    if (pos < l.prefixBytes) {
        if (l.prefixChanged) return false;
        known = {0, l.prefixBytes};
        if (end <= known.to) return true;
    }
    // The unchanged blocks from pos's on, row after row, and back to the
    // first of them in pos's row.
    const size_t at = pos < l.prefixBytes ? 0 : pos - l.prefixBytes;
    const size_t row = at / l.rowBytes, column = at % l.rowBytes;
    const size_t blocks = (l.rowBytes + l.blockBytes - 1) / l.blockBytes;
    auto changed = [&](size_t r, size_t b) { return l.changedBlocks[r / l.blockRows * l.blocksPerRow + b] != 0; };
    const size_t reach = (length + kStretchBytes) / l.blockBytes + 1;   // blocks looked at each way
    size_t first = column / l.blockBytes;
    if (changed(row, first)) return false;
    for (size_t looked = 0; first > 0 && looked < reach && !changed(row, first - 1); ++looked) --first;
    const size_t rows = (size - l.prefixBytes + l.rowBytes - 1) / l.rowBytes;
    size_t r = row, b = column / l.blockBytes;
    for (size_t looked = 0; r < rows && looked < reach && !changed(r, b); ++looked) {
        if (++b == blocks) {
            b = 0;
            ++r;
        }
    }
    const size_t stretchFrom = l.prefixBytes + row * l.rowBytes + first * l.blockBytes;
    const size_t stretchTo = std::min(size, l.prefixBytes + r * l.rowBytes + std::min(b * l.blockBytes, l.rowBytes));
    // A palette left unchanged joins on at the front.
    known = {stretchFrom == l.prefixBytes && !l.prefixChanged ? 0 : stretchFrom, stretchTo};
    return pos >= known.from && end <= known.to;
}

// A cut of the last picture is taken again where its bytes (and for a
// match the bytes it repeats) lie in unchanged blocks of this piece, so the
// search there would find what it found then; a match only when it still
// gives the same bytes. Literals are the picture's bytes, right whatever
// the map says.
bool KeyFrameDeflater::Piece::StillHolds(const Cut& cut, size_t pos) {
    if (pos >= to || cut.length > to - pos || !Unchanged(pos, cut.length, target)) return false;
    if (cut.distance == 0) return true;
    return cut.distance <= pos && Unchanged(pos - cut.distance, cut.length, source) &&
           MatchLength(data + pos, data + pos - cut.distance, cut.length) == cut.length;
}

void KeyFrameDeflater::Piece::Run() {
    try {
        if (!Deflate()) written = 0;
    } catch (const std::bad_alloc&) {
        written = 0;
    }
}

// A fresh piece: empty hash chains, no tokens, and the last picture's cuts
// only where this piece covers what the last one did.
void KeyFrameDeflater::Piece::Prepare() {
    written = 0;
    if (lastFrom != from || lastTo != to) last.Clear();   // cut elsewhere: nothing to take again
    const bool fresh = last.begin() == last.end();
    chainSteps = fresh ? kFreshChainSteps : kChainSteps;
    lazyBelow = fresh ? 0 : kLazyBelow;
    haveAhead = false;
    target = source = Stretch{};
    t->head.assign(size_t(1) << kHashBits, 0);
    t->longHead.assign(size_t(1) << kHashBits, 0);
    t->chain.resize(kWindow);
    t->longChain.resize(kWindow);
    t->block.clear();
    t->block.reserve(kBlockTokens + kMaxMatch);
    cuts.Clear();
    cuts.SetLimit((to - from) / 4 + 16);
}

// A cut of the last picture that still holds at pos, taken again; the
// bytes it covers.
size_t KeyFrameDeflater::Piece::TakeAgain(Cut cut, size_t pos) {
    if (cut.distance == 0) {
        // Blocks end where they ended then, after as many tokens.
        cut.length = std::min(cut.length, kBlockTokens - t->block.size());
        for (size_t k = 0; k < cut.length; ++k) Literal(pos + k);
    } else {
        Emit({cut.length, cut.distance});
        Insert(pos);
    }
    haveAhead = false;
    return cut.length;
}

// The next place after pos where a cut of the last picture may hold, where
// parsing of our own stops to look; SIZE_MAX when there is none.
size_t KeyFrameDeflater::Piece::NextHoldingCut(CutReader& reader, size_t pos) {
    if (!reader.Valid()) return SIZE_MAX;
    size_t at = reader.At();
    Cut cut = reader.Current();
    if (at == pos) {
        if (cut.distance == 0 && cut.length > 1) {
            ++at;
            --cut.length;
        } else if (!reader.Peek(at, cut)) {
            return SIZE_MAX;
        }
    }
    return StillHolds(cut, at) ? at : SIZE_MAX;
}

bool KeyFrameDeflater::Piece::Deflate() {
    Prepare();
    // The bytes before the piece are its dictionary, as they are the
    // inflater's.
    for (size_t p = from - std::min(from, kWindow); p < from; ++p) Insert(p);

    BitWriter writer(out, capacity);
    if (header) writer.Put(0x9C78, 16);   // the zlib header: deflate, a 32 KB window
    size_t blockStart = from;
    // The tokens since the last block as one block, dynamic or stored,
    // whichever is smaller.
    auto flush = [&](size_t end) {
        const DynamicBlock dynamic(t->block.data(), t->block.data() + t->block.size());
        if (dynamic.Bits() < StoredBits(end - blockStart)) dynamic.Write(writer);
        else WriteStored(writer, data + blockStart, end - blockStart);
        t->block.clear();
        blockStart = end;
        return !writer.Overflow();
    };
    CutReader reader(last, from);
    for (size_t pos = from; pos < to;) {
        reader.SkipTo(pos);
        if (reader.Valid() && reader.At() == pos && StillHolds(reader.Current(), pos))
            pos += TakeAgain(reader.Current(), pos);
        else
            Parse(pos, NextHoldingCut(reader, pos));
        if (t->block.size() >= kBlockTokens && !flush(pos)) return false;
    }
    if ((!t->block.empty() || to == from) && !flush(to)) return false;
    // The sync flush: an empty stored block ends the piece on a byte.
    writer.Put(0, 3);
    writer.Align();
    writer.Bytes(reinterpret_cast<const uint8_t*>("\0\0\xFF\xFF"), 4);
    if (writer.Overflow()) return false;
    written = size_t(writer.Next() - out);
    return true;
}

KeyFrameDeflater::KeyFrameDeflater() = default;
KeyFrameDeflater::~KeyFrameDeflater() = default;

// Pieces of n1 + n2 + ... bytes take at most what n1 + n2 + ... bytes
// in one piece do, and the fixed part of the bound once more each.
size_t KeyFrameDeflater::Bound(size_t size) { return PieceBound(size) + (kMaxPieces - 1) * PieceBound(0); }

// The pieces of one key frame, taken one after another by each thread.
struct KeyFrameDeflater::PieceQueue {
    std::unique_ptr<Piece>* pieces;
    int count;
    std::atomic<int> next;
};

struct KeyFrameDeflater::PieceRunner {
    PieceQueue* queue;
    Tables* tables;
};

void KeyFrameDeflater::RunPieces(void* runner) {
    const auto& r = *static_cast<const PieceRunner*>(runner);
    for (int i; (i = r.queue->next.fetch_add(1)) < r.queue->count;) {
        Piece& piece = *r.queue->pieces[i];
        piece.t = r.tables;
        piece.Run();
    }
}

void KeyFrameDeflater::Forget() {
    for (auto& piece : pieces_)
        if (piece) piece->Forget();
    lastSize_ = lastRowBytes_ = lastPrefixBytes_ = 0;
    lastPieces_ = 0;
}

size_t KeyFrameDeflater::Deflate(const uint8_t* data, size_t size, const Layout& given, uint8_t* out,
                                 size_t capacity, int pieces, CodecWorker* worker) {
    if (pieces <= 0) pieces = size >= kPiecesFrom ? int(std::min<size_t>(kMaxPieces, size / kPieceBytes)) : 1;
    pieces = std::min(pieces, kMaxPieces);
    const size_t rows = (size - std::min(size, given.prefixBytes)) / std::max<size_t>(1, given.rowBytes);
    if (rows < size_t(pieces)) pieces = 1;   // a piece holds a row at least
    if (size != lastSize_ || given.rowBytes != lastRowBytes_ || given.prefixBytes != lastPrefixBytes_ ||
        pieces != lastPieces_)
        Forget();
    Layout layout = given;
    layout.pixelBytes = std::max<size_t>(1, layout.pixelBytes);
    layout.rowBytes = std::max<size_t>(1, layout.rowBytes);
    layout.blockBytes = std::max<size_t>(1, layout.blockBytes);
    layout.blockRows = std::max<size_t>(1, layout.blockRows);
    if (layout.blocksPerRow != (layout.rowBytes + layout.blockBytes - 1) / layout.blockBytes)
        layout.changedBlocks = nullptr;   // a map that does not fit the rows: nothing known

    // Cut at rows, into pieces of about equal size; each writes at its own
    // place in out, as far along as the pieces before it could take at
    // most, and moves down once all are done.
    size_t offset = 0;
    try {
        for (int i = 0; i < pieces; ++i)
            if (!pieces_[i]) pieces_[i] = std::make_unique<Piece>();
        for (auto& tables : tables_)
            if (!tables) tables = std::make_unique<Tables>();
    } catch (const std::bad_alloc&) {
        return 0;
    }
    for (int i = 0; i < pieces; ++i) {
        Piece& piece = *pieces_[i];
        piece.data = data;
        piece.size = size;
        piece.layout = layout;
        piece.from = i == 0 ? 0 : layout.prefixBytes + rows * size_t(i) / size_t(pieces) * layout.rowBytes;
        piece.to = i + 1 == pieces ? size : layout.prefixBytes + rows * size_t(i + 1) / size_t(pieces) * layout.rowBytes;
        piece.header = i == 0;
        // The last piece has what is left.
        if (offset >= capacity) return 0;
        piece.capacity = i + 1 == pieces ? capacity - offset : PieceBound(piece.to - piece.from);
        piece.out = out + offset;
        offset += piece.capacity;
    }
    // Both threads take the next piece not taken yet until none is left:
    // where the picture changed, pieces take longer, and a cut in two
    // halves would leave one thread with most of the work.
    PieceQueue queue{pieces_, pieces, {0}};
    PieceRunner here{&queue, tables_[0].get()}, there{&queue, tables_[1].get()};
    if (pieces > 1 && worker) {
        worker->Run(RunPieces, &there);
        RunPieces(&here);
        worker->Wait();
    } else {
        RunPieces(&here);
    }
    size_t total = 0;
    for (int i = 0; i < pieces; ++i) {
        const Piece& piece = *pieces_[i];
        if (piece.written == 0) {
            Forget();
            return 0;
        }
        if (piece.out != out + total) std::memmove(out + total, piece.out, piece.written);
        total += piece.written;
    }

    for (int i = 0; i < pieces; ++i) {
        Piece& piece = *pieces_[i];
        piece.last.Swap(piece.cuts);
        piece.lastFrom = piece.from;
        piece.lastTo = piece.to;
    }
    lastSize_ = size;
    lastRowBytes_ = given.rowBytes;
    lastPrefixBytes_ = given.prefixBytes;
    lastPieces_ = pieces;
    return total;
}

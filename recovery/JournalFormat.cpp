#include "JournalFormat.h"

#include <cstring>

namespace {

enum RecordType : uint32_t { kRecording = 1, kStream = 2, kFormat = 3, kProgress = 4 };

constexpr char kMagic[] = "VMXJRNL1";
constexpr size_t kMagicBytes = 8;
constexpr uint32_t kMaxRecordBytes = 64u << 20;   // far above any real record

class Writer {
public:
    void U32(uint32_t v) { Bytes(&v, 4); }
    void U64(uint64_t v) { Bytes(&v, 8); }
    void Bytes(const void* data, size_t n) {
        const auto* p = static_cast<const uint8_t*>(data);
        out.insert(out.end(), p, p + n);
    }
    void Text(const std::string& text) {
        U32(static_cast<uint32_t>(text.size()));
        Bytes(text.data(), text.size());
    }
    std::vector<uint8_t> out;
};

std::vector<uint8_t> Framed(RecordType type, const std::vector<uint8_t>& payload) {
    Writer w;
    w.U32(type);
    w.U32(static_cast<uint32_t>(payload.size()));
    w.Bytes(payload.data(), payload.size());
    w.U32(Crc32(w.out.data(), w.out.size()));
    return w.out;
}

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
    bool U32(uint32_t& v) { return Bytes(&v, 4); }
    bool U64(uint64_t& v) { return Bytes(&v, 8); }
    bool Bytes(void* out, size_t n) {
        if (static_cast<size_t>(end_ - p_) < n) return false;
        std::memcpy(out, p_, n);
        p_ += n;
        return true;
    }
    bool Text(std::string& text) {
        uint32_t n = 0;
        if (!U32(n) || static_cast<size_t>(end_ - p_) < n) return false;
        text.assign(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return true;
    }
    bool Rest(std::vector<uint8_t>& out) {
        out.assign(p_, end_);
        p_ = end_;
        return true;
    }
    bool AtEnd() const { return p_ == end_; }

private:
    const uint8_t* p_;
    const uint8_t* end_;
};

bool ReadStream(Reader& r, JournalContent& content) {
    uint32_t stream = 0;
    StreamHeader header;
    std::string name;
    if (!r.U32(stream) || stream >= kJournalStreams || !r.Bytes(&header, sizeof header) || !r.Text(name) ||
        !r.AtEnd())
        return false;
    JournalStream& s = content.streams[stream];
    s.present = true;
    s.header = header;
    s.name = name;
    return true;
}

bool ReadFormat(Reader& r, JournalContent& content) {
    uint32_t stream = 0, position = 0;
    std::vector<uint8_t> format;
    if (!r.U32(stream) || stream >= kJournalStreams || !r.U32(position) || !r.Rest(format) || format.empty())
        return false;
    JournalStream& s = content.streams[stream];
    // One format per stream, the one its header holds; a palette change
    // lies in the file itself, as a chunk of its own.
    if (!s.present || !s.format.empty() || position != 0) return false;
    s.format = std::move(format);
    return true;
}

bool ReadProgress(Reader& r, JournalContent& content) {
    uint32_t first = 0, count = 0;
    if (!r.U32(first) || !r.U32(count)) return false;
    if (first != content.keyFrames.size()) return false;   // a gap: not from this journal's writer
    std::vector<uint8_t> bits((count + 7) / 8);
    uint64_t samples = 0, size = 0, fileTime = 0, recordTime = 0;
    if (!r.Bytes(bits.data(), bits.size()) || !r.U64(samples) || !r.U64(size) || !r.U64(fileTime) ||
        !r.U64(recordTime) || !r.AtEnd())
        return false;
    for (uint32_t i = 0; i < count; ++i) content.keyFrames.push_back((bits[i / 8] >> (i % 8)) & 1);
    content.soundSamples = samples;
    content.fileSize = size;
    content.fileTime = fileTime;
    content.recordTime = recordTime;
    return true;
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::vector<uint8_t> JournalMagic() { return std::vector<uint8_t>(kMagic, kMagic + kMagicBytes); }

std::vector<uint8_t> RecordingRecord(uint64_t startTime, const std::string& path) {
    Writer w;
    w.U64(startTime);
    w.Text(path);
    return Framed(kRecording, w.out);
}

std::vector<uint8_t> StreamRecord(uint32_t stream, const StreamHeader& header, const std::string& name) {
    Writer w;
    w.U32(stream);
    w.Bytes(&header, sizeof header);
    w.Text(name);
    return Framed(kStream, w.out);
}

std::vector<uint8_t> FormatRecord(uint32_t stream, const void* format, size_t bytes) {
    Writer w;
    w.U32(stream);
    w.U32(0);   // the position
    w.Bytes(format, bytes);
    return Framed(kFormat, w.out);
}

std::vector<uint8_t> ProgressRecord(const JournalProgress& progress) {
    Writer w;
    const auto count = static_cast<uint32_t>(progress.keyFrames.size());
    w.U32(progress.firstPosition);
    w.U32(count);
    std::vector<uint8_t> bits((count + 7) / 8);
    for (uint32_t i = 0; i < count; ++i)
        if (progress.keyFrames[i]) bits[i / 8] = static_cast<uint8_t>(bits[i / 8] | 1u << (i % 8));
    w.Bytes(bits.data(), bits.size());
    w.U64(progress.soundSamples);
    w.U64(progress.fileSize);
    w.U64(progress.fileTime);
    w.U64(progress.recordTime);
    return Framed(kProgress, w.out);
}

JournalContent ParseJournal(const std::vector<uint8_t>& bytes) {
    JournalContent content;
    if (bytes.size() < kMagicBytes || std::memcmp(bytes.data(), kMagic, kMagicBytes) != 0) return content;
    size_t at = kMagicBytes;
    while (bytes.size() - at >= 12) {
        uint32_t type = 0, length = 0;
        std::memcpy(&type, &bytes[at], 4);
        std::memcpy(&length, &bytes[at + 4], 4);
        if (length > kMaxRecordBytes || bytes.size() - at - 12 < length) break;   // torn
        uint32_t crc = 0;
        std::memcpy(&crc, &bytes[at + 8 + length], 4);
        if (crc != Crc32(&bytes[at], 8 + length)) break;
        Reader r(&bytes[at + 8], length);
        bool fits = false;
        if (!content.valid) {
            fits = type == kRecording && r.U64(content.startTime) && r.Text(content.path) && r.AtEnd();
            content.valid = fits;
        } else if (type == kStream) {
            fits = ReadStream(r, content);
        } else if (type == kFormat) {
            fits = ReadFormat(r, content);
        } else if (type == kProgress) {
            fits = ReadProgress(r, content);
        }
        if (!fits) break;
        at += 12 + length;
    }
    return content;
}

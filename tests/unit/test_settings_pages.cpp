// The logic behind the settings pages: the compressor list, the rates the
// video page takes, and the output file names it can use.
#include "doctest.h"

#include "framework/TextConversion.h"
#include "settings/AppSettings.h"
#include "settings/CompressorList.h"

#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

// A fake compression manager: index -> compressor, or none that opens.
struct FakeSystem {
    std::map<int, InstalledCompressor> found;
    std::vector<int> broken;
    int count = 0;
    int asked = 0;

    CompressorSource Source() {
        return [this](int index, InstalledCompressor& out) {
            ++asked;
            if (index >= count) return CompressorProbe::End;
            for (int b : broken)
                if (b == index) return CompressorProbe::CannotOpen;
            out = found[index];
            return CompressorProbe::Found;
        };
    }
};

std::vector<uint32_t> Codes(const std::vector<CompressorEntry>& entries) {
    std::vector<uint32_t> codes;
    for (const CompressorEntry& e : entries) codes.push_back(e.code);
    return codes;
}

const uint32_t kMsvc = FourCC("MSVC"), kCvid = FourCC("cvid"), kMrle = FourCC("MRLE");

}  // namespace

TEST_CASE("compressor list: fixed entries around the installed ones, each once") {
    FakeSystem system;
    system.count = 5;
    system.found = {{0, {kMsvc, "Video 1"}}, {2, {kCvid, ""}}, {3, {kMsvc, "Video 1 again"}}, {4, {kMrle, "RLE"}}};
    system.broken = {1};   // one that cannot be opened hides none after it
    const auto first = CompressorEntriesToAdd({}, "Automatic", "Uncompressed", system.Source());
    CHECK(Codes(first) == std::vector<uint32_t>{0, kMsvc, kCvid, kMrle, kCodeDib});
    CHECK(first[0].text == "Automatic");
    CHECK(first[2].text == "cvid");   // no description: named by its code
    CHECK(first[4].text == "Uncompressed");

    // A refresh of the same list adds nothing; a compressor new since then comes last.
    CHECK(CompressorEntriesToAdd(Codes(first), "Automatic", "Uncompressed", system.Source()).empty());
    system.found[5] = {FourCC("VMXT"), "New"};
    system.count = 6;
    CHECK(Codes(CompressorEntriesToAdd(Codes(first), "A", "U", system.Source())) ==
          std::vector<uint32_t>{FourCC("VMXT")});
}

TEST_CASE("compressor list without compressors, and with a source that never ends") {
    CHECK(Codes(CompressorEntriesToAdd({}, "A", "U", nullptr)) == std::vector<uint32_t>{0, kCodeDib});
    FakeSystem none;
    CHECK(Codes(CompressorEntriesToAdd({}, "A", "U", none.Source())) == std::vector<uint32_t>{0, kCodeDib});
    FakeSystem endless;
    endless.count = 1 << 30;
    endless.broken = {};
    for (int i = 0; i < 2000; ++i) endless.found[i] = {static_cast<uint32_t>(0x1000 + i), "x"};
    const auto entries = CompressorEntriesToAdd({}, "A", "U", endless.Source());
    CHECK(endless.asked < 2000);
    CHECK(entries.back().code == kCodeDib);
    CHECK(FourCCText(0x0A424944) == "DIB?");
}

TEST_CASE("rates that the stored thousandths can hold") {
    CHECK(RateFitsThousandths(10.0));
    CHECK(RateFitsThousandths(-5.0));   // the page turns it into 0
    CHECK(RateFitsThousandths(4294967.294));
    CHECK_FALSE(RateFitsThousandths(4294967.295));
    CHECK_FALSE(RateFitsThousandths(1e300));
    CHECK_FALSE(RateFitsThousandths(std::numeric_limits<double>::infinity()));
    CHECK_FALSE(RateFitsThousandths(std::numeric_limits<double>::quiet_NaN()));
}

TEST_CASE("output file names the ANSI file calls can use") {
    std::string out = "unchanged";
    CHECK(AnsiPathFrom(L"C:\\clips\\caf\u00e9.avi", 1252, out));
    CHECK(out == "C:\\clips\\caf\xe9.avi");
    out = "unchanged";
    CHECK_FALSE(AnsiPathFrom(L"C:\\clips\\\u4e2d.avi", 1252, out));      // no such character in 1252
    CHECK_FALSE(AnsiPathFrom(L"C:\\clips\\\u0141odz.avi", 1252, out));   // no best-fit "L" either
    CHECK_FALSE(AnsiPathFrom(L"", 1252, out));
    CHECK(out == "unchanged");
    const std::wstring longest = L"C:\\" + std::wstring(MAX_PATH - 4, L'a');
    CHECK(AnsiPathFrom(longest, 1252, out));
    CHECK(out.size() == MAX_PATH - 1);
    CHECK_FALSE(AnsiPathFrom(longest + L"a", 1252, out));
    // Compressor names: any text converts, with substitutes.
    std::string name;
    CHECK_FALSE(NarrowText(L"Codec \u4e2d", 1252, name));
    CHECK(name.rfind("Codec ", 0) == 0);
}

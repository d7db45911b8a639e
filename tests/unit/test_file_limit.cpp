#include "doctest.h"

#include "framework/Strings.h"
#include "record/CaptureMath.h"
#include "record/FileSizeLimit.h"
#include "record/RingLogic.h"
#include "settings/AppSettings.h"

TEST_CASE("compressors a recording tries") {
    const uint32_t msvc = FourCC("MSVC"), mrle = FourCC("MRLE");
    const auto codes = [](const std::vector<CompressorTry>& order) {
        std::vector<std::pair<uint32_t, bool>> out;
        for (const CompressorTry& t : order) out.emplace_back(t.code, t.probe);
        return out;
    };
    using V = std::vector<std::pair<uint32_t, bool>>;
    CHECK(codes(CompressorOrder(0, 32)) == V{{msvc, true}, {kZmbvCode, true}, {kCodeDib, false}});
    CHECK(codes(CompressorOrder(0, 24)) == V{{msvc, true}, {kZmbvCode, true}, {kCodeDib, false}});
    CHECK(codes(CompressorOrder(0, 8)) == V{{mrle, true}, {kZmbvCode, true}, {kCodeDib, false}});
    CHECK(codes(CompressorOrder(0, 4)) == V{{kCodeDib, false}});   // below 8 bits our codec cannot help
    // A choice is final: its failure is the user's to see.
    CHECK(codes(CompressorOrder(kCodeDib, 32)) == V{{kCodeDib, false}});
    CHECK(codes(CompressorOrder(msvc, 32)) == V{{msvc, false}});
    CHECK(kZmbvCode == FourCC("ZMBV"));
}

TEST_CASE("what a write adds to the file") {
    CHECK(ChunkBytes(0) == 24);
    CHECK(ChunkBytes(307200) == 307224);
    CHECK(ChunkBytes(15) == 40);   // padded to an even size
    CHECK(FrameBound(307200, false) == 307200);
    CHECK(FrameBound(307200, true) > 307200 + 1024);
    CHECK(PaletteChangeBytes(256) == 1028);
    CHECK(kSoundReserveBytes == 16 * ChunkBytes(WaveBlockBytes(44100, 16)));   // sixteen of the largest blocks
}

TEST_CASE("the budget keeps the reserve and the limit") {
    FileSizeBudget budget(kFileHeaderBytes + 1000);
    CHECK(budget.Fits(1000));
    CHECK_FALSE(budget.Fits(1001));
    CHECK_FALSE(budget.Fits(900, 101));
    CHECK(budget.IndexBytes() == 8);
    budget.AddChunk(876);   // 900 bytes with its header and index entry
    CHECK(budget.Fits(100));
    CHECK_FALSE(budget.Fits(101));
    // The disk must hold the next chunk, the reserve and the index still to come.
    CHECK(DiskRoomNeeded(budget, 1000, 50) == 1000 + 50 + 8 + 16 + kCloseMarginBytes);
    CHECK(FileSizeBudget().Limit() == kFileSizeLimit);
}

TEST_CASE("test-only settings") {
    CHECK(FileSizeLimitFrom(nullptr) == kFileSizeLimit);
    CHECK(FileSizeLimitFrom("") == kFileSizeLimit);
    CHECK(FileSizeLimitFrom("2000000") == 2000000);
    CHECK(FileSizeLimitFrom("0") == kFileSizeLimit);
    CHECK(FileSizeLimitFrom("-5") == kFileSizeLimit);
    CHECK(FileSizeLimitFrom("12abc") == kFileSizeLimit);
    CHECK(FileSizeLimitFrom("99999999999999999999999") == kFileSizeLimit);   // never above the real limit
    CHECK(CompressorFrom("DIB ") == kCodeDib);
    CHECK(CompressorFrom("ZMBV") == kZmbvCode);
    CHECK(CompressorFrom("DIB") == 0);
    CHECK(CompressorFrom("DIB  ") == 0);
    CHECK(CompressorFrom(nullptr) == 0);
}

TEST_CASE("the limit's message and outcome") {
    CHECK(InsertArguments("limit %1, file %2.", {LimitText(2000000), "C:\\a %1 %2.avi"}) ==
          "limit 2000000 bytes (1.9 MB), file C:\\a %1 %2.avi.");
    CHECK(InsertArguments("100% %3", {LimitText(1), "x"}) == "100% %3");
    CHECK(OutcomeOf(kAbortFileFull) == Outcome::FileFull);
    CHECK(OutcomeOf(kAbortTooSlow) == Outcome::TooSlow);
}

#include "doctest.h"

#include "framework/DataExchange.h"
#include "framework/Strings.h"

#include <cstdint>
#include <string>

TEST_CASE("%1 insertion") {
    CHECK(InsertArgument("Step %1 failed", "(Open AVI)") == "Step (Open AVI) failed");
    CHECK(InsertArgument("%1%1", "a") == "aa");
    CHECK(InsertArgument("no mark", "a") == "no mark");
    CHECK(InsertArgument("100%", "a") == "100%");
    CHECK(InsertArgument("%2 stays", "a") == "%2 stays");
}

TEST_CASE("integer formats take only integer conversions") {
    CHECK(FormatIntegers("%d frames, %d skipped", {12, 3}) == "12 frames, 3 skipped");
    CHECK(FormatIntegers("Version %d.%d.%d", {2, 1, 5}) == "Version 2.1.5");
    CHECK(FormatIntegers("%04d|%-3d|%x", {7, 4, 255}) == "0007|4  |ff");
    CHECK(FormatIntegers("%ld and %lu", {-1, 5}) == "-1 and 5");
    CHECK(FormatIntegers("100%% done", {}) == "100% done");
    // Conversions that are not ours, or have no value left, stay as text.
    CHECK(FormatIntegers("%s %n %d %d", {1}) == "%s %n 1 %d");
    CHECK(FormatIntegers("trailing %", {1}) == "trailing %");
    CHECK(FormatIntegers("%99999999d", {1}) == "%99999999d");
}

TEST_CASE("whole numbers as the pages accept them") {
    int32_t v = 99;
    CHECK(ParseWholeNumber("-20", v));
    CHECK(v == -20);
    CHECK(ParseWholeNumber(" \t7  ", v));
    CHECK(v == 7);
    CHECK(ParseWholeNumber("0", v));
    CHECK(v == 0);
    v = 5;
    CHECK_FALSE(ParseWholeNumber("-0", v));
    CHECK_FALSE(ParseWholeNumber("12abc", v));
    CHECK_FALSE(ParseWholeNumber("", v));
    CHECK_FALSE(ParseWholeNumber("-", v));
    CHECK_FALSE(ParseWholeNumber("1 2", v));
    CHECK_FALSE(ParseWholeNumber("99999999999", v));
    CHECK_FALSE(ParseWholeNumber("+0", v));
    CHECK_FALSE(ParseWholeNumber("0x10", v));
    CHECK(v == 5);
    // Only the first 31 characters count.
    CHECK(ParseWholeNumber("8" + std::string(30, ' ') + "junk", v));
    CHECK(v == 8);
    CHECK(ParseWholeNumber(std::string(30, ' ') + "12", v));
    CHECK(v == 1);
    CHECK(ParseWholeNumber("-2147483648", v));
    CHECK(v == INT32_MIN);
}

TEST_CASE("fractions as the pages accept and show them") {
    double v = 1;
    CHECK(ParseFraction("7.25", v));
    CHECK(v == 7.25);
    CHECK(ParseFraction(" 0.0 ", v));
    CHECK(v == 0.0);
    v = 3;
    CHECK_FALSE(ParseFraction("-0", v));
    CHECK_FALSE(ParseFraction("abc", v));
    CHECK_FALSE(ParseFraction("1e999", v));
    CHECK_FALSE(ParseFraction("inf", v));
    CHECK_FALSE(ParseFraction("nan", v));
    CHECK_FALSE(ParseFraction("0x10", v));
    CHECK_FALSE(ParseFraction("1e-400", v));   // a zero not written as one
    CHECK_FALSE(ParseFraction("1e", v));
    CHECK_FALSE(ParseFraction("7,5", v));
    CHECK(v == 3);
    CHECK(ParseFraction("1.5e1", v));
    CHECK(v == 15.0);
    CHECK(ParseFraction(".5", v));
    CHECK(v == 0.5);
    CHECK(FormatFraction(10.0) == "10");
    CHECK(FormatFraction(7.25) == "7.25");
    CHECK(FormatFraction(29.97) == "29.97");
    CHECK(FormatFraction(1.0 / 3) == "0.333333333333333");
}

TEST_CASE("captions show an ampersand as it is") {
    CHECK(LiteralCaption("Ctrl+&") == "Ctrl+&&");
    CHECK(LiteralCaption("&&a&") == "&&&&a&&");
    CHECK(LiteralCaption("F2") == "F2");
}

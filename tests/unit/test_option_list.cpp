#include "doctest.h"

#include "settings/OptionList.h"

#include <cstring>
#include <string>

using namespace std::string_literals;

namespace {

OptionList Parse(std::string_view text) {
    OptionList list;
    ReadOptionsText(text, list);
    return list;
}

// A text query with the given capacity: result code, type, size and text.
struct Answer {
    long code;
    uint32_t type;
    uint32_t size;
    std::string text;
};

Answer QueryText(const OptionList& list, const char* name, uint32_t capacity, bool withBuffer = true) {
    std::string buffer(capacity + 8, '#');
    Answer a{0, 0, capacity, ""};
    a.code = QueryOptionValue(list, name, &a.type, withBuffer ? buffer.data() : nullptr, &a.size);
    // Nothing may be written past the capacity.
    for (size_t i = capacity; i < buffer.size(); ++i) REQUIRE(buffer[i] == '#');
    if (a.code == 0 && withBuffer && a.type == kTypeText) a.text = buffer.c_str();
    return a;
}

long QueryNumber(const OptionList& list, const char* name, int32_t& number, uint32_t capacity = 4) {
    unsigned char bytes[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    uint32_t type = 0, size = capacity;
    const long code = QueryOptionValue(list, name, &type, bytes, &size);
    for (uint32_t i = capacity < 4 ? capacity : 4; i < 8; ++i) REQUIRE(bytes[i] == 9);
    if (code == 0) {
        REQUIRE(type == kTypeNumber);
        REQUIRE(size == 4u);
        number = static_cast<int32_t>(ReadNumber32(bytes));
    }
    return code;
}

}  // namespace

TEST_CASE("option lines: name and value") {
    std::string name, value;
    CHECK(ParseOptionLine("\"Width\"  320\r\n", name, value));
    CHECK(name == "Width");
    CHECK(value == "320");

    SUBCASE("blanks and tabs before the value are skipped, trailing blanks stay") {
        CHECK(ParseOptionLine("\"Start Desc\" \t \"F2\"  \r\n", name, value));
        CHECK(name == "Start Desc");
        CHECK(value == "\"F2\"  ");
    }
    SUBCASE("every carriage return and line feed at the end goes") {
        CHECK(ParseOptionLine("\"A\"5\r\r\n", name, value));
        CHECK(value == "5");
        CHECK(ParseOptionLine("\"A\"  5", name, value));   // no line end at all
        CHECK(value == "5");
    }
    SUBCASE("no value") {
        CHECK(ParseOptionLine("\"A\"", name, value));
        CHECK(value.empty());
        CHECK(ParseOptionLine("\"A\"   \r\n", name, value));
        CHECK(value.empty());
    }
    SUBCASE("lines that are not setting lines") {
        CHECK_FALSE(ParseOptionLine("", name, value));
        CHECK_FALSE(ParseOptionLine("; comment \"A\" 5\r\n", name, value));
        CHECK_FALSE(ParseOptionLine(" \"A\"  5\r\n", name, value));
        CHECK_FALSE(ParseOptionLine("\r\n", name, value));
    }
    SUBCASE("malformed setting lines are skipped") {
        CHECK_FALSE(ParseOptionLine("\"Width  320\r\n", name, value));   // no closing quote
        CHECK_FALSE(ParseOptionLine("\"\"  320\r\n", name, value));      // empty name
        CHECK_FALSE(ParseOptionLine("\"", name, value));                 // a lone quote
        CHECK_FALSE(ParseOptionLine("\"\r\n", name, value));
    }
}

TEST_CASE("options text: lines, pieces and odd bytes") {
    SUBCASE("only setting lines are kept, in file order") {
        const OptionList list = Parse("; a comment\r\n\r\n\"Width\"  100\r\n\"Extra\"  5\r\nfree text\n\"x\" \"t\"\n");
        REQUIRE(list.Entries().size() == 3);
        CHECK(list.Entries()[0].name == "Width");
        CHECK(list.Entries()[1].name == "Extra");
        CHECK(list.Entries()[1].value == "5");
        CHECK(list.Entries()[2].value == "\"t\"");
    }
    SUBCASE("a last line without line end is read") {
        const OptionList list = Parse("\"A\"  1\r\n\"B\"  2");
        REQUIRE(list.Entries().size() == 2);
        CHECK(list.Entries()[1].value == "2");
    }
    SUBCASE("a line is read in pieces of 1023 bytes") {
        // A piece that ends exactly at 1023 bytes keeps its whole value.
        const std::string exact = "\"A\"  " + std::string(1023 - 5, 'v');
        OptionList list = Parse(exact + "\r\n\"B\"  2\r\n");
        REQUIRE(list.Entries().size() == 2);
        CHECK(list.Entries()[0].value.size() == 1023 - 5);
        CHECK(list.Entries()[1].name == "B");

        // A longer line: its rest is a line of its own, taken when it begins with a quote.
        const std::string longer = "\"A\"  " + std::string(1023 - 5, 'v') + "\"C\"  3\r\n";
        list = Parse(longer);
        REQUIRE(list.Entries().size() == 2);
        CHECK(list.Entries()[0].value == std::string(1023 - 5, 'v'));
        CHECK(list.Entries()[1].name == "C");
        CHECK(list.Entries()[1].value == "3");

        const std::string huge = "\"A\"  " + std::string(5000, 'w') + "\r\n\"B\"  2\r\n";
        list = Parse(huge);
        REQUIRE(list.Entries().size() == 2);
        CHECK(list.Entries()[0].value.size() == 1018);
        CHECK(list.Entries()[1].name == "B");
    }
    SUBCASE("a zero byte ends its line") {
        const OptionList list = Parse("\"A\"  12\0" "34\r\n\"B\0\"  1\r\n\"C\"  3\r\n"s);
        REQUIRE(list.Entries().size() == 2);
        CHECK(list.Entries()[0].value == "12");
        CHECK(list.Entries()[1].name == "C");
    }
    SUBCASE("binary bytes pass as they are") {
        const OptionList list = Parse("\"N\xff\x01\"  \"\x80\x7f\t\"\r\n\xfe\xfe\n");
        REQUIRE(list.Entries().size() == 1);
        CHECK(list.Entries()[0].name == "N\xff\x01");
        CHECK(list.Entries()[0].value == "\"\x80\x7f\t\"");
    }
    SUBCASE("empty and quote-only input") {
        CHECK(Parse("").Entries().empty());
        CHECK(Parse("\"").Entries().empty());
        CHECK(Parse("\"\"\"\"\n\"").Entries().empty());
    }
}

TEST_CASE("options text: written lines read back unchanged") {
    OptionList list;
    list.Append("StartX", "0");
    list.Append("WinX", "-1000");
    list.Append("AVIFileName", "\"clip.avi\"");
    list.Append("Extra", "5  ");
    list.Append("Empty", "");
    const std::string text = FormatOptionsText(list);
    CHECK(text == "\"StartX\"  0\r\n\"WinX\"  -1000\r\n\"AVIFileName\"  \"clip.avi\"\r\n\"Extra\"  5  \r\n\"Empty\"  \r\n");
    const OptionList back = Parse(text);
    REQUIRE(back.Entries().size() == list.Entries().size());
    for (size_t i = 0; i < list.Entries().size(); ++i) {
        CHECK(back.Entries()[i].name == list.Entries()[i].name);
        CHECK(back.Entries()[i].value == list.Entries()[i].value);
    }
}

TEST_CASE("option list: first match, any letter case") {
    const OptionList list = Parse("\"width\"  100\r\n\"WIDTH\"  200\r\n\"Start Key\"  9\r\n");
    REQUIRE(list.Find("Width"));
    CHECK(list.Find("Width")->value == "100");
    CHECK(list.Find("start key")->value == "9");
    CHECK_FALSE(list.Find("StartKey"));
    CHECK_FALSE(list.Find("Widt"));
    CHECK_FALSE(list.Find("Width "));
    CHECK(SameOptionName("Pan Locked", "pAN lOCKED"));
    CHECK_FALSE(SameOptionName("a\xc4", "a\xe4"));   // only ASCII letters fold
    CHECK_FALSE(SameOptionName("@", "`"));
}

TEST_CASE("number values") {
    CHECK(ParseOptionNumber("320") == 320);
    CHECK(ParseOptionNumber("-1000") == -1000);
    CHECK(ParseOptionNumber("+7") == 7);
    CHECK(ParseOptionNumber("12abc") == 12);
    CHECK(ParseOptionNumber("abc") == 0);
    CHECK(ParseOptionNumber("") == 0);
    CHECK(ParseOptionNumber("- 5") == 0);
    CHECK(ParseOptionNumber("\r 42") == 42);
    CHECK(ParseOptionNumber("2147483647") == 2147483647);
    CHECK(ParseOptionNumber("-2147483648") == INT32_MIN);
    CHECK(ParseOptionNumber("4294967295") == INT32_MAX);
    CHECK(ParseOptionNumber("99999999999999999999999") == INT32_MAX);
    CHECK(ParseOptionNumber("-99999999999999999999999") == INT32_MIN);
}

TEST_CASE("list query: texts") {
    const OptionList list = Parse(
        "\"Plain\"  \"clip.avi\"\r\n"
        "\"Open\"  \"clip.avi\r\n"        // closing quote missing
        "\"Trail\"  \"F2\"  \r\n"         // trailing blanks
        "\"Lone\"  \"\r\n"
        "\"Empty\"  \"\"\r\n"
        "\"Inner\"  \"a\"b\"\r\n");
    Answer a = QueryText(list, "Plain", 260);
    CHECK(a.code == 0);
    CHECK(a.type == kTypeText);
    CHECK(a.size == 9u);
    CHECK(a.text == "clip.avi");

    CHECK(QueryText(list, "Open", 260).text == "clip.av");
    CHECK(QueryText(list, "Trail", 260).text == "F2\" ");
    a = QueryText(list, "Lone", 260);
    CHECK(a.code == 0);
    CHECK(a.size == 1u);
    CHECK(a.text.empty());
    CHECK(QueryText(list, "Empty", 260).text.empty());
    CHECK(QueryText(list, "Inner", 260).text == "a\"b");

    SUBCASE("capacity") {
        a = QueryText(list, "Plain", 9);   // exactly the text and its zero
        CHECK(a.code == 0);
        CHECK(a.text == "clip.avi");
        a = QueryText(list, "Plain", 8);
        CHECK(a.code == kResultMoreData);
        CHECK(a.size == 9u);
        a = QueryText(list, "Plain", 0);
        CHECK(a.code == kResultMoreData);
        a = QueryText(list, "Plain", 0, false);   // no buffer: only the size
        CHECK(a.code == 0);
        CHECK(a.size == 9u);
        CHECK(a.type == kTypeText);
    }
    SUBCASE("missing name") {
        a = QueryText(list, "Nothing", 260);
        CHECK(a.code == kResultNoSuchOption);
        CHECK(a.size == 260u);   // nothing reported
        CHECK(a.type == 0u);
    }
}

TEST_CASE("list query: numbers") {
    const OptionList list = Parse("\"A\"  320\r\n\"B\"  -1000\r\n\"C\"  12abc\r\n\"D\"  abc\r\n\"E\"\r\n");
    int32_t n = 0;
    CHECK(QueryNumber(list, "A", n) == 0);
    CHECK(n == 320);
    CHECK(QueryNumber(list, "B", n) == 0);
    CHECK(n == -1000);
    CHECK(QueryNumber(list, "C", n) == 0);
    CHECK(n == 12);
    CHECK(QueryNumber(list, "D", n) == 0);
    CHECK(n == 0);
    CHECK(QueryNumber(list, "E", n) == 0);
    CHECK(n == 0);
    CHECK(QueryNumber(list, "A", n, 3) == kResultMoreData);
    CHECK(QueryNumber(list, "A", n, 0) == kResultMoreData);
    CHECK(QueryNumber(list, "Z", n) == kResultNoSuchOption);

    uint32_t type = 0, size = 0;
    CHECK(QueryOptionValue(list, "A", &type, nullptr, &size) == 0);
    CHECK(size == 4u);
    CHECK(type == kTypeNumber);
}

TEST_CASE("list store: replace the first entry or append") {
    OptionList list = Parse("\"width\"  100\r\n\"Extra\"  5\r\n\"Width\"  7\r\n");
    unsigned char bytes[4];
    WriteNumber32(static_cast<uint32_t>(-1000), bytes);
    CHECK(StoreOptionValue(list, "Width", kTypeNumber, bytes, 4) == 0);
    CHECK(StoreOptionValue(list, "WinX", kTypeNumber, bytes, 4) == 0);
    CHECK(StoreOptionValue(list, "AVIFileName", kTypeText, "a\"b.avi", 8) == 0);
    REQUIRE(list.Entries().size() == 5);
    CHECK(list.Entries()[0].name == "width");   // the name stays as the file had it
    CHECK(list.Entries()[0].value == "-1000");
    CHECK(list.Entries()[2].value == "7");
    CHECK(list.Entries()[3].name == "WinX");
    CHECK(list.Entries()[4].value == "\"a\"b.avi\"");

    SUBCASE("refused values store nothing") {
        CHECK(StoreOptionValue(list, "Bin", 3, bytes, 4) == kResultNoSuchOption);
        CHECK(StoreOptionValue(list, "Short", kTypeNumber, bytes, 2) == kResultInvalidParameter);
        CHECK(StoreOptionValue(list, "Null", kTypeText, nullptr, 0) == kResultInvalidParameter);
        CHECK(StoreOptionValue(list, "Feed", kTypeText, "a\nb", 4) == kResultMoreData);
        const std::string longest(kOptionTextMax, 'x');
        const std::string tooLong(kOptionTextMax + 1, 'x');
        CHECK(StoreOptionValue(list, "Long", kTypeText, tooLong.c_str(), static_cast<uint32_t>(tooLong.size() + 1)) ==
              kResultMoreData);
        CHECK(list.Entries().size() == 5);
        CHECK(StoreOptionValue(list, "Longest", kTypeText, longest.c_str(),
                               static_cast<uint32_t>(longest.size() + 1)) == 0);
        CHECK(list.Entries().size() == 6);
    }
    SUBCASE("a text without its zero ends at its size") {
        CHECK(StoreOptionValue(list, "T", kTypeText, "abcdef", 3) == 0);
        CHECK(list.Find("T")->value == "\"abc\"");
    }
    SUBCASE("stored values query back") {
        int32_t n = 0;
        CHECK(QueryNumber(list, "WINX", n) == 0);
        CHECK(n == -1000);
        CHECK(QueryText(list, "AVIFileName", 260).text == "a\"b.avi");
    }
}

TEST_CASE("options file path") {
    CHECK(OptionsFilePath("C:\\Program Files\\Velmorax") == "C:\\Program Files\\Velmorax\\Velmorax.ini");
}

#include "doctest.h"

#include "app/HelpFile.h"

TEST_CASE("help topics are numbered and titled, the first is the contents") {
    const HelpFile f = ParseHelpFile(
        "# a comment before any topic\n"
        "text before the first topic is dropped\n"
        "#topic 1 Contents\n"
        "\n"
        "Welcome.\n"
        "  Indented line.\n"
        "\n"
        "#topic 5   Region tab  \n"
        "Left, Top\n"
        "# a comment inside a topic\n"
        "  The corner.\n"
        "\n\n");
    REQUIRE(f.topics.size() == 2);
    CHECK(f.topics[0].number == 1);
    CHECK(f.topics[0].title == "Contents");
    CHECK(f.topics[0].body == "Welcome.\n  Indented line.");
    CHECK(f.topics[1].number == 5);
    CHECK(f.topics[1].title == "Region tab");
    CHECK(f.topics[1].body == "Left, Top\n  The corner.");
    CHECK(ContentsTopic(f) == &f.topics[0]);
    CHECK(FindHelpTopic(f, 5) == &f.topics[1]);
    CHECK(FindHelpTopic(f, 6) == nullptr);
}

TEST_CASE("help files with Windows line ends read the same") {
    const HelpFile f = ParseHelpFile("#topic 9 About\r\nVersion.\r\nMore.\r\n");
    REQUIRE(f.topics.size() == 1);
    CHECK(f.topics[0].title == "About");
    CHECK(f.topics[0].body == "Version.\nMore.");
}

TEST_CASE("malformed topic lines are comments, not topics") {
    const HelpFile f = ParseHelpFile(
        "#topic 2 Two\n"
        "#topic\n"
        "#topic x Letters\n"
        "#topic 12a Glued\n"
        "#topics 3 Wrong keyword\n"
        "#topic 1234567890 Too many digits\n"
        "body\n"
        "#topic 7\n"
        "seven\n");
    REQUIRE(f.topics.size() == 2);
    CHECK(f.topics[0].number == 2);
    CHECK(f.topics[0].body == "body");
    CHECK(f.topics[1].number == 7);
    CHECK(f.topics[1].title == "Topic 7");   // no title given
    CHECK(f.topics[1].body == "seven");
}

TEST_CASE("an empty help file or one without topics has no contents") {
    CHECK(ParseHelpFile("").topics.empty());
    CHECK(ContentsTopic(ParseHelpFile("just text\n# comment\n")) == nullptr);
    const HelpFile f = ParseHelpFile("#topic 3 Empty\n\n\n");
    REQUIRE(f.topics.size() == 1);
    CHECK(f.topics[0].body.empty());
}

TEST_CASE("a repeated topic number finds the first") {
    const HelpFile f = ParseHelpFile("#topic 4 First\na\n#topic 4 Second\nb\n");
    REQUIRE(FindHelpTopic(f, 4) != nullptr);
    CHECK(FindHelpTopic(f, 4)->title == "First");
}

TEST_CASE("help text gets CR LF line ends for the edit control") {
    CHECK(WithCrLf("a\nb\n\nc") == "a\r\nb\r\n\r\nc");
    CHECK(WithCrLf("") == "");
}

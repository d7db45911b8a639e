#include "doctest.h"

#include "record/FileNaming.h"

#include <set>
#include <string>

namespace {

auto In(const std::set<std::string>& files) {
    return [&files](const std::string& name) { return files.count(name) != 0; };
}

}  // namespace

TEST_CASE(".avi completion") {
    CHECK(CompleteAviName("") == "capture.avi");
    CHECK(CompleteAviName("clip") == "clip.avi");
    CHECK(CompleteAviName("clip.avi") == "clip.avi");
    CHECK(CompleteAviName("CLIP.AVI") == "CLIP.AVI");
    CHECK(CompleteAviName("a.avi.bak") == "a.avi.bak.avi");
    CHECK(CompleteAviName(".avi") == ".avi");
    CHECK(CompleteAviName("avi") == "avi.avi");
    CHECK(CompleteAviName("x.avix") == "x.avix");   // ".avi" within the last five characters
    CHECK(CompleteAviName("C:\\films\\take") == "C:\\films\\take.avi");
}

TEST_CASE("numbering takes the first free number") {
    std::set<std::string> files;
    CHECK(NumberedFileName("clip.avi", In(files)) == "clip0001.avi");
    files.insert("clip0001.avi");
    CHECK(NumberedFileName("clip.avi", In(files)) == "clip0002.avi");
    // The number in the name is where the search starts.
    CHECK(NumberedFileName("clip0001.avi", In(files)) == "clip0002.avi");
    CHECK(NumberedFileName("take12.avi", In(files)) == "take0012.avi");
    CHECK(NumberedFileName("take0.avi", In(files)) == "take0001.avi");
    CHECK(NumberedFileName("clip", In(files)) == "clip0001");
}

TEST_CASE("numbering: extension and folders") {
    std::set<std::string> none;
    CHECK(NumberedFileName("C:\\a.b\\clip", In(none)) == "C:\\a.b\\clip0001");
    CHECK(NumberedFileName("C:\\a.b\\clip.avi", In(none)) == "C:\\a.b\\clip0001.avi");
    CHECK(NumberedFileName("dir/x7.avi", In(none)) == "dir/x0007.avi");
    CHECK(NumberedFileName("C:clip.avi", In(none)) == "C:clip0001.avi");
    CHECK(NumberedFileName("C:\\take5\\.avi", In(none)) == "C:\\take5\\0001.avi");
}

TEST_CASE("numbering never takes an existing file past 9999") {
    std::set<std::string> files{"clip9998.avi", "clip9999.avi"};
    CHECK(NumberedFileName("clip9998.avi", In(files)) == "clip10000.avi");
    files.insert("clip10000.avi");
    CHECK(NumberedFileName("clip9999.avi", In(files)) == "clip10001.avi");
    // A number already at 10000 or more is kept and searched from.
    CHECK(NumberedFileName("clip12345.avi", In(files)) == "clip12345.avi");
    files.insert("clip12345.avi");
    CHECK(NumberedFileName("clip12345.avi", In(files)) == "clip12346.avi");
}

TEST_CASE("numbering: very long digit runs and names") {
    std::set<std::string> none;
    // Too many digits to be a number: they stay in the stem.
    CHECK(NumberedFileName("clip12345678901.avi", In(none)) == "clip123456789010001.avi");
    CHECK(NumberedFileName("clip123456789.avi", In(none)) == "clip123456789.avi");
    const std::string longName(300, 'a');
    const std::string numbered = NumberedFileName(longName, In(none));
    CHECK(numbered == std::string(259, 'a') + "0001");
}

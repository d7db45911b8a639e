// Reading and writing the options file itself, in a scratch folder.
#include "doctest.h"

#include "settings/OptionsFile.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        path = std::string(temp) + "vmx-options-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(path.c_str(), nullptr);
    }
    ~ScratchFolder() {
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = path + "\\" + found.cFileName;
                ::SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    ::RemoveDirectoryA(name.c_str());
                } else {
                    ::DeleteFileA(name.c_str());
                }
            } while (::FindNextFileA(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryA(path.c_str());
    }
    int CountFiles() const {
        int count = 0;
        WIN32_FIND_DATAA found;
        HANDLE search = ::FindFirstFileA((path + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        do {
            if (found.cFileName[0] != '.') ++count;
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
        return count;
    }
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    REQUIRE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::string ReadBytes(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<none>";
    std::string bytes;
    char buffer[512];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
    std::fclose(f);
    return bytes;
}

}  // namespace

TEST_CASE("options file: read and write") {
    ScratchFolder folder;
    const std::string file = OptionsFilePath(folder.path);
    OptionList list;

    SUBCASE("no file") {
        list.Append("Stale", "1");
        CHECK(ReadOptionsFile(file, list) == 0);
        CHECK(list.Entries().empty());
    }
    SUBCASE("written and read back") {
        list.Append("Width", "320");
        list.Append("AVIFileName", "\"clip.avi\"");
        CHECK(WriteOptionsFile(file, list, true) == 1);
        CHECK(list.Entries().empty());
        CHECK(ReadBytes(file) == "\"Width\"  320\r\n\"AVIFileName\"  \"clip.avi\"\r\n");
        CHECK(folder.CountFiles() == 1);   // no temporary file left behind
        CHECK(ReadOptionsFile(file, list) == 1);
        REQUIRE(list.Entries().size() == 2);
        CHECK(list.Entries()[1].value == "\"clip.avi\"");
    }
    SUBCASE("an existing file is replaced whole") {
        WriteBytes(file, std::string(5000, 'x'));
        list.Append("A", "1");
        CHECK(WriteOptionsFile(file, list, true) == 1);
        CHECK(ReadBytes(file) == "\"A\"  1\r\n");
    }
    SUBCASE("without the write flag the file stays as it is") {
        WriteBytes(file, "; keep\r\n");
        list.Append("A", "1");
        CHECK(WriteOptionsFile(file, list, false) == 1);
        CHECK(list.Entries().empty());
        CHECK(ReadBytes(file) == "; keep\r\n");
    }
    SUBCASE("a target that cannot be replaced keeps its old content") {
        // A folder in the file's place.
        REQUIRE(::CreateDirectoryA(file.c_str(), nullptr));
        list.Append("A", "1");
        CHECK(WriteOptionsFile(file, list, true) == 0);
        CHECK(list.Entries().empty());
        CHECK((::GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0);
        CHECK(folder.CountFiles() == 1);
    }
    SUBCASE("a read-only file keeps its old content") {
        WriteBytes(file, "\"Old\"  1\r\n");
        REQUIRE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
        list.Append("A", "1");
        CHECK(WriteOptionsFile(file, list, true) == 0);
        CHECK(ReadBytes(file) == "\"Old\"  1\r\n");
        CHECK(folder.CountFiles() == 1);
    }
    SUBCASE("a folder that does not exist") {
        list.Append("A", "1");
        CHECK(WriteOptionsFile(folder.path + "\\missing\\Velmorax.ini", list, true) == 0);
    }
}

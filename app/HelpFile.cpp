#include "HelpFile.h"

#include <cctype>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// "#topic N Title": true and the number and title when line is such a line.
bool ParseTopicLine(const std::string& line, int& number, std::string& title) {
    const std::string keyword = "#topic";
    if (line.compare(0, keyword.size(), keyword) != 0) return false;
    size_t i = keyword.size();
    if (i >= line.size() || !IsBlank(line[i])) return false;
    while (i < line.size() && IsBlank(line[i])) ++i;
    const size_t digitsStart = i;
    long value = 0;
    while (i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])) && i - digitsStart < 9)
        value = value * 10 + (line[i++] - '0');
    if (i == digitsStart) return false;
    if (i < line.size() && !IsBlank(line[i])) return false;   // "12a" or too many digits
    number = static_cast<int>(value);
    title = Trimmed(line.substr(i));
    if (title.empty()) title = "Topic " + std::to_string(number);
    return true;
}

void FinishBody(HelpTopic& topic, std::vector<std::string>& lines) {
    size_t begin = 0, end = lines.size();
    while (begin < end && Trimmed(lines[begin]).empty()) ++begin;
    while (end > begin && Trimmed(lines[end - 1]).empty()) --end;
    for (size_t i = begin; i < end; ++i) {
        if (i > begin) topic.body += '\n';
        topic.body += lines[i];
    }
    lines.clear();
}

}  // namespace

HelpFile ParseHelpFile(const std::string& text) {
    HelpFile file;
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = end + 1;

        int number = 0;
        std::string title;
        if (ParseTopicLine(line, number, title)) {
            if (!file.topics.empty()) FinishBody(file.topics.back(), lines);
            file.topics.push_back({number, title, {}});
            continue;
        }
        if (!line.empty() && line[0] == '#') continue;   // a comment
        if (!file.topics.empty()) lines.push_back(line);  // text before the first topic is dropped
    }
    if (!file.topics.empty()) FinishBody(file.topics.back(), lines);
    return file;
}

const HelpTopic* FindHelpTopic(const HelpFile& file, int number) {
    for (const HelpTopic& topic : file.topics)
        if (topic.number == number) return &topic;
    return nullptr;
}

const HelpTopic* ContentsTopic(const HelpFile& file) {
    return file.topics.empty() ? nullptr : &file.topics.front();
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

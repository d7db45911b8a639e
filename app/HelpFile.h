// The program's help file, "Velmorax.hlp" beside the program: plain text in
// numbered topics. A line "#topic N Title" starts topic N; the lines up to the
// next such line are its text. Other lines beginning with "#" are comments.
// The first topic of the file is the contents.
#pragma once

#include <string>
#include <vector>

struct HelpTopic {
    int number = 0;
    std::string title;
    std::string body;   // lines joined by "\n", without leading or trailing blank lines
};

struct HelpFile {
    std::vector<HelpTopic> topics;   // in file order
};

HelpFile ParseHelpFile(const std::string& text);

// The first topic with this number, or none.
const HelpTopic* FindHelpTopic(const HelpFile& file, int number);
// The contents: the first topic of the file, or none.
const HelpTopic* ContentsTopic(const HelpFile& file);

// Text with its line ends as CR LF, as a multi-line edit control wants them.
std::string WithCrLf(const std::string& text);

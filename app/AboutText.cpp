// The version label of the About box, without any window.
#include "AboutDialog.h"

#include "../framework/Strings.h"

std::string VersionLabelText(const std::string& templateText, int32_t major, int32_t minor, int32_t release) {
    std::string text = FormatIntegers(templateText, {major, minor, release});
    if (text.size() > 127) text.resize(127);
    return text;
}

#include "DataExchange.h"

#include "Dialog.h"
#include "Strings.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr size_t kScanLimit = 31;

int refusalsShowing = 0;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text between surrounding blanks, or false when the remainder holds
// more than one token.
std::string Trimmed(const std::string& text) {
    std::string s = text.substr(0, kScanLimit);
    size_t begin = 0, end = s.size();
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

// A zero value must begin with the digit 0 ("-0", "+0", ".0" are refused).
bool ZeroWrittenAsZero(const std::string& token) { return !token.empty() && token[0] == '0'; }

}  // namespace

bool ParseWholeNumber(const std::string& text, int32_t& value) {
    const std::string token = Trimmed(text);
    size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    if (i == token.size()) return false;
    for (size_t k = i; k < token.size(); ++k)
        if (token[k] < '0' || token[k] > '9') return false;
    errno = 0;
    const long long parsed = std::strtoll(token.c_str(), nullptr, 10);
    if (errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    if (parsed == 0 && !ZeroWrittenAsZero(token)) return false;
    value = static_cast<int32_t>(parsed);
    return true;
}

bool ParseFraction(const std::string& text, double& value) {
    const std::string token = Trimmed(text);
    // Only plain decimal notation: sign, digits, point, digits, exponent.
    size_t i = 0, digits = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    while (i < token.size() && token[i] >= '0' && token[i] <= '9') ++i, ++digits;
    if (i < token.size() && token[i] == '.') {
        ++i;
        while (i < token.size() && token[i] >= '0' && token[i] <= '9') ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < token.size() && token[i] >= '0' && token[i] <= '9') ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != token.size()) return false;
    errno = 0;
    const double parsed = std::strtod(token.c_str(), nullptr);
    if (errno == ERANGE || !std::isfinite(parsed)) return false;
    if (parsed == 0.0 && !ZeroWrittenAsZero(token)) return false;
    value = parsed;
    return true;
}

std::string FormatFraction(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", 15, value);
    return buffer;
}

HWND DataExchange::Control(int id) const { return ::GetDlgItem(dialog_.hwnd(), id); }

bool DataExchangeRefusalShowing() { return refusalsShowing > 0; }

void DataExchange::Fail(int id, UINT messageId) {
    failed_ = true;
    ++refusalsShowing;
    // The focus goes back before the message too: the dialog that loses
    // the activation to the message box remembers this control, and puts
    // the focus there again whenever it is activated afterwards.
    HWND control = Control(id);
    if (control) ::SetFocus(control);
    AppMessageBox(LoadResString(messageId), MB_OK | MB_ICONEXCLAMATION);
    if (control) {
        ::SetFocus(control);
        ::SendMessageA(control, EM_SETSEL, 0, -1);
    }
    --refusalsShowing;
}

void DDX_Text(DataExchange& dx, int id, int32_t& value) {
    if (!dx.active()) return;
    if (!dx.saving()) {
        ::SetWindowTextA(dx.Control(id), std::to_string(value).c_str());
        return;
    }
    int32_t parsed = 0;
    if (ParseWholeNumber(WindowText(dx.Control(id)), parsed))
        value = parsed;
    else
        dx.Fail(id, kInvalidIntegerMessage);
}

void DDX_Text(DataExchange& dx, int id, double& value, NumberFits fits) {
    if (!dx.active()) return;
    if (!dx.saving()) {
        ::SetWindowTextA(dx.Control(id), FormatFraction(value).c_str());
        return;
    }
    double parsed = 0;
    if (ParseFraction(WindowText(dx.Control(id)), parsed) && (!fits || fits(parsed)))
        value = parsed;
    else
        dx.Fail(id, kInvalidNumberMessage);
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    if (!dx.active()) return;
    if (dx.saving())
        value = WindowText(dx.Control(id));
    else
        ::SetWindowTextA(dx.Control(id), value.c_str());
}

void DDX_Check(DataExchange& dx, int id, int32_t& value) {
    if (!dx.active()) return;
    HWND control = dx.Control(id);
    if (dx.saving()) {
        value = ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    } else {
        if (value < 0 || value > 2) value = 0;
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(DataExchange& dx, int firstId, int32_t& value) {
    if (!dx.active()) return;
    // The group runs from firstId to the next control with WS_GROUP.
    HWND control = dx.Control(firstId);
    if (dx.saving()) value = -1;
    for (int index = 0; control; ++index) {
        if (dx.saving()) {
            if (::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        control = ::GetWindow(control, GW_HWNDNEXT);
        if (!control || (::GetWindowLongA(control, GWL_STYLE) & WS_GROUP)) break;
    }
}

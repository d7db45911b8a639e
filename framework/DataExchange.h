// Dialog data exchange: copies between a dialog's value members and its
// controls, over the dialog's exchange table (DoDataExchange) in table order.
// The first refused entry shows its message, puts the focus back on that
// control with its text selected and ends the exchange: the members of the
// later entries keep their values.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CDialog;

class DataExchange {
public:
    DataExchange(CDialog& dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}

    bool saving() const { return save_; }
    bool failed() const { return failed_; }
    // True while entries are still to be exchanged.
    bool active() const { return !failed_; }
    HWND Control(int id) const;
    // Marks the exchange failed at control id with the message of string messageId.
    void Fail(int id, UINT messageId);

private:
    CDialog& dialog_;
    bool save_;
    bool failed_ = false;
};

using NumberFits = bool (*)(double value);

void DDX_Text(DataExchange& dx, int id, int32_t& value);      // whole decimal number
// A decimal fraction, shown with %.15g; a number for which fits (when given)
// is false is refused as an invalid number.
void DDX_Text(DataExchange& dx, int id, double& value, NumberFits fits = nullptr);
void DDX_Text(DataExchange& dx, int id, std::string& value);  // text as it is
void DDX_Check(DataExchange& dx, int id, int32_t& value);     // 0 unchecked, 1 checked
void DDX_Radio(DataExchange& dx, int firstId, int32_t& value);  // index in the group, -1 none

// True while a refused entry is being reported and the focus is on its way
// back to it. The focus changes of that moment make other fields lose the
// focus; their handlers skip their exchange then, so that one mistake gives
// one message.
bool DataExchangeRefusalShowing();

// The parsers behind DDX_Text, usable without a window. They look at the first
// 31 characters, allow blanks and tabs around one number, and refuse anything
// else; a zero must be written beginning with the digit 0 ("-0" is refused).
bool ParseWholeNumber(const std::string& text, int32_t& value);
// Decimal notation only (sign, digits, point, decimal exponent): no "inf",
// "nan" or hexadecimal, and nothing that overflows or underflows a double.
bool ParseFraction(const std::string& text, double& value);
// %.15g: 10.0 shows as 10, 7.25 as 7.25.
std::string FormatFraction(double value);

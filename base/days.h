// The days a file must be old: their range, once, and the rules of the days field (what
// typing accepts, how the value is read, stepped and brought into range when the field
// loses the focus).
#pragma once
#include <cstdint>
#include <string>

const int32_t kMinDays = 0;
const int32_t kMaxDays = 365;
const int kDaysMaxLength = 3;

// Reads a 32-bit signed integer: leading blanks, optional sign, decimal digits, or hex
// digits after "$", "x", "X", "0x" or "0X". Fails on anything else or out of range.
bool TryParseInt32(const std::string& text, int32_t& value);

// Digits, "+", "-", the decimal separator, backspace and the clipboard/undo keys.
bool IsDaysCharAccepted(char c, char decimalSeparator);

// The field's text as a whole number, or 0 when it is not one (not limited to the range).
int32_t DaysValueOf(const std::string& text);

int32_t ClampDays(int32_t value);

// The text after the field loses the focus: a whole number outside the range becomes the
// nearest bound; any other text stays as it is.
std::string DaysTextOnExit(const std::string& text);

// The value after an up or down step (+1 / -1), always within the range.
int32_t SteppedDays(const std::string& text, int delta);

// The three conversions of the C formatted scan that log lines are read with, each
// reading from [p, end) and returning where it stopped, or nullptr when the text does
// not match (nothing is stored then). Numbers are read in the C locale whatever the
// process locale is.
#pragma once

#include <cstdint>

namespace zp::cscan {

// "%d": skips white space, reads an optional sign and at least one decimal digit.
// The value saturates at the 64-bit range and is then cut to 32 bits, as glibc's
// scanf stores it: 2147483648 reads as -2147483648, 99999999999999999999 as -1.
const char* scanInt(const char* p, const char* end, std::int32_t& out);

// "%f" into a float: skips white space and reads the longest prefix that C's strtof
// accepts (decimal with optional exponent, hexadecimal with optional binary
// exponent, "inf", "infinity", "nan", "nan(chars)", each with an optional sign),
// rounded from the text to the nearest float directly. "1e" reads 1 and stops before
// the "e"; "0x" reads 0 and stops before the "x"; "." and "-" do not match.
const char* scanFloat(const char* p, const char* end, float& out);

// "%99[^',']": at least one and at most 99 characters that are neither a comma nor
// an apostrophe, stored NUL-terminated in out. White space is not skipped.
inline constexpr int kTextFieldSize = 100;
const char* scanText(const char* p, const char* end, char (&out)[kTextFieldSize]);

// A literal character of the format: matches exactly one equal character.
inline const char* scanLiteral(const char* p, const char* end, char c) {
    return (p != end && *p == c) ? p + 1 : nullptr;
}

// White space as the C locale's isspace sees it.
inline bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace zp::cscan

// The three conversions of the C formatted scan that log lines are read with, each
// reading from [p, end) and returning where it stopped, or nullptr when the text does
// not match (nothing is stored then). Numbers are read in the C locale whatever the
// process locale is.
#pragma once

#include <bit>
#include <cfloat>
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

// "%f" for plain decimal text as instruments write it: an optional minus sign, then at
// most seven digits with an optional decimal point among or after them, followed by a
// character that cannot continue a number (or the end). Such text has an integer value
// below 2^24 over a power of ten up to 10^7, both exact floats, so one float division
// gives the correctly rounded value, as scanFloat would. nullptr for any other text
// (then scanFloat reads it). Inline: most fields of a log are like this.
inline const char* scanPlainDecimal(const char* p, const char* end, float& out) {
    // Float arithmetic in float precision: one division is correctly rounded.
    if constexpr (FLT_EVAL_METHOD != 0) return nullptr;
    constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const char* q = p;
    const bool negative = q != end && *q == '-';
    if (negative) ++q;
    std::uint32_t mantissa = 0;
    int digits = 0;
    while (q != end && static_cast<unsigned char>(*q - '0') < 10 && digits < 8) {
        mantissa = mantissa * 10 + static_cast<unsigned>(*q - '0');
        ++digits;
        ++q;
    }
    int fractionDigits = 0;
    if (q != end && *q == '.') {
        ++q;
        while (q != end && static_cast<unsigned char>(*q - '0') < 10 && digits < 8) {
            mantissa = mantissa * 10 + static_cast<unsigned>(*q - '0');
            ++digits;
            ++fractionDigits;
            ++q;
        }
    }
    if (digits == 0 || digits > 7) return nullptr;
    if (q != end) {
        const char c = static_cast<char>(*q | 0x20);  // lower case for letters
        if (static_cast<unsigned char>(*q - '0') < 10 || *q == '.' || c == 'e' || c == 'x')
            return nullptr;
    }
    const float value = static_cast<float>(mantissa) / kPowersOfTen[fractionDigits];
    out =
        negative ? std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) ^ 0x80000000u) : value;
    return q;
}

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

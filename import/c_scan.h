// The three conversions of the C formatted scan that log lines are read with, each
// reading from [p, end) and returning where it stopped, or nullptr when the text does
// not match (nothing is stored then). Numbers are read in the C locale whatever the
// process locale is.
#pragma once

#include <array>
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

// "%f" by the general path alone: what scanFloat returns, without trying the common
// forms first. For tests that compare the two paths.
const char* scanFloatGeneral(const char* p, const char* end, float& out);

// "%f" for plain decimal text as instruments write it: an optional minus sign, then at
// most seven digits with an optional decimal point among or after them, followed by a
// character that cannot continue a number (or the end). Such text has an integer value
// below 2^24 over a power of ten up to 10^7, both exact floats, so one float division
// gives the correctly rounded value, as scanFloat would. nullptr for any other text
// (then scanCommonDecimal or the general path reads it). The narrowest and quickest of
// the paths: most fields of a log are like this.
namespace plain {

// The characters that may not follow a plain decimal, as they would continue a number
// the general path reads: digits, the point, "e" and "x" in either case.
inline constexpr auto kContinuesNumber = [] {
    std::array<bool, 256> table{};
    for (char c = '0'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = true;
    for (const char c : {'.', 'e', 'E', 'x', 'X'}) table[static_cast<unsigned char>(c)] = true;
    return table;
}();

inline constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};

inline bool isDigit(char c) {
    return static_cast<unsigned char>(c - '0') < 10;
}

}  // namespace plain

inline const char* scanPlainDecimal(const char* p, const char* end, float& out) {
    // Float arithmetic in float precision: one division is correctly rounded.
    if constexpr (FLT_EVAL_METHOD != 0) return nullptr;
    const char* q = p;
    const bool negative = q != end && *q == '-';
    if (negative) ++q;
    // More than seven digits are no plain decimal: the mantissa may then wrap round,
    // as it is not used.
    std::uint32_t mantissa = 0;
    const char* const first = q;
    while (q != end && plain::isDigit(*q))
        mantissa = mantissa * 10 + static_cast<unsigned>(*q++ - '0');
    int digits = static_cast<int>(q - first);
    int fractionDigits = 0;
    if (q != end && *q == '.') {
        const char* const point = ++q;
        while (q != end && plain::isDigit(*q))
            mantissa = mantissa * 10 + static_cast<unsigned>(*q++ - '0');
        fractionDigits = static_cast<int>(q - point);
        digits += fractionDigits;
    }
    if (digits == 0 || digits > 7) return nullptr;
    if (q != end && plain::kContinuesNumber[static_cast<unsigned char>(*q)]) return nullptr;
    const float value = static_cast<float>(mantissa) / plain::kPowersOfTen[fractionDigits];
    out =
        negative ? std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) ^ 0x80000000u) : value;
    return q;
}

// "%f" for the forms instruments write: an optional sign, digits with an optional
// decimal point among or after them, an optional exponent ("e" or "E", an optional
// sign, digits). Returns nullptr for any text it cannot prove to read exactly as
// scanFloatGeneral does (then that path reads it): leading white space, no digit,
// "0x", words, more than 19 digits, a value of more than 2^53 over or under a power of
// ten beyond 10^22, and the rare value that lies on a float rounding tie.
//
// Why it is exact: the digits make an integer m <= 2^53 and the point and exponent a
// power of ten 10^k with |k| <= 22; both are exact doubles, so m * 10^k (or m / 10^-k)
// is the correctly rounded double d of the text's value v. Rounding is monotonic, so
// no float midpoint lies strictly between v and d, and when d is not itself a midpoint
// v and d round to the same float: the correctly rounded float of the text. Every such
// value lies between 1e-22 and 9.1e37, inside the normal float range.
// Inline: most fields of a log are like this.
inline const char* scanCommonDecimal(const char* p, const char* end, float& out);

// The powers of ten that are exact doubles.
inline constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                               1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                               1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The powers of ten that are exact floats.
inline constexpr float kExactFloatPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                   1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// scanCommonDecimal for a caller that checks for ties later: a value that lies on a
// float rounding tie is stored all the same (perhaps one unit off) and sets `tie`,
// which is never cleared. The caller reads the text again with scanFloat when `tie`
// is set; the characters used are the same either way. Leaving the check for later
// lets the next field's scan overlap the division.
inline const char* scanCommonDecimalUnlessTie(const char* p, const char* end, float& out,
                                              bool& tie) {
    // Arithmetic in the precision of its type: one operation is correctly rounded.
    if constexpr (FLT_EVAL_METHOD != 0) return nullptr;
    constexpr int kMaxDigits = 19;  // 10^19 - 1 < 2^64: the digits cannot overflow
    constexpr std::uint64_t kMaxMantissa = std::uint64_t{1} << 53;
    const auto digitAt = [end](const char* q) {
        return q != end ? static_cast<unsigned>(static_cast<unsigned char>(*q) - '0') : 10u;
    };
    const char* q = p;
    bool negative = false;
    if (q != end && (*q == '-' || *q == '+')) {
        negative = *q == '-';
        ++q;
    }
    const char* const first = q;
    std::uint64_t mantissa = 0;
    for (unsigned d; (d = digitAt(q)) < 10; ++q) mantissa = mantissa * 10 + d;
    int digits = static_cast<int>(q - first);
    int fractionDigits = 0;
    if (q != end && *q == '.') {
        const char* const fraction = ++q;
        for (unsigned d; (d = digitAt(q)) < 10; ++q) mantissa = mantissa * 10 + d;
        fractionDigits = static_cast<int>(q - fraction);
        digits += fractionDigits;
    } else if (digits == 1 && *first == '0' && q != end && (*q | 0x20) == 'x') {
        return nullptr;  // hexadecimal
    }
    if (digits == 0 || digits > kMaxDigits || mantissa > kMaxMantissa) return nullptr;
    int power = -fractionDigits;
    if (q != end && (*q | 0x20) == 'e') {
        // The exponent counts only with a digit after the letter (and its sign).
        const char* e = q + 1;
        bool negativeExponent = false;
        if (e != end && (*e == '-' || *e == '+')) {
            negativeExponent = *e == '-';
            ++e;
        }
        if (digitAt(e) < 10) {
            int exponent = 0;
            for (unsigned d; (d = digitAt(e)) < 10; ++e)
                if (exponent < 1000) exponent = exponent * 10 + static_cast<int>(d);
            power += negativeExponent ? -exponent : exponent;
            q = e;
        }
    }
    float rounded;
    if (mantissa < (1u << 24) && power >= -10 && power <= 10) {
        // Both an exact float (10^10 < 2^24 * 2^10): one float operation rounds the
        // text's value correctly, no tie to look for.
        const float m = static_cast<float>(mantissa);
        // A division by 10^0 for an integer too: a line's fields mix integers and
        // fractions, and one kind of operation keeps the branch away.
        rounded =
            power <= 0 ? m / kExactFloatPowersOfTen[-power] : m * kExactFloatPowersOfTen[power];
    } else {
        if (power < -22 || power > 22) return nullptr;
        const double m = static_cast<double>(mantissa);
        const double value =
            power >= 0 ? m * kExactPowersOfTen[power] : m / kExactPowersOfTen[-power];
        // A float midpoint has a one followed by 28 zeros below the float's last bit.
        tie |= (std::bit_cast<std::uint64_t>(value) & 0x1fffffffu) == 0x10000000u;
        rounded = static_cast<float>(value);
    }
    out = std::bit_cast<float>(std::bit_cast<std::uint32_t>(rounded) ^
                               (static_cast<std::uint32_t>(negative) << 31));
    return q;
}

inline const char* scanCommonDecimal(const char* p, const char* end, float& out) {
    if (const char* q = scanPlainDecimal(p, end, out)) return q;
    bool tie = false;
    float value;
    const char* q = scanCommonDecimalUnlessTie(p, end, value, tie);
    if (!q || tie) return nullptr;
    out = value;
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

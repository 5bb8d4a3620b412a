#include "import/c_scan.h"

#include <bit>
#include <cfloat>
#include <charconv>
#include <cstring>
#include <limits>

namespace zp::cscan {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isAlnumOrUnderscore(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Case-insensitive match of the lower-case ASCII word at p.
bool startsWithWord(const char* p, const char* end, const char* word) {
    const std::size_t n = std::strlen(word);
    if (static_cast<std::size_t>(end - p) < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (lower(p[i]) != word[i]) return false;
    return true;
}

const char* skipSpace(const char* p, const char* end) {
    while (p != end && isCSpace(*p)) ++p;
    return p;
}

float withSign(float value, bool negative) {
    if (!negative) return value;
    return std::bit_cast<float>(std::bit_cast<std::uint32_t>(value) ^ 0x80000000u);
}

// Digits of an exponent after 'e' or 'p': [+-]digit+; returns the end of the
// exponent, or `p` itself when no digit follows (the letter is then not consumed).
// `value` receives the exponent, saturated far beyond any float's range.
const char* scanExponent(const char* p, const char* end, long& value) {
    const char* q = p + 1;
    bool negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    if (q == end || !isDigit(*q)) return p;
    long v = 0;
    while (q != end && isDigit(*q)) {
        if (v < 100000000) v = v * 10 + (*q - '0');
        ++q;
    }
    value = negative ? -v : v;
    return q;
}

// The value of an n-char sequence of "nan(...)" as strtoull with base 0 reads it;
// false when the sequence is not one number from end to end.
bool nanPayload(const char* p, const char* end, std::uint64_t& out) {
    if (p == end) {
        out = 0;  // an empty sequence reads as 0 and leaves the default NaN
        return true;
    }
    int base = 10;
    if (*p == '0' && end - p >= 3 && lower(p[1]) == 'x' && isHexDigit(p[2])) {
        base = 16;
        p += 2;
    } else if (*p == '0') {
        base = 8;
    }
    std::uint64_t v = 0;
    bool overflow = false;
    for (; p != end; ++p) {
        const char c = lower(*p);
        int d;
        if (isDigit(c))
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return false;
        if (d >= base) return false;
        if (v > (std::numeric_limits<std::uint64_t>::max() - static_cast<unsigned>(d)) /
                    static_cast<unsigned>(base))
            overflow = true;
        else
            v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    }
    out = overflow ? std::numeric_limits<std::uint64_t>::max() : v;
    return true;
}

// Powers of ten that are exact floats (10^10 < 2^24 * 2^10).
constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                  1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
// Float arithmetic is done in float precision (not wider), so one division is
// correctly rounded.
constexpr bool kExactFloatDivision = FLT_EVAL_METHOD == 0;

// A value out of the float range: infinity when the text's magnitude lies above 1,
// zero below it. `magnitude` is a rough decimal (or binary) exponent of the text.
float outOfRange(long magnitude) {
    return magnitude > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
}

}  // namespace

const char* scanInt(const char* p, const char* end, std::int32_t& out) {
    p = skipSpace(p, end);
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end || !isDigit(*p)) return nullptr;
    // The magnitude saturates at 2^63, which covers both ends of the 64-bit range.
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
    std::uint64_t magnitude = 0;
    // Eighteen digits stay below 2^63: they need no check.
    const char* const unchecked = end - p > 18 ? p + 18 : end;
    while (p != unchecked && isDigit(*p)) {
        magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
        ++p;
    }
    while (p != end && isDigit(*p)) {
        const unsigned digit = static_cast<unsigned>(*p - '0');
        // Checked before multiplying: a 20-digit text would wrap round 2^64.
        magnitude = magnitude > (kLimit - digit) / 10 ? kLimit + 1 : magnitude * 10 + digit;
        ++p;
    }
    std::int64_t value;
    if (negative)
        value = magnitude >= kLimit ? std::numeric_limits<std::int64_t>::min()
                                    : -static_cast<std::int64_t>(magnitude);
    else
        value = magnitude >= kLimit ? std::numeric_limits<std::int64_t>::max()
                                    : static_cast<std::int64_t>(magnitude);
    out = static_cast<std::int32_t>(value);  // keeps the low 32 bits
    return p;
}

namespace {

// [SECTION] The three forms of a float after its sign

// "inf", "infinity", "nan" and "nan(payload)" in any case; nullptr for any other word.
const char* scanFloatWord(const char* p, const char* end, bool negative, float& out) {
    if (startsWithWord(p, end, "inf")) {
        p += 3;
        if (startsWithWord(p, end, "inity")) p += 5;
        out = withSign(std::numeric_limits<float>::infinity(), negative);
        return p;
    }
    if (!startsWithWord(p, end, "nan")) return nullptr;
    p += 3;
    std::uint32_t bits = 0x7fc00000u;
    if (p != end && *p == '(') {
        const char* q = p + 1;
        while (q != end && isAlnumOrUnderscore(*q)) ++q;
        if (q != end && *q == ')') {
            std::uint64_t payload = 0;
            if (nanPayload(p + 1, q, payload))
                bits |= static_cast<std::uint32_t>(payload & 0x3fffffu);
            p = q + 1;
        }
    }
    out = withSign(std::bit_cast<float>(bits), negative);
    return p;
}

// Hexadecimal from the "0x": at least one hex digit (before or after the point) and an
// optional binary exponent. "0x" without hex digits reads as the 0 before the x.
const char* scanHexFloat(const char* p, const char* end, bool negative, float& out) {
    const char* digits = p + 2;
    const char* q = digits;
    long leading = 0;  // hex digits before the point, for the overflow direction
    bool any = false;
    bool nonZeroSeen = false;
    while (q != end && isHexDigit(*q)) {
        if (*q != '0') nonZeroSeen = true;
        if (nonZeroSeen) ++leading;
        any = true;
        ++q;
    }
    if (q != end && *q == '.') {
        ++q;
        while (q != end && isHexDigit(*q)) {
            if (!nonZeroSeen) {
                if (*q != '0')
                    nonZeroSeen = true;
                else
                    --leading;
            }
            any = true;
            ++q;
        }
    }
    if (!any) {
        out = withSign(0.0f, negative);
        return p + 1;
    }
    long exponent = 0;
    if (q != end && lower(*q) == 'p') q = scanExponent(q, end, exponent);
    float value = 0.0f;
    const auto result = std::from_chars(digits, q, value, std::chars_format::hex);
    if (result.ec == std::errc::result_out_of_range) value = outOfRange(leading * 4 + exponent);
    out = withSign(value, negative);
    return q;
}

// The digits of a decimal as an integer while they fit in 24 bits, for the exact short
// path; past that it stays above the limit without overflowing.
struct ShortMantissa {
    std::uint32_t value = 0;
    bool small = true;

    void add(char digit) {
        value = value * 10 + static_cast<unsigned>(digit - '0');
        if (value > (1u << 24)) {
            small = false;
            value = 1u << 25;
        }
    }
};

// Decimal: digits with an optional point, at least one digit, optional exponent.
const char* scanDecimalFloat(const char* p, const char* end, bool negative, float& out) {
    const char* q = p;
    long intDigits = 0;        // significant digits before the point
    long zerosAfterPoint = 0;  // zeros after the point before the first non-zero digit
    bool any = false;
    bool nonZeroSeen = false;
    ShortMantissa mantissa;
    int fractionDigits = 0;
    while (q != end && isDigit(*q)) {
        if (*q != '0') nonZeroSeen = true;
        if (nonZeroSeen) ++intDigits;
        mantissa.add(*q);
        any = true;
        ++q;
    }
    if (q != end && *q == '.') {
        ++q;
        while (q != end && isDigit(*q)) {
            if (!nonZeroSeen) {
                if (*q != '0')
                    nonZeroSeen = true;
                else
                    ++zerosAfterPoint;
            }
            mantissa.add(*q);
            ++fractionDigits;
            any = true;
            ++q;
        }
    }
    if (!any) return nullptr;
    long exponent = 0;
    if (q != end && lower(*q) == 'e') q = scanExponent(q, end, exponent);
    float value = 0.0f;
    if (mantissa.small && exponent == 0 && fractionDigits <= 10 && kExactFloatDivision) {
        // An integer below 2^24 and a power of ten up to 10^10 are both exact floats,
        // so one float division rounds the text's value correctly.
        value = static_cast<float>(mantissa.value) / kPowersOfTen[fractionDigits];
    } else {
        const auto result = std::from_chars(p, q, value, std::chars_format::general);
        if (result.ec == std::errc::result_out_of_range)
            value = outOfRange(exponent + (intDigits > 0 ? intDigits : -zerosAfterPoint));
    }
    out = withSign(value, negative);
    return q;
}

}  // namespace

const char* scanFloat(const char* p, const char* end, float& out) {
    if (const char* q = scanCommonDecimal(p, end, out)) return q;
    return scanFloatGeneral(p, end, out);
}

const char* scanFloatGeneral(const char* p, const char* end, float& out) {
    p = skipSpace(p, end);
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end) return nullptr;
    if (!isDigit(*p) && *p != '.') return scanFloatWord(p, end, negative, out);
    if (*p == '0' && end - p >= 2 && lower(p[1]) == 'x') return scanHexFloat(p, end, negative, out);
    return scanDecimalFloat(p, end, negative, out);
}

const char* scanText(const char* p, const char* end, char (&out)[kTextFieldSize]) {
    // Copied as it is read: the fields are short.
    const char* const limit = end - p > kTextFieldSize - 1 ? p + (kTextFieldSize - 1) : end;
    const char* q = p;
    char* to = out;
    while (q != limit && *q != ',' && *q != '\'') *to++ = *q++;
    if (q == p) return nullptr;
    *to = '\0';
    return q;
}

}  // namespace zp::cscan

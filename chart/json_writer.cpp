#include "chart/json_writer.h"

#include <charconv>
#include <cmath>

namespace zp {

void JsonWriter::string(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    buffer_ += '"';
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                buffer_ += "\\\"";
                break;
            case '\\':
                buffer_ += "\\\\";
                break;
            case '\n':
                buffer_ += "\\n";
                break;
            case '\r':
                buffer_ += "\\r";
                break;
            case '\t':
                buffer_ += "\\t";
                break;
            default:
                if (c < 0x20) {
                    buffer_ += "\\u00";
                    buffer_ += kHex[c >> 4];
                    buffer_ += kHex[c & 15];
                } else {
                    buffer_ += ch;
                }
        }
    }
    buffer_ += '"';
    if (out_ && buffer_.size() >= kFlushSize) flush();
}

void JsonWriter::number(double value) {
    if (std::isnan(value)) return raw("\"nan\"");
    if (std::isinf(value)) return raw(value > 0 ? "\"inf\"" : "\"-inf\"");
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    raw(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

void JsonWriter::integer(long long value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    raw(std::string_view(text, static_cast<std::size_t>(result.ptr - text)));
}

bool JsonWriter::flush() {
    if (!out_) return true;
    if (!buffer_.empty()) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), out_) != buffer_.size()) failed_ = true;
        buffer_.clear();
    }
    if (std::fflush(out_) != 0) failed_ = true;
    return !failed_;
}

}  // namespace zp

// A small JSON text writer for logdump's report: buffered output to a C stream,
// numbers in their shortest round-trip form, non-finite numbers as strings.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <string>
#include <string_view>

namespace zp::logdump {

class JsonWriter {
  public:
    explicit JsonWriter(std::FILE* out) : out_(out) { buffer_.reserve(kFlushSize + 4096); }
    ~JsonWriter() { flush(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    // Raw text, written as it is (punctuation, or a JSON value made elsewhere).
    void raw(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushSize) flush();
    }
    void string(std::string_view utf8);
    void string(const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        string(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
    }
    // A 64-bit double: shortest text that reads back as the same value; "nan",
    // "inf" and "-inf" as strings.
    void number(double value);
    void integer(long long value);
    void boolean(bool value) { raw(value ? "true" : "false"); }

    // Writes out the buffered text; false when the stream reported an error.
    bool flush();

  private:
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
    std::FILE* out_;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace zp::logdump

// The one JSON text writer, for logdump's report and the chart's layout report in it:
// text kept in memory or written to a C stream in large pieces, numbers in their
// shortest round-trip form, non-finite numbers as strings. The caller writes the
// punctuation and layout; the writer only makes values into text.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <string>
#include <string_view>

namespace zp {

class JsonWriter {
  public:
    // Keeps the text in memory, for text().
    JsonWriter() = default;
    // Writes the text to `out`.
    explicit JsonWriter(std::FILE* out) : out_(out) { buffer_.reserve(kFlushSize + 4096); }
    ~JsonWriter() { flush(); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    // Raw text, written as it is (punctuation, or a JSON value made elsewhere).
    void raw(std::string_view text) {
        buffer_.append(text);
        if (out_ && buffer_.size() >= kFlushSize) flush();
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

    // Writes out the buffered text; false when the stream reported an error. Without a
    // stream, keeps the text and returns true.
    bool flush();

    // Everything written so far, when the writer has no stream.
    const std::string& text() const { return buffer_; }

  private:
    static constexpr std::size_t kFlushSize = std::size_t{1} << 20;
    std::FILE* out_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace zp

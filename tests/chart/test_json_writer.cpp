// The JSON writer behind logdump's report and the chart's layout report: the exact text
// of each kind of value, and the same text whether it is kept in memory or written to a
// stream in pieces.
#include <QtTest>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <string>

#include "chart/json_writer.h"

using zp::JsonWriter;

Q_DECLARE_METATYPE(std::function<void(JsonWriter&)>)

class TestJsonWriter : public QObject {
    Q_OBJECT
  private slots:
    void value_text_data();
    void value_text();
    void stream_sameTextAsMemory();
    void stream_fullDeviceFails();
};

using Write = std::function<void(JsonWriter&)>;

void TestJsonWriter::value_text_data() {
    QTest::addColumn<Write>("write");
    QTest::addColumn<QByteArray>("text");
    const double inf = std::numeric_limits<double>::infinity();
    auto row = [](const char* name, Write write, const char* text) {
        QTest::newRow(name) << write << QByteArray(text);
    };
    row(
        "shortest double", [](JsonWriter& w) { w.number(0.1); }, "0.1");
    row(
        "whole double", [](JsonWriter& w) { w.number(45000.0); }, "45000");
    row(
        "tiny double", [](JsonWriter& w) { w.number(1e-300); }, "1e-300");
    row(
        "negative zero", [](JsonWriter& w) { w.number(-0.0); }, "-0");
    row(
        "nan", [](JsonWriter& w) { w.number(std::nan("")); }, "\"nan\"");
    row(
        "infinities",
        [inf](JsonWriter& w) {
            w.number(inf);
            w.raw(",");
            w.number(-inf);
        },
        "\"inf\",\"-inf\"");
    row(
        "integers",
        [](JsonWriter& w) {
            w.integer(-42);
            w.raw(",");
            w.integer(1LL << 40);
        },
        "-42,1099511627776");
    row(
        "booleans",
        [](JsonWriter& w) {
            w.boolean(true);
            w.boolean(false);
        },
        "truefalse");
    row(
        "escapes", [](JsonWriter& w) { w.string(std::string_view("a\"b\\c\n\r\t")); },
        "\"a\\\"b\\\\c\\n\\r\\t\"");
    row(
        "control characters", [](JsonWriter& w) { w.string(std::string_view("\x01\x1f\x7f", 3)); },
        "\"\\u0001\\u001f\x7f\"");
    row(
        "nul inside", [](JsonWriter& w) { w.string(std::string_view("a\0b", 3)); },
        "\"a\\u0000b\"");
    row(
        "QString as UTF-8", [](JsonWriter& w) { w.string(QStringLiteral("°C \u00e9")); },
        "\"\xc2\xb0"
        "C \xc3\xa9\"");
}

void TestJsonWriter::value_text() {
    QFETCH(Write, write);
    QFETCH(QByteArray, text);
    JsonWriter out;
    write(out);
    QVERIFY(out.flush());  // keeps the text without a stream
    QCOMPARE(QByteArray::fromStdString(out.text()), text);
}

// Over three megabytes, so that the stream is written in several pieces.
void TestJsonWriter::stream_sameTextAsMemory() {
    const auto writeMany = [](JsonWriter& out) {
        out.raw("[");
        for (int i = 0; i < 200000; ++i) {
            out.raw(i ? ", " : "");
            out.number(i / 7.0);
            out.raw(", ");
            out.string(QStringLiteral("line %1\n").arg(i));
        }
        out.raw("]");
    };
    JsonWriter memory;
    writeMany(memory);
    QVERIFY(memory.text().size() > (std::size_t{3} << 20));

    std::FILE* file = std::tmpfile();
    QVERIFY(file);
    {
        JsonWriter stream(file);
        writeMany(stream);
        QVERIFY(stream.flush());
        QVERIFY(stream.text().empty());
    }
    std::string written(memory.text().size() + 1, '\0');
    std::rewind(file);
    written.resize(std::fread(written.data(), 1, written.size(), file));
    std::fclose(file);
    QVERIFY(written == memory.text());
}

// A stream that cannot take the text makes flush() fail, which logdump reports.
void TestJsonWriter::stream_fullDeviceFails() {
    std::FILE* full = std::fopen("/dev/full", "w");
    if (!full) QSKIP("no /dev/full here");
    {
        JsonWriter out(full);
        out.raw("{}");
        QVERIFY(!out.flush());
        QVERIFY(!out.flush());  // the failure is not forgotten
    }
    std::fclose(full);
}

QTEST_GUILESS_MAIN(TestJsonWriter)
#include "test_json_writer.moc"

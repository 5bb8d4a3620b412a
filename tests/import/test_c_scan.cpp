// The field scanner against the C library: "%f" must read exactly what strtof reads
// (same characters, same float bits), "%d" exactly what glibc's sscanf stores, and
// the text conversion must stop at 99 characters, a comma or an apostrophe.
#include <QtTest>
#include <bit>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "import/c_scan.h"

namespace {

struct FloatScan {
    bool matched = false;
    long used = 0;
    std::uint32_t bits = 0;
};

FloatScan ours(const std::string& text) {
    FloatScan r;
    float v = -7.0f;
    const char* end = zp::cscan::scanFloat(text.data(), text.data() + text.size(), v);
    if (end) {
        r.matched = true;
        r.used = end - text.data();
        r.bits = std::bit_cast<std::uint32_t>(v);
    }
    return r;
}

// strtof in the C locale, with the white space that "%f" skips.
FloatScan reference(const std::string& text) {
    FloatScan r;
    char* end = nullptr;
    const float v = std::strtof(text.c_str(), &end);
    // strtof reports no conversion by returning the start.
    if (end != text.c_str()) {
        r.matched = true;
        r.used = end - text.c_str();
        r.bits = std::bit_cast<std::uint32_t>(v);
    }
    return r;
}

std::string describe(const std::string& text, const FloatScan& a, const FloatScan& b) {
    char line[300];
    std::snprintf(line, sizeof line, "'%s': ours %d/%ld/%08x, strtof %d/%ld/%08x", text.c_str(),
                  a.matched, a.used, a.bits, b.matched, b.used, b.bits);
    return line;
}

// True when our scan and strtof agree on `text`; the first disagreement fails the test.
bool agreesWithStrtof(const std::string& text) {
    const FloatScan a = ours(text);
    const FloatScan b = reference(text);
    const bool same =
        a.matched == b.matched && (!a.matched || (a.used == b.used && a.bits == b.bits));
    if (!same) qWarning("%s", describe(text, a, b).c_str());
    return same;
}

// Random numbers written the way a log or a hand-edited file might hold them.
std::string randomNumber(std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, 99);
    std::string s;
    if (pick(rng) < 20) s += pick(rng) < 50 ? "-" : "+";
    const int intDigits = pick(rng) % 12;
    for (int i = 0; i < intDigits; ++i) s += static_cast<char>('0' + pick(rng) % 10);
    if (pick(rng) < 70) {
        s += '.';
        const int fraction = pick(rng) % 14;
        for (int i = 0; i < fraction; ++i) s += static_cast<char>('0' + pick(rng) % 10);
    }
    if (pick(rng) < 25) {
        s += pick(rng) < 50 ? 'e' : 'E';
        if (pick(rng) < 50) s += pick(rng) < 50 ? "-" : "+";
        const int expDigits = pick(rng) % 4;
        for (int i = 0; i < expDigits; ++i) s += static_cast<char>('0' + pick(rng) % 10);
    }
    return s;
}

// The tokens of the fuzz dictionaries (name="value" lines, \xNN escapes).
std::vector<std::string> dictionaryTokens() {
    std::vector<std::string> tokens;
    for (const char* name : {"log.dict", "settings.dict", "time_field.dict"}) {
        std::ifstream in(std::string(ZP_SOURCE_DIR) + "/tests/fuzz/" + name);
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t open = line.find('"');
            const std::size_t close = line.rfind('"');
            if (line.empty() || line[0] == '#' || open == std::string::npos || close <= open)
                continue;
            std::string token;
            for (std::size_t i = open + 1; i < close; ++i) {
                if (line[i] == '\\' && i + 3 < close && line[i + 1] == 'x') {
                    token += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
                    i += 3;
                } else if (line[i] == '\\' && i + 1 < close) {
                    token += line[++i];
                } else {
                    token += line[i];
                }
            }
            tokens.push_back(token);
        }
    }
    return tokens;
}

// The common-form path against the general path on `text`: where the common path reads
// the text at all, it stops at the same character with the same float bits. Returns
// whether the common path read it.
bool commonAgreesWithGeneralOn(const std::string& text, bool& agrees) {
    float fast = -7.0f;
    float general = -7.0f;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* fastEnd = zp::cscan::scanCommonDecimal(begin, end, fast);
    const char* generalEnd = zp::cscan::scanFloatGeneral(begin, end, general);
    const bool same =
        !fastEnd || (fastEnd == generalEnd &&
                     std::bit_cast<std::uint32_t>(fast) == std::bit_cast<std::uint32_t>(general));
    if (!same) {
        agrees = false;
        qWarning("'%s': common %ld/%08x, general %ld/%08x", text.c_str(),
                 static_cast<long>(fastEnd - begin), std::bit_cast<std::uint32_t>(fast),
                 generalEnd ? static_cast<long>(generalEnd - begin) : -1L,
                 std::bit_cast<std::uint32_t>(general));
    }
    return fastEnd != nullptr;
}

// The same, on the text alone and followed by a field of 16 more characters (the common
// path reads 8 characters at a time where that many follow).
bool commonAgreesWithGeneral(const std::string& text, bool& agrees) {
    const bool read = commonAgreesWithGeneralOn(text, agrees);
    commonAgreesWithGeneralOn(text + ",1234567890123456", agrees);
    return read;
}

}  // namespace

class TestCScan : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    void scanFloat_edgeCases_data() {
        QTest::addColumn<QByteArray>("text");
        for (const char* t : {"1e",
                              "1e+",
                              "1e-x",
                              "1E5x",
                              "0x",
                              "0X",
                              "0xg",
                              "0x1p",
                              "0x1P+",
                              "0x.p1",
                              "0x.8",
                              "0x1.8p1",
                              "0X1P-149",
                              "0x1p-150",
                              "0x1.ffffffp127",
                              "0x1p99999999999",
                              ".",
                              "-",
                              "+",
                              "-.",
                              ".e3",
                              "1.5.3",
                              "1.",
                              "-.5",
                              "+0",
                              "-0",
                              "0.000",
                              "nan",
                              "NaN",
                              "-nan",
                              "nan(",
                              "nan()",
                              "nan(123)",
                              "nan(0x7f)",
                              "nan(017)",
                              "nan(08)",
                              "nan(abc)",
                              "nan(1_2)",
                              "nan(99999999999999999999999)",
                              "-nan(5)",
                              "inf",
                              "-INF",
                              "infinity",
                              "Infinit",
                              "infinityx",
                              "infx",
                              "in",
                              "n",
                              " ,",
                              "",
                              "3.4028235e38",
                              "3.40282357e38",
                              "3.4028236e38",
                              "1e39",
                              "-1e39",
                              "1e-45",
                              "7.006492e-46",
                              "7.0064924e-46",
                              "7.006493e-46",
                              "1e-46",
                              "1.17549435e-38",
                              "1e-99999999999999999999",
                              "1e99999999999999999999",
                              "0e99999999999",
                              "0.0000000000000000000000000000000000000000000001",
                              "123456789012345678901234567890",
                              "16777217",
                              "16777216.5",
                              "0.1",
                              "13.8",
                              "2400",
                              "-40",
                              "1013.25",
                              "9999999999.0000000001",
                              "1,5",
                              "1'5",
                              "5 ",
                              "-- 5"})
            QTest::newRow(t) << QByteArray(t);
        QTest::newRow("white space then 12.5") << QByteArray("   \t\n\v\f\r 12.5");
        // Each float boundary written exactly: ties between two floats round to even.
        const float samples[] = {1.0f, 0.1f, 100.0f, 3.3f, 1e-40f, 1e30f, 16777216.0f};
        for (const float f : samples) {
            const float next = std::nextafter(f, 2 * f + 1);
            const double mid = (static_cast<double>(f) + static_cast<double>(next)) / 2;
            char text[80];
            std::snprintf(text, sizeof text, "%.60g", mid);
            QTest::newRow(qPrintable(QStringLiteral("tie %1").arg(double(f)))) << QByteArray(text);
        }
        // A line of 900 digits (a piece of an over-long line).
        QTest::newRow("900 digits") << QByteArray(900, '7');
        QTest::newRow("900 fraction digits") << QByteArray("0.") + QByteArray(900, '3');
        QTest::newRow("long hex") << QByteArray("0x1.") + QByteArray(300, 'f') + "p-10";
    }
    void scanFloat_edgeCases() {
        QFETCH(QByteArray, text);
        QVERIFY(agreesWithStrtof(text.toStdString()));
    }

    void scanFloat_randomNumbers() {
        std::mt19937 rng(20240512);
        for (int i = 0; i < 200000; ++i) QVERIFY(agreesWithStrtof(randomNumber(rng)));
    }

    void scanFloat_randomCharacters() {
        // Short strings from the characters that number syntax is made of.
        static const char kAlphabet[] = "0123456789.eEpP+-xXaAfFinINtTyY() ,_";
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> length(1, 10);
        std::uniform_int_distribution<int> ch(0, sizeof kAlphabet - 2);
        for (int i = 0; i < 200000; ++i) {
            std::string s;
            const int n = length(rng);
            for (int k = 0; k < n; ++k) s += kAlphabet[ch(rng)];
            QVERIFY(agreesWithStrtof(s));
        }
    }

    // Every float written with 9 significant digits reads back to itself.
    void scanFloat_roundTripsEveryExponent() {
        for (std::uint32_t bits = 0x00000001u; bits < 0x7f800000u; bits += 0x00012345u) {
            const float f = std::bit_cast<float>(bits);
            char text[40];
            std::snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
            float got = 0;
            QVERIFY(zp::cscan::scanFloat(text, text + std::strlen(text), got));
            QCOMPARE(std::bit_cast<std::uint32_t>(got), bits);
        }
    }

    // For the fields a log holds (a number and then the comma), the C library's own
    // sscanf("%f") reads the same value and stops at the same place.
    void scanFloat_agreesWithSscanfOnFields() {
        std::mt19937 rng(99);
        for (int i = 0; i < 50000; ++i) {
            std::string s = randomNumber(rng);
            // Numbers whose exponent letter lacks digits are read differently by
            // glibc's sscanf (it swallows the "e"); logs never hold them.
            if (!s.empty() &&
                (s.back() == 'e' || s.back() == 'E' || s.back() == '+' || s.back() == '-'))
                continue;
            s += ",9";
            float expected = -7.0f;
            int used = -1;
            const int n = std::sscanf(s.c_str(), "%f%n", &expected, &used);
            float got = -7.0f;
            const char* end = zp::cscan::scanFloat(s.data(), s.data() + s.size(), got);
            QCOMPARE(end != nullptr, n == 1);
            if (n != 1) continue;
            QCOMPARE(static_cast<int>(end - s.data()), used);
            QCOMPARE(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(expected));
        }
    }

    // [SECTION] The common forms against the general path

    // Every dictionary token alone, after a digit or sign, and every pair of them.
    void commonForms_agreeOnDictionaryTokens() {
        const std::vector<std::string> tokens = dictionaryTokens();
        QVERIFY(tokens.size() > 100);
        const char* prefixes[] = {"", "1", "-", "+", "0.", "12.5"};
        bool agrees = true;
        long read = 0;
        for (const std::string& a : tokens) {
            for (const char* prefix : prefixes) read += commonAgreesWithGeneral(prefix + a, agrees);
            QVERIFY(agrees);
            for (const std::string& b : tokens) {
                read += commonAgreesWithGeneral(a + b, agrees);
                QVERIFY(agrees);
            }
        }
        QVERIFY(read > 1000);  // the common path did take part
    }

    // Forms at the edges of the common path: the digit and mantissa limits, powers of
    // ten up to and past 10^22, exponents without digits, ties between two floats.
    void commonForms_agreeAtTheirLimits_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("common");  // the common path reads it
        const auto row = [](const char* name, const QByteArray& text, bool common) {
            QTest::newRow(name) << text << common;
        };
        row("instrument value", "13.8,", true);
        row("negative", "-40", true);
        row("plus sign", "+1013.25", true);
        row("exponent", "1e3", true);
        row("negative exponent", "-2.5E-7,", true);
        row("point last", "7.", true);
        row("point first", ".5", true);
        row("zeros", "-0.000e5", true);
        row("zeros far out", "-0.000e999", false);
        row("2^53", "9007199254740992", true);
        row("2^53 + 1", "9007199254740993", false);
        row("19 digits", "0.000000000000000001", true);
        row("20 digits", "0.0000000000000000001", false);
        row("10^22", "1e22", true);
        row("10^23", "1e23", false);
        row("10^-22", "1e-22", true);
        row("10^-23", "1e-23", false);
        row("fraction and exponent cancel", "123.456e3", true);
        row("exponent letter without digits", "12e", true);
        row("exponent sign without digits", "12e+,", true);
        row("tie above 2^24", "16777217", false);
        row("tie written with a fraction", "16777217.0", false);
        row("hexadecimal", "0x1p3", false);
        row("hexadecimal letter only", "0X", false);
        row("leading blank", " 5", false);
        row("no digit", "-.e5", false);
        row("word", "inf", false);
        row("largest", "9007199254740992e22", true);
        row("smallest", "1e-22", true);
    }
    void commonForms_agreeAtTheirLimits() {
        QFETCH(QByteArray, text);
        QFETCH(bool, common);
        bool agrees = true;
        QCOMPARE(commonAgreesWithGeneral(text.toStdString(), agrees), common);
        QVERIFY(agrees);
    }

    // Random common forms, many near float ties: mantissas of up to 19 digits over
    // every power of ten the common path takes, and every float's shortest text.
    void commonForms_agreeOnRandomNumbers() {
        std::mt19937_64 rng(53);
        bool agrees = true;
        long read = 0;
        for (int i = 0; i < 300000; ++i) {
            const int digits = 1 + static_cast<int>(rng() % 19);
            std::string mantissa;
            for (int k = 0; k < digits; ++k) mantissa += static_cast<char>('0' + rng() % 10);
            const int point = static_cast<int>(rng() % (digits + 1));
            std::string text = (rng() % 4 == 0 ? "-" : "") + mantissa.substr(0, point) + "." +
                               mantissa.substr(point);
            if (rng() % 2) text += "e" + std::to_string(static_cast<int>(rng() % 45) - 22);
            read += commonAgreesWithGeneral(text, agrees);
            QVERIFY(agrees);
        }
        for (std::uint32_t bits = 0x00800000u; bits < 0x7f800000u; bits += 0x00003579u) {
            // A float and the midpoint to the next one, written out in full.
            const float f = std::bit_cast<float>(bits);
            const double mid = (static_cast<double>(f) + std::nextafter(f, 2 * f)) / 2;
            char text[64];
            std::snprintf(text, sizeof text, "%.9g", static_cast<double>(f));
            read += commonAgreesWithGeneral(text, agrees);
            std::snprintf(text, sizeof text, "%.17g", mid);
            read += commonAgreesWithGeneral(text, agrees);
            QVERIFY(agrees);
        }
        QVERIFY(read > 200000);
    }

    void scanInt_matchesGlibcSscanf_data() {
        QTest::addColumn<QByteArray>("text");
        for (const char* t : {"0",
                              "1",
                              "-1",
                              "+5",
                              "  \t42,",
                              "- 5",
                              "+-5",
                              "-",
                              "",
                              "x",
                              "0x10",
                              "007",
                              "2147483647",
                              "2147483648",
                              "-2147483648",
                              "-2147483649",
                              "4294967296",
                              "4294967297",
                              "9223372036854775807",
                              "9223372036854775808",
                              "-9223372036854775808",
                              "-9223372036854775809",
                              "99999999999999999999",
                              "-99999999999999999999",
                              "12.5",
                              "1e5",
                              "1500,20"})
            QTest::newRow(t) << QByteArray(t);
    }
    void scanInt_matchesGlibcSscanf() {
        QFETCH(QByteArray, text);
        int expected = -7;
        int used = -1;
        const int n = std::sscanf(text.constData(), "%d%n", &expected, &used);
        std::int32_t got = -7;
        const char* end = zp::cscan::scanInt(text.constData(), text.constData() + text.size(), got);
        QCOMPARE(end != nullptr, n == 1);
        QCOMPARE(got, static_cast<std::int32_t>(expected));
        if (end) QCOMPARE(static_cast<int>(end - text.constData()), used);
    }

    void scanText_stopsAtCommaApostropheAndWidth_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("used");  // -1: no match
        QTest::newRow("date") << QByteArray("12/05/2024,10:00") << QByteArray("12/05/2024") << 10;
        QTest::newRow("leading blank kept")
            << QByteArray(" 10:00:05,") << QByteArray(" 10:00:05") << 9;
        QTest::newRow("apostrophe ends") << QByteArray("10'00") << QByteArray("10") << 2;
        QTest::newRow("empty field") << QByteArray(",1") << QByteArray("old") << -1;
        QTest::newRow("apostrophe first") << QByteArray("'x") << QByteArray("old") << -1;
        QTest::newRow("line feed kept")
            << QByteArray("10:00:05\n") << QByteArray("10:00:05\n") << 9;
        QTest::newRow("99 characters") << QByteArray(99, 'a') + "," << QByteArray(99, 'a') << 99;
        QTest::newRow("cut at 99") << QByteArray(150, 'b') << QByteArray(99, 'b') << 99;
    }
    void scanText_stopsAtCommaApostropheAndWidth() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, stored);
        QFETCH(int, used);
        char field[zp::cscan::kTextFieldSize] = "old";
        const char* end =
            zp::cscan::scanText(text.constData(), text.constData() + text.size(), field);
        QCOMPARE(end ? static_cast<int>(end - text.constData()) : -1, used);
        QCOMPARE(QByteArray(field), stored);
    }

    // The process locale does not change how numbers read: under a German locale,
    // where the C library's own strtof stops at the point, "13.8" is still 13.8.
    void scanFloat_ignoresProcessLocale() {
        const QLocale before;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const char* german = std::setlocale(LC_ALL, "de_DE.UTF-8");
        if (!german) german = std::setlocale(LC_ALL, "de_DE");
        float value = 0;
        const char text[] = "13.8,1";
        const char* end = zp::cscan::scanFloat(text, text + 6, value);
        std::int32_t i = 0;
        const char* endInt = zp::cscan::scanInt(text + 5, text + 6, i);
        if (german) QCOMPARE(std::strtof("13.8", nullptr), 13.0f);  // the locale is in force
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(before);
        QVERIFY(end);
        QCOMPARE(end - text, 4);
        QCOMPARE(value, 13.8f);
        QVERIFY(endInt);
        QCOMPARE(i, 1);
        if (!german) qInfo("no German C locale installed: checked under QLocale only");
    }
};

QTEST_GUILESS_MAIN(TestCScan)
#include "test_c_scan.moc"

// The line reader against the pieces fgets(buffer, 1000, file) delivers from a file
// opened in text mode on Windows: CR LF reads as LF, a lone CR stays, pieces of at
// most 999 characters, and a last line without a line feed.
#include <QTemporaryDir>
#include <QtTest>
#include <string>
#include <vector>

#include "import/line_reader.h"

namespace {

// The expected pieces, computed the simple way: translate CR LF, then cut.
std::vector<std::string> expectedPieces(const QByteArray& raw) {
    std::string text;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
        text += raw[i];
    }
    std::vector<std::string> pieces;
    std::string piece;
    for (const char c : text) {
        piece += c;
        if (c == '\n' || piece.size() == 999) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

std::vector<std::string> readPieces(const QString& path, std::size_t blockSize) {
    zp::LineReader reader(blockSize);
    std::vector<std::string> pieces;
    if (!reader.open(path)) return pieces;
    std::string_view line;
    while (reader.next(line)) pieces.emplace_back(line);
    return pieces;
}

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write(bytes);
    return path;
}

}  // namespace

class TestLineReader : public QObject {
    Q_OBJECT

  private slots:
    void next_matchesTextModeFgets_data() {
        QTest::addColumn<QByteArray>("raw");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("lines") << QByteArray("a\nbb\n\nccc\n");
        QTest::newRow("no final line feed") << QByteArray("a\nlast");
        QTest::newRow("crlf") << QByteArray("a\r\nbb\r\n\r\n");
        QTest::newRow("lone cr kept") << QByteArray("a\rb\n\r");
        QTest::newRow("cr cr lf") << QByteArray("a\r\r\nb");
        QTest::newRow("nul inside") << QByteArray("1,a\0b,c\n2\n", 10);
        QTest::newRow("999 then lf") << QByteArray(999, 'x') + "\nnext\n";
        QTest::newRow("998 then crlf") << QByteArray(998, 'x') + "\r\nnext";
        QTest::newRow("999 then crlf") << QByteArray(999, 'x') + "\r\nnext";
        QTest::newRow("1000 then lf") << QByteArray(1000, 'x') + "\n";
        QTest::newRow("2500 no lf") << QByteArray(2500, 'y');
        QTest::newRow("1998 exactly") << QByteArray(1998, 'z');
    }
    void next_matchesTextModeFgets() {
        QFETCH(QByteArray, raw);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("log.csv"), raw);
        // Small blocks put block ends everywhere, also between a CR and its LF.
        for (const std::size_t block :
             {std::size_t{1} << 20, std::size_t{1000}, std::size_t{1001}, std::size_t{1003}})
            QCOMPARE(readPieces(path, block), expectedPieces(raw));
    }

    // A file of several blocks, with CR LF pairs falling across block ends and lines
    // of all lengths around the 999 limit.
    void next_largeFileAcrossBlocks() {
        QByteArray raw;
        std::uint32_t state = 12345;
        while (raw.size() < (3 << 20)) {
            state = state * 1103515245u + 12345u;
            const int length = static_cast<int>((state >> 8) % 1400);
            raw += QByteArray(length, static_cast<char>('a' + (state >> 24) % 26));
            raw += (state & 1) ? "\r\n" : "\n";
            if ((state & 0x70) == 0) raw += '\r';
        }
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("big.csv"), raw);
        const std::vector<std::string> expected = expectedPieces(raw);
        QCOMPARE(readPieces(path, std::size_t{1} << 20), expected);
        QCOMPARE(readPieces(path, 4096), expected);
    }

    // The block buffer is sized to each file at open: one reader reading a small file,
    // a larger one and a file that grew after open delivers the same pieces.
    void open_reusedForFilesOfOtherSizes() {
        QTemporaryDir dir;
        QByteArray large;
        for (int i = 0; large.size() < 300000; ++i)
            large += QByteArray(i % 1200, 'x') + ((i & 1) ? "\r\n" : "\n");
        const QByteArray small = "7,d,10:00:00,1\r\n7,d,10:00:01,2";
        const QString smallPath = writeFile(dir, QStringLiteral("small.csv"), small);
        const QString largePath = writeFile(dir, QStringLiteral("large.csv"), large);
        zp::LineReader reader(std::size_t{1} << 17);
        const auto readAll = [&reader](const QString& path) {
            std::vector<std::string> pieces;
            if (!reader.open(path)) return pieces;
            std::string_view line;
            while (reader.next(line)) pieces.emplace_back(line);
            return pieces;
        };
        QCOMPARE(readAll(smallPath), expectedPieces(small));
        QCOMPARE(readAll(largePath), expectedPieces(large));
        QCOMPARE(readAll(smallPath), expectedPieces(small));

        const QString growingPath = writeFile(dir, QStringLiteral("growing.csv"), small);
        zp::LineReader fresh(std::size_t{1} << 17);
        QVERIFY(fresh.open(growingPath));
        QFile more(growingPath);
        QVERIFY(more.open(QIODevice::Append));
        more.write(large);
        more.close();
        std::vector<std::string> pieces;
        std::string_view line;
        while (fresh.next(line)) pieces.emplace_back(line);
        QCOMPARE(pieces, expectedPieces(small + large));
    }

    void open_unicodePathAndMissingFile() {
        QTemporaryDir dir;
        const QString path = writeFile(
            dir, QStringLiteral("Flug \u00fcber M\u00fcnchen \u98de\u884c.csv"), "1\n2\n");
        QVERIFY(!path.isEmpty());
        QCOMPARE(readPieces(path, 1 << 20), (std::vector<std::string>{"1\n", "2\n"}));
        zp::LineReader reader;
        QVERIFY(!reader.open(dir.filePath(QStringLiteral("missing.csv"))));
        QVERIFY(!reader.open(dir.path()));  // a folder is no log file
    }
};

QTEST_GUILESS_MAIN(TestLineReader)
#include "test_line_reader.moc"

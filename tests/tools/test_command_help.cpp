// The usage and help of the command-line tools. Each tool writes them from one table of
// its options; the table must list exactly the options its parser takes, with a value
// where the parser wants one, and the usage names the tool as it was invoked.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "tools/command_help.h"

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    Run result;
    if (!process.waitForFinished(60000)) return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString builtProgram(const QString& name) {
    return QStringLiteral(ZP_BINARY_DIR "/bin/") + name;
}

struct Listed {
    QStringList names;  // the option and its short spelling; an operand's name
    bool takesValue = false;
    bool isOperand = false;
};

// The entries of the "options:" list of a help text: "  -h, --help  Print..." or
// "  --settings FILE  Read...", continuation lines indented further.
QList<Listed> listedOptions(const QString& help) {
    static const QRegularExpression entry(
        QStringLiteral("^  ([A-Za-z-][\\w.-]*)(?:, (--[\\w-]+))?(?: (\\S+))?(?:  |$)"));
    QList<Listed> out;
    const qsizetype start = help.indexOf(QLatin1String("\noptions:\n"));
    if (start < 0) return out;
    for (const QString& line : help.mid(start + 10).split(u'\n')) {
        if (line.isEmpty()) break;
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch()) continue;
        Listed listed;
        listed.names << m.captured(1);
        if (m.hasCaptured(2)) listed.names << m.captured(2);
        listed.takesValue = m.hasCaptured(3);
        listed.isOperand = !m.captured(1).startsWith(u'-');
        out << listed;
    }
    return out;
}

// Every text in the parser's source that is an option and nothing else: "--name", "-o".
QSet<QString> optionLiterals(const QString& sourceFile) {
    QFile file(QStringLiteral(ZP_SOURCE_DIR "/") + sourceFile);
    if (!file.open(QIODevice::ReadOnly)) return {};
    static const QRegularExpression literal(QStringLiteral("\"(--?[a-z][a-z0-9-]*)\""));
    QSet<QString> out;
    const QString text = QString::fromUtf8(file.readAll());
    for (auto it = literal.globalMatch(text); it.hasNext();) out << it.next().captured(1);
    return out;
}

QStringList sorted(const QSet<QString>& set) {
    QStringList list(set.begin(), set.end());
    list.sort();
    return list;
}

}  // namespace

class TestCommandHelp : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        for (const char* name : {"logdump", "genlog"})
            QVERIFY2(QFile::exists(builtProgram(QLatin1String(name))),
                     "build the logdump and genlog targets first");
    }

    // --help and -h print the help on standard output and exit 0, naming the tool as it
    // was invoked (the package installs logdump as zimra-pexo-logdump); bad arguments
    // still exit 2 with the usage on standard error.
    void help_namesTheInvokedProgram_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("invokedAs");
        QTest::addColumn<QString>("option");
        QTest::newRow("logdump --help") << "logdump"
                                        << "logdump"
                                        << "--help";
        QTest::newRow("logdump -h") << "logdump"
                                    << "logdump"
                                    << "-h";
        QTest::newRow("installed name") << "logdump"
                                        << "zimra-pexo-logdump"
                                        << "--help";
        QTest::newRow("genlog --help") << "genlog"
                                       << "genlog"
                                       << "--help";
        QTest::newRow("genlog -h") << "genlog"
                                   << "genlog"
                                   << "-h";
        QTest::newRow("genlog renamed") << "genlog"
                                        << "make-logs"
                                        << "--help";
    }
    void help_namesTheInvokedProgram() {
        QFETCH(QString, program);
        QFETCH(QString, invokedAs);
        QFETCH(QString, option);
        QTemporaryDir dir;
        QString path = builtProgram(program);
        if (invokedAs != program) {
            const QString link = dir.filePath(invokedAs);
            QVERIFY(QFile::link(path, link));
            path = link;
        }
        const Run help = run(path, {option});
        QCOMPARE(help.exitCode, 0);
        QCOMPARE(help.err, QString());
        QVERIFY2(help.out.startsWith(QStringLiteral("usage: %1 [").arg(invokedAs)) ||
                     help.out.startsWith(QStringLiteral("usage: %1 (").arg(invokedAs)),
                 qPrintable(help.out.left(200)));
        QVERIFY(help.out.contains(QLatin1String("\noptions:\n")));

        const Run bad = run(path, {QStringLiteral("--no-such-option")});
        QCOMPARE(bad.exitCode, 2);
        QCOMPARE(bad.out, QString());
        QVERIFY2(bad.err.contains(QStringLiteral("\nusage: %1 ").arg(invokedAs)),
                 qPrintable(bad.err));
    }

    // The help lists every option the parser compares an argument with, and nothing it
    // does not.
    void options_listedAreTheParsed_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("sources");
        QTest::newRow("logdump") << "logdump"
                                 << QStringList{QStringLiteral("tools/logdump.cpp"),
                                                QStringLiteral("tools/logdump_flights.cpp"),
                                                QStringLiteral("tools/logdump_engine.cpp")};
        QTest::newRow("genlog") << "genlog" << QStringList{QStringLiteral("tools/genlog.cpp")};
    }
    void options_listedAreTheParsed() {
        QFETCH(QString, program);
        QFETCH(QStringList, sources);
        QSet<QString> parsed;
        for (const QString& source : sources) parsed += optionLiterals(source);
        QVERIFY(!parsed.isEmpty());
        QSet<QString> listed;
        for (const Listed& option : listedOptions(run(builtProgram(program), {"--help"}).out))
            if (!option.isOperand)
                listed += QSet<QString>(option.names.begin(), option.names.end());
        QCOMPARE(sorted(parsed - listed), QStringList());
        QCOMPARE(sorted(listed - parsed), QStringList());
    }

    // An option listed with a value is refused without one; a switch is taken alone; an
    // option listed for use alone prints and exits 0.
    void options_takeAValueAsListed_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("needsValue");  // the parser's message, %1 the option
        QTest::newRow("logdump") << "logdump"
                                 << "%1 needs a value";
        QTest::newRow("genlog") << "genlog"
                                << "missing value for %1";
    }
    void options_takeAValueAsListed() {
        QFETCH(QString, program);
        QFETCH(QString, needsValue);
        const QString path = builtProgram(program);
        const QString help = run(path, {"--help"}).out;
        const QList<Listed> options = listedOptions(help);
        QVERIFY(options.size() > 5);
        for (const Listed& option : options) {
            if (option.isOperand) continue;
            for (const QString& name : option.names) {
                const Run alone = run(path, {name});
                const QString refused = needsValue.arg(name);
                if (option.takesValue) {
                    QCOMPARE(alone.exitCode, 2);
                    QVERIFY2(alone.err.contains(refused), qPrintable(name + u' ' + alone.err));
                } else {
                    QVERIFY2(!alone.err.contains(refused) && !alone.err.contains(u"unknown"),
                             qPrintable(name + u' ' + alone.err));
                }
            }
        }
    }

    // The help fits 79 columns (but for the examples) and never breaks a synopsis item.
    void help_fitsTheTerminal_data() {
        QTest::addColumn<QString>("program");
        QTest::newRow("logdump") << "logdump";
        QTest::newRow("genlog") << "genlog";
    }
    void help_fitsTheTerminal() {
        QFETCH(QString, program);
        const QString help = run(builtProgram(program), {"--help"}).out;
        const QStringList lines = help.split(u'\n');
        for (const QString& line : lines)
            if (!line.startsWith(QStringLiteral("  ") + program + u' '))
                QVERIFY2(line.size() <= 79, qPrintable(line));
        for (const QString& line : lines.mid(0, lines.indexOf(QString())))
            QVERIFY2(line.count(u'[') == line.count(u']') && line.count(u'(') == line.count(u')'),
                     qPrintable(line));
    }

    // Text that roff would take for a request or an escape is written as text.
    void manual_escapesRoff() {
        const zp::tools::CommandOption options[] = {
            {"--path", "DIR", ".starts with a dot, C:\\logs and 'quotes'"},
        };
        const zp::tools::CommandPage page{"a tool", "does\n\n'nothing", options, {}, {},
                                          {},       "May 2026",         "pkg"};
        const QStringList lines =
            QString::fromStdString(zp::tools::manualPage("my-tool", 1, page)).split(u'\n');
        QCOMPARE(lines.value(0),
                 QStringLiteral(".TH MY-TOOL 1 \"May 2026\" \"pkg\" \"User Commands\""));
        QVERIFY(lines.contains(QStringLiteral("my-tool \\- a tool")));
        QVERIFY(lines.contains(QStringLiteral("\\fB\\-\\-path\\fR \\fIDIR\\fR")));
        QVERIFY(lines.contains(QStringLiteral("\\&.starts with a dot, C:\\elogs and 'quotes'")));
        QVERIFY(lines.contains(QStringLiteral("\\&'nothing")));
        static const QRegularExpression request(
            QStringLiteral("^\\.(TH|SH|B|BR|TP|PP|br|ad|nh|EX|EE)( |$)"));
        for (const QString& line : lines)
            QVERIFY2(!line.startsWith(u'\'') &&
                         (!line.startsWith(u'.') || request.match(line).hasMatch()),
                     qPrintable(line));
    }
};

QTEST_GUILESS_MAIN(TestCommandHelp)
#include "test_command_help.moc"

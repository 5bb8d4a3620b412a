// The source folders form layers, bottom up: the shared domain (channels); the import,
// the settings and the chart; loading a log into the chart, the analysis of the series
// and the flight library, side by side; the application and the tools. A file may
// include headers of its own folder and of lower layers only, and every include of a
// project header names its folder, so each edge between folders shows in the line
// itself. This test reads every source file and fails on the first include that breaks
// either rule.
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Layer of each source folder; folders on one layer may not include each other.
const std::map<std::string, int> kLayers = {
    {"channels", 0}, {"import", 1},  {"settings", 1}, {"chart", 1}, {"loading", 2},
    {"analysis", 2}, {"library", 2}, {"app", 3},      {"tools", 3}, {"tests", 4},
};

struct Include {
    std::string file;
    int line = 0;
    std::string target;
};

std::vector<Include> projectIncludes(const fs::path& root) {
    static const std::regex quoted("^\\s*#\\s*include\\s+\"([^\"]+)\"");
    std::vector<Include> out;
    for (const auto& [folder, layer] : kLayers) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const auto ext = entry.path().extension();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            std::ifstream in(entry.path());
            std::string text;
            int number = 0;
            while (std::getline(in, text)) {
                ++number;
                std::smatch m;
                if (std::regex_search(text, m, quoted))
                    out.push_back(
                        {fs::relative(entry.path(), root).generic_string(), number, m[1]});
            }
        }
    }
    return out;
}

std::string topFolder(const std::string& path) {
    const auto slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Why `inc` breaks a rule, or nothing when it keeps them.
std::optional<std::string> layerViolation(const Include& inc, const fs::path& root) {
    if (inc.target.ends_with(".moc") || inc.target == "zp_version.h")
        return std::nullopt;  // generated in the build folder
    const std::string from = topFolder(inc.file);
    const std::string to = topFolder(inc.target);
    if (to.empty() || !kLayers.contains(to)) return "is not written from the source root";
    if (!fs::exists(root / inc.target)) return "names a header that does not exist";
    if (from == to) return std::nullopt;
    if (kLayers.at(to) >= kLayers.at(from))
        return "includes from " + to + ", which is not below " + from;
    return std::nullopt;
}

}  // namespace

class TestLayers : public QObject {
    Q_OBJECT
  private slots:
    void everyInclude_pointsDownFromTheSourceRoot() {
        const fs::path root(ZP_SOURCE_DIR);
        const auto includes = projectIncludes(root);
        QVERIFY2(includes.size() > 100, "too few includes found: is ZP_SOURCE_DIR right?");
        for (const auto& inc : includes) {
            if (auto why = ::layerViolation(inc, root)) {
                const std::string where =
                    inc.file + ":" + std::to_string(inc.line) + " \"" + inc.target + "\" " + *why;
                QFAIL(where.c_str());
            }
        }
    }

    // The rule itself, on made-up edges, so that a loosened check cannot pass unseen.
    void ruleOnMadeUpEdges_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("breaks");
        QTest::newRow("down") << "import/log_import.cpp"
                              << "channels/catalogue.h" << false;
        QTest::newRow("own folder") << "chart/series.cpp"
                                    << "chart/series.h" << false;
        QTest::newRow("up") << "import/log_import.cpp"
                            << "loading/channel_series.h" << true;
        QTest::newRow("peer") << "chart/series.cpp"
                              << "import/log_import.h" << true;
        QTest::newRow("tools to app") << "tools/logdump.cpp"
                                      << "app/main_window.h" << true;
        QTest::newRow("bare name") << "chart/series.cpp"
                                   << "series.h" << true;
        QTest::newRow("missing header") << "app/main.cpp"
                                        << "chart/no_such_file.h" << true;
        QTest::newRow("analysis on chart") << "analysis/series_analysis.h"
                                           << "chart/series.h" << false;
        QTest::newRow("analysis and loading are peers") << "analysis/series_analysis.cpp"
                                                        << "loading/log_loading.h" << true;
        QTest::newRow("library on import") << "library/flight_reader.cpp"
                                           << "import/log_import.h" << false;
        QTest::newRow("library and loading are peers") << "library/flight_reader.cpp"
                                                       << "loading/log_loading.h" << true;
        QTest::newRow("tools on analysis") << "tools/logdump.cpp"
                                           << "analysis/series_analysis.h" << false;
        QTest::newRow("tests above all") << "tests/app/x.cpp"
                                         << "app/main_window.h" << false;
    }
    void ruleOnMadeUpEdges() {
        QFETCH(QString, file);
        QFETCH(QString, target);
        QFETCH(bool, breaks);
        const Include inc{file.toStdString(), 1, target.toStdString()};
        QCOMPARE(::layerViolation(inc, fs::path(ZP_SOURCE_DIR)).has_value(), breaks);
    }
};

QTEST_APPLESS_MAIN(TestLayers)
#include "test_layers.moc"

// Walks the whole model table: every model's format, legend list, counters and plot
// list against the published layout of its line, and a data step of every model
// that must reach exactly its channels, converted with their own unit selectors.
#include <QtTest>
#include <cstring>
#include <map>
#include <string>

#include "channels/channel_units.h"
#include "import/record_models.h"
#include "tests/support/recording_sink.h"

using namespace zp;

namespace {

// One model as its instrument documentation lays it out: fields 4 onward by name
// ("hobbs", "maint", "-" for an ignored value, or a series name), the legend list
// and the order in which points are appended.
struct Expected {
    int id;
    const char* name;
    const char* format;
    std::vector<std::string> fields;
    std::vector<std::string> legend;
    std::vector<std::string> plots;
};

std::vector<std::string> tcs(int from, int to) {
    std::vector<std::string> list;
    for (int n = from; n <= to; ++n) list.push_back("TC" + std::to_string(n) + "Series");
    return list;
}
std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<Expected>& expectedModels() {
    using V = std::vector<std::string>;
    static const V m1Channels =
        V{"VoltsSeries",   "RPM1Series",    "RPM1PSeries",   "RPM2Series",
          "RPM2PSeries",   "Analog1Series", "Analog2Series", "Analog3Series",
          "Analog4Series", "MAPSeries",     "CurrentSeries", "CJCSeries"} +
        tcs(1, 12) + V{"FuelFlow1Series", "FuelLevelCalcSeries"};
    static const std::vector<Expected> models = {
        {1, "Pexo KV-31 / Zimra KV-32",
         "%d,%[^','],%[^','],%d,%d,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,"
         "%f,%f,%f,%f,%f,%f,%f,%f,%f",
         V{"hobbs", "maint", "VoltsSeries", "RPM1Series", "RPM1PSeries", "RPM2Series",
           "RPM2PSeries", "-", "Analog1Series", "-", "Analog2Series", "-", "Analog3Series", "-",
           "Analog4Series", "MAPSeries", "CurrentSeries", "CJCSeries"} +
             tcs(1, 12) + V{"FuelFlow1Series", "FuelLevelCalcSeries"},
         m1Channels, m1Channels},
        {2, "Pexo LR-33 / Zimra LR-34", "%d,%[^','],%[^','],%f,%f,%f,%f,%f,",
         V{"CJCSeries"} + tcs(1, 4), V{"CJCSeries"} + tcs(1, 4), V{"CJCSeries"} + tcs(1, 4)},
        {3, "Pexo DN-31 / Zimra DN-32", "%d,%[^','],%[^','],%f,%f,%f,%f",
         V{"GForceSeries", "VoltsSeries", "CurrentSeries", "OATSeries"},
         V{"VoltsSeries", "CurrentSeries", "OATSeries", "GForceSeries"},
         V{"GForceSeries", "VoltsSeries", "CurrentSeries", "OATSeries"}},
        {4, "Zimra LR-36", "%d,%[^','],%[^','],%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f",
         V{"CJCSeries"} + tcs(1, 12) + V{"-"}, V{"CJCSeries"} + tcs(1, 12),
         V{"CJCSeries"} + tcs(1, 12)},
        {5, "Pexo HX-35 / Zimra HX36/37", "%d,%[^','],%[^','],%f,%f,%f,%f",
         V{"Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries"},
         V{"Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries"},
         V{"Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries"}},
        {6, "Pexo WQ-31 / Zimra WQ-32", "%d,%[^','],%[^','],%f,%f,%f,%f,%f",
         V{"Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries", "AirspeedSeries"},
         V{"AirspeedSeries", "Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries"},
         V{"Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries", "AirspeedSeries"}},
        {7, "Pexo WJ-34 / Zimra WJ-35", "%d,%[^','],%[^','],%f", V{"AirspeedSeries"},
         V{"AirspeedSeries"}, V{"AirspeedSeries"}},
        {8, "Pexo GB-33 / Zimra GB-34", "%d,%[^','],%[^','],%f,%f,%f,%f,%f,%f,%f,%f",
         V{"-", "Analog1Series", "-", "Analog2Series", "-", "Analog3Series", "-", "Analog4Series"},
         V{"Analog1Series", "Analog2Series", "Analog3Series", "Analog4Series"},
         V{"Analog1Series", "Analog2Series", "Analog3Series", "Analog4Series"}},
        {9, "Pexo NZ-31 / Zimra NZ-32", "%d,%[^','],%[^','],%d,%d,%f,%f,%f,%f",
         V{"hobbs", "maint", "RPM1Series", "RPM1PSeries", "RPM2Series", "RPM2PSeries"},
         V{"RPM1Series", "RPM1PSeries", "RPM2Series", "RPM2PSeries"},
         V{"RPM1Series", "RPM1PSeries", "RPM2Series", "RPM2PSeries"}},
        {10, "Pexo CY-33 / Zimra CY-34", "%d,%[^','],%[^','],%d,%d,%f,%f,%f,%f",
         V{"hobbs", "maint", "RPM1Series", "RPM1PSeries", "MAPSeries", "OATSeries"},
         V{"RPM1Series", "RPM1PSeries", "MAPSeries", "OATSeries"},
         V{"RPM1Series", "RPM1PSeries", "MAPSeries", "OATSeries"}},
        {11, "Pexo SU-34 / Zimra SU-35", "%d,%[^','],%[^','],%f,%f,%f,%f,%f",
         V{"FuelFlow1Series", "FuelFlow2Series", "FuelLevel1Series", "FuelLevel2Series",
           "FuelPressureSeries"},
         V{"FuelFlow1Series", "FuelFlow2Series", "FuelLevel1Series", "FuelLevel2Series",
           "FuelPressureSeries"},
         V{"FuelFlow1Series", "FuelFlow2Series", "FuelLevel1Series", "FuelLevel2Series",
           "FuelPressureSeries"}},
        {12, "Pexo OPT-31/33 / Zimra OPT-32/34", "%d,%[^','],%[^','],%f,%f,%f,%f,%f,%f,%f",
         V{"BankSeries", "PitchSeries", "YawSeries", "-", "-", "HeadingSeries", "GForceSeries"},
         V{"BankSeries", "PitchSeries", "YawSeries", "HeadingSeries", "GForceSeries"},
         V{"BankSeries", "PitchSeries", "YawSeries", "HeadingSeries", "GForceSeries"}},
        {13, "Zimra Vantry-33", "%d,%[^','],%[^','],%d,%d,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f,%f",
         V{"hobbs", "maint", "Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries",
           "AirspeedSeries", "RPM1Series", "RPM1PSeries", "FuelFlow1Series", "FuelLevel1Series",
           "VoltsSeries", "CurrentSeries", "OATSeries"},
         V{"VoltsSeries", "RPM1Series", "RPM1PSeries", "CurrentSeries", "FuelFlow1Series",
           "FuelLevel1Series", "OATSeries", "AirspeedSeries", "Altitude1013Series",
           "AltitudeSeries", "QNHSeries", "VSISeries"},
         V{"Altitude1013Series", "AltitudeSeries", "QNHSeries", "VSISeries", "AirspeedSeries",
           "RPM1Series", "RPM1PSeries", "FuelFlow1Series", "FuelLevel1Series", "VoltsSeries",
           "CurrentSeries", "OATSeries"}},
    };
    return models;
}

Channel channelNamed(const std::string& name) {
    for (int c = 0; c < kChannelCount; ++c)
        if (name == kChannels[c].name) return static_cast<Channel>(c);
    qFatal("no channel %s", name.c_str());
}

std::vector<std::string> names(std::span<const Channel> channels) {
    std::vector<std::string> list;
    for (const Channel c : channels) list.emplace_back(kChannels[c].name);
    return list;
}

// Selectors that convert everywhere, with different codes for the analog inputs so
// that a mixed-up selector shows.
UnitSelectors convertingUnits() {
    UnitSelectors units;
    units.fill(1);
    units[Analog2Unit] = 3;
    units[Analog3Unit] = 7;
    units[Analog4Unit] = 4;  // "A": plotted as recorded
    units[AirspeedUnit] = 2;
    return units;
}

}  // namespace

class TestRecordModels : public QObject {
    Q_OBJECT

  private slots:
    void table_matchesEachModel_data() {
        QTest::addColumn<int>("index");
        for (std::size_t i = 0; i < expectedModels().size(); ++i)
            QTest::newRow(qPrintable(QStringLiteral("model %1").arg(expectedModels()[i].id)))
                << static_cast<int>(i);
    }
    void table_matchesEachModel() {
        QFETCH(int, index);
        const Expected& e = expectedModels()[static_cast<std::size_t>(index)];
        const RecordModel* model = recordModel(e.id);
        QVERIFY(model);
        QCOMPARE(model->id, e.id);
        QCOMPARE(QString::fromUtf8(model->displayName), QString::fromUtf8(e.name));
        QCOMPARE(QString::fromStdString(formatText(*model)), QString::fromUtf8(e.format));
        const bool counters = e.fields.front() == "hobbs";
        QCOMPARE(model->hasCounters, counters);
        QCOMPARE(names(model->legend), e.legend);
        QCOMPARE(names(model->plots), e.plots);

        // Field by field: the counters, the channel slots and the ignored slots.
        QCOMPARE(model->fields.size(), e.fields.size() + 3);
        QCOMPARE(model->fields[0].kind, FieldKind::ModelId);
        QCOMPARE(model->fields[1].kind, FieldKind::DateText);
        QCOMPARE(model->fields[2].kind, FieldKind::TimeText);
        std::vector<int> slotsUsed;
        for (std::size_t i = 0; i < e.fields.size(); ++i) {
            const LineField& field = model->fields[i + 3];
            const std::string& name = e.fields[i];
            if (name == "hobbs") {
                QCOMPARE(field.kind, FieldKind::Hobbs);
            } else if (name == "maint") {
                QCOMPARE(field.kind, FieldKind::Maintenance);
            } else {
                QCOMPARE(field.kind, FieldKind::Value);
                if (name == "-")
                    QVERIFY(field.slot >= kChannelCount && field.slot < kValueSlotCount);
                else
                    QCOMPARE(field.slot, static_cast<int>(channelNamed(name)));
                slotsUsed.push_back(field.slot);
            }
        }
        std::sort(slotsUsed.begin(), slotsUsed.end());
        QVERIFY(std::adjacent_find(slotsUsed.begin(), slotsUsed.end()) == slotsUsed.end());
    }

    void recordModel_outsideOneToThirteen() {
        for (const int id : {0, -1, 14, 100, 1 << 30}) QVERIFY(!recordModel(id));
    }

    // One line of every model, each field a different value: each channel of the model
    // receives one point, the value of its own field through its own conversion; no
    // other channel is touched; the legend lists exactly the model's series.
    void dataStep_eachModelReachesItsChannels_data() { table_matchesEachModel_data(); }
    void dataStep_eachModelReachesItsChannels() {
        QFETCH(int, index);
        const Expected& e = expectedModels()[static_cast<std::size_t>(index)];
        QByteArray line = QByteArray::number(e.id) + ",12/05/2024,10:00:00";
        std::map<std::string, float> recorded;
        for (std::size_t i = 0; i < e.fields.size(); ++i) {
            const float v = 100.25f + static_cast<float>(i) * 7.5f;
            if (e.fields[i] == "hobbs" || e.fields[i] == "maint") {
                line += "," + QByteArray::number(1000 + static_cast<int>(i));
            } else {
                line += "," + QByteArray::number(v, 'f', 2);
                recorded[e.fields[i]] = v;
            }
        }
        line += "\n";
        QTemporaryDir dir;
        RecordingSink sink;
        const UnitSelectors units = convertingUnits();
        QCOMPARE(importText(dir, line, sink, units).status, ImportResult::Status::Loaded);

        std::vector<std::string> listed;
        for (const Channel c : sink.legendChannels()) listed.emplace_back(kChannels[c].name);
        std::vector<std::string> legendSorted = e.legend;
        std::sort(legendSorted.begin(), legendSorted.end(),
                  [](const auto& a, const auto& b) { return channelNamed(a) < channelNamed(b); });
        QCOMPARE(listed, legendSorted);

        for (int c = 0; c < kChannelCount; ++c) {
            const std::string name = kChannels[c].name;
            const bool plotted = std::find(e.plots.begin(), e.plots.end(), name) != e.plots.end();
            if (!plotted) {
                QVERIFY2(sink.points[c].empty(), name.c_str());
                continue;
            }
            QCOMPARE(sink.points[c].size(), std::size_t{1});
            float expected = recorded.at(name);
            if (const std::optional<UnitSelector> selector = unitSelectorOf(Channel(c)))
                expected = toShownUnit(*selector, units[*selector], expected);
            QCOMPARE(sink.points[c][0].x, at(10, 0, 0));
            QVERIFY2(sink.points[c][0].y == static_cast<double>(expected), name.c_str());
        }
        QCOMPARE(sink.panel.modelText, QString::fromUtf8(e.name));
        QCOMPARE(sink.panel.countersVisible, e.fields.front() == "hobbs");
        if (e.fields.front() == "hobbs") {
            QCOMPARE(sink.panel.hobbsStart, QStringLiteral("1000"));
            QCOMPARE(sink.panel.maintenanceStart, QStringLiteral("1001"));
            QCOMPARE(sink.panel.hobbsStop, QStringLiteral("1000"));
            QCOMPARE(sink.panel.maintenanceStop, QStringLiteral("1001"));
        }
    }

    // The order of the appends within a data step and within each second of a gap fill
    // is the model's plot order.
    void gapFill_eachModelInPlotOrder_data() { table_matchesEachModel_data(); }
    void gapFill_eachModelInPlotOrder() {
        QFETCH(int, index);
        const Expected& e = expectedModels()[static_cast<std::size_t>(index)];
        struct OrderSink : RecordingSink {
            std::vector<Channel> order;
            void addXY(Channel channel, double x, double y) override {
                order.push_back(channel);
                RecordingSink::addXY(channel, x, y);
            }
        } sink;
        const QByteArray id = QByteArray::number(e.id);
        QTemporaryDir dir;
        importText(dir, id + ",d,10:00:00,\n" + id + ",d,10:00:03,\n", sink);
        std::vector<Channel> expected;
        for (int round = 0; round < 5; ++round)  // one data step, then 4 seconds of gap
            for (const std::string& name : e.plots) expected.push_back(channelNamed(name));
        QCOMPARE(sink.order, expected);
    }
};

QTEST_GUILESS_MAIN(TestRecordModels)
#include "test_record_models.moc"

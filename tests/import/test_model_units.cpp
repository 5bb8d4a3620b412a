// The unit text of a channel follows the selector the record models convert it with:
// every plot of the thirteen models that converts names the selector unitSelectorOf()
// gives, and every plot as recorded belongs to a channel without one.
#include <QtTest>

#include "channels/channel_units.h"
#include "import/record_models.h"

using namespace zp;

class TestModelUnits : public QObject {
    Q_OBJECT

  private slots:
    void plotsConvertWithTheChannelsSelector() {
        int converted = 0;
        for (int id = 1; id <= kModelCount; ++id) {
            const RecordModel* model = recordModel(id);
            QVERIFY(model);
            for (const ChannelPlot& plot : model->plots) {
                const std::optional<UnitSelector> selector = unitSelectorOf(plot.channel);
                const QByteArray where = QByteArray("model ") + QByteArray::number(id) + " " +
                                         kChannels[plot.channel].name;
                if (plot.convert) {
                    ++converted;
                    QVERIFY2(selector.has_value(), where.constData());
                    QVERIFY2(*selector == plot.unit, where.constData());
                } else {
                    QVERIFY2(!selector.has_value(), where.constData());
                }
            }
        }
        QVERIFY(converted > 0);
    }
};

QTEST_APPLESS_MAIN(TestModelUnits)
#include "test_model_units.moc"

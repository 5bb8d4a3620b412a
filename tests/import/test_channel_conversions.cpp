// The conversion and unit selector the limits assume for each channel are those the
// record models plot it with.
#include <QtTest>

#include "channels/conversions.h"
#include "import/record_models.h"

using namespace zp;

class TestChannelConversions : public QObject {
    Q_OBJECT
  private slots:
    void matchRecordModels() {
        for (int id = 1; id <= kModelCount; ++id) {
            for (const ChannelPlot& plot : recordModel(id)->plots) {
                const ChannelConversion c = channelConversion(plot.channel);
                QVERIFY2(c.convert == plot.convert, kChannels[plot.channel].name);
                if (plot.convert) QCOMPARE(c.selector, static_cast<int>(plot.unit));
            }
        }
    }
};

QTEST_MAIN(TestChannelConversions)
#include "test_channel_conversions.moc"

// What the import writes to: the channel series of Chart1, its bottom axis and the
// labels of the information panel. The viewer's main window and logdump implement it,
// so both run the same import code.
#pragma once

#include <QString>

#include "channels/catalogue.h"

namespace zp {

class ImportSink {
public:
    virtual ~ImportSink() = default;

    // Chart1 and its series.
    virtual void setBottomAxisDateTimeFormat(const QString& format) = 0;
    virtual void setBottomAxisTitle(const QString& caption) = 0;
    virtual void setXDateTime(Channel channel, bool on) = 0;
    virtual void clearSeries(Channel channel) = 0;
    virtual void setShowInLegend(Channel channel, bool on) = 0;
    virtual void addXY(Channel channel, double x, double y) = 0;

    // Information panel.
    virtual void setModelText(const QString& text) = 0;  // Label13
    // Label4, Label5, Label8, Label9 and Label21 to Label24 share one visibility.
    virtual void setCountersVisible(bool visible) = 0;
    virtual void setHobbsStart(const QString& text) = 0;        // Label21
    virtual void setHobbsStop(const QString& text) = 0;         // Label22
    virtual void setMaintenanceStart(const QString& text) = 0;  // Label23
    virtual void setMaintenanceStop(const QString& text) = 0;   // Label24
};

}  // namespace zp

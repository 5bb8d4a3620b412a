#include "app/overlay_tools.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QStatusBar>
#include <cmath>
#include <utility>

#include "app/busy_cursor.h"
#include "app/dialogs.h"
#include "app/library_window.h"
#include "chart/chart_widget.h"
#include "loading/overlay_log.h"

namespace zp {

namespace {

// "+12.5 s", "-3 s": an offset as the status bar and the messages show it.
QString secondsText(std::int64_t ms) {
    return (ms >= 0 ? QStringLiteral("+") : QString()) +
           QString::number(static_cast<double>(ms) / 1000.0, 'f', 3)
               .remove(QRegularExpression(QStringLiteral("\\.?0+$"))) +
           QStringLiteral(" s");
}

}  // namespace

OverlayTools::OverlayTools(chart::ChartWidget& chart, Dialogs& dialogs, const LoadedLog& log,
                           QStatusBar& statusBar, QWidget* window)
    : QObject(window), chart_(chart), dialogs_(dialogs), log_(log), window_(window) {
    label_ = new QLabel(&statusBar);
    label_->setObjectName(QStringLiteral("overlayLabel"));
    label_->setToolTip(QStringLiteral("Shift+drag on the chart or File > Overlay Offset moves it"));
    statusBar.addPermanentWidget(label_);
    label_->hide();
    chart::ChartWidget::TimeDrag drag;
    drag.starts = [this] {
        if (!active()) return false;
        dragFromMs_ = offsetMs_;
        dragging_ = true;
        return true;
    };
    drag.moved = [this](double deltaX, bool done) {
        if (!dragging_) return;
        // The X of a date-time axis counts days.
        moveTo(dragFromMs_ + static_cast<std::int64_t>(std::llround(deltaX * 86400000.0)));
        if (done) dragging_ = false;
    };
    chart_.setTimeDrag(std::move(drag));
}

void OverlayTools::addMenuEntries(QMenu& menu, std::function<UnitSelectors()> units,
                                  std::function<ImportOptions()> importOptions) {
    units_ = std::move(units);
    importOptions_ = std::move(importOptions);
    QAction* open = menu.addAction(QStringLiteral("O&verlay Log..."), this, [this] {
        FileDialogRequest request;
        request.title = QStringLiteral("Overlay log");
        request.filters = {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")};
        request.mustExist = true;
        QStringList files;
        if (!dialogs_.getOpenFileNames(window_, request, files) || files.isEmpty()) return;
        overlay(files.first());
    });
    open->setObjectName(QStringLiteral("overlayLogAction"));
    QAction* offset =
        menu.addAction(QStringLiteral("Overlay O&ffset..."), this, &OverlayTools::askOffset);
    offset->setObjectName(QStringLiteral("overlayOffsetAction"));
    offset->setToolTip(QStringLiteral("Or hold Shift and drag on the chart"));
    QAction* removeAction =
        menu.addAction(QStringLiteral("Remove Overla&y"), this, &OverlayTools::remove);
    removeAction->setObjectName(QStringLiteral("removeOverlayAction"));
    const auto enable = [this, offset, removeAction] {
        offset->setEnabled(active());
        removeAction->setEnabled(active());
    };
    connect(&menu, &QMenu::aboutToShow, this, enable);
    menu.setToolTipsVisible(true);
}

bool OverlayTools::active() const {
    return hasOverlay(chart_.chart());
}

bool OverlayTools::overlay(const QString& path, const std::optional<library::Flight>& flight) {
    if (!log_.loaded()) {
        dialogs_.messageBox(window_, QStringLiteral("Load a log first, then overlay a second one."),
                            QStringLiteral("Message"));
        return false;
    }
    const UnitSelectors units = units_ ? units_() : log_.units;
    if (units != log_.units) {
        dialogs_.messageBox(
            window_,
            QStringLiteral("\"%1\" was loaded in other units than Settings > Units chooses now, "
                           "so the overlay would not be comparable. Load the log again to apply "
                           "the units, then overlay.")
                .arg(QFileInfo(log_.path).fileName()),
            QStringLiteral("Overlay refused"));
        return false;
    }
    OverlayRead read;
    {
        const BusyCursor busy;
        read = readOverlay(path, units,
                           importOptions_ ? importOptions_() : ImportOptions::forThisMachine());
    }
    if (read.result.status == ImportResult::Status::OpenFailed) {
        dialogs_.messageBox(window_, read.result.message, QStringLiteral("Message"));
        return false;
    }
    // Where the overlay starts, and where on the loaded log it is laid.
    std::optional<std::int64_t> from = secondOfDay(read.result.report.firstTime);
    std::optional<std::int64_t> to = secondOfDay(log_.report.firstTime);
    if (shownFlight_) to = shownFlight_->startSecond;
    if (flight) {
        // Only the flight's points: from its first reading to its end.
        chart::Chart scratch;
        scratch.series = std::move(read.series);
        const std::optional<double> start = flightStartX(scratch, *flight);
        read.series = std::move(scratch.series);
        if (!start) {
            dialogs_.messageBox(window_,
                                QStringLiteral("The flight was not found in \"%1\"; it may have "
                                               "changed since it was indexed.")
                                    .arg(QFileInfo(path).fileName()),
                                QStringLiteral("Message"));
            return false;
        }
        const double end = shiftedX(*start, flight->seconds * 1000);
        for (chart::LineSeries& series : read.series)
            shiftPoints(series.points, 0, std::pair(*start, end));
        from = flight->startSecond;
    }
    path_ = path;
    alignMs_ = from && to ? (*to - *from) * 1000 : 0;
    offsetMs_ = 0;
    showOverlay(chart_.chart(), std::move(read.series), alignMs_);
    showStatus();
    if (read.result.status == ImportResult::Status::Error)
        dialogs_.errorBox(window_, read.result.message);
    else if (read.result.status == ImportResult::Status::TooMuchData)
        dialogs_.messageBox(window_, read.result.message, QStringLiteral("Message"));
    return true;
}

void OverlayTools::remove() {
    dragging_ = false;
    removeOverlay(chart_.chart());
    path_.clear();
    alignMs_ = offsetMs_ = 0;
    showStatus();
}

bool OverlayTools::setOffsetSeconds(double seconds) {
    if (!active() || !std::isfinite(seconds)) return false;
    moveTo(wholeMilliseconds(seconds));
    return true;
}

void OverlayTools::askOffset() {
    if (!active()) return;
    double seconds = offsetSeconds();
    if (!dialogs_.getSeconds(window_, QStringLiteral("Overlay offset"),
                             QStringLiteral("Seconds to move the overlay by, beyond lining up its "
                                            "start (negative: earlier):"),
                             seconds))
        return;
    setOffsetSeconds(seconds);
}

void OverlayTools::moveTo(std::int64_t offsetMs) {
    if (!active() || offsetMs == offsetMs_) return;
    shiftOverlay(chart_.chart(), offsetMs - offsetMs_);
    offsetMs_ = offsetMs;
    showStatus();
}

void OverlayTools::loadEnded(bool fileRead) {
    if (!fileRead) return;
    shownFlight_.reset();
    remove();
}

void OverlayTools::showStatus() {
    if (!active()) {
        label_->hide();
        return;
    }
    label_->setText(QStringLiteral("Overlay: %1, offset %2")
                        .arg(QFileInfo(path_).fileName(), secondsText(offsetMs_)));
    label_->show();
}

}  // namespace zp

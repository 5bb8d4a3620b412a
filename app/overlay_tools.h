// File > Overlay Log, Overlay Offset and Remove Overlay, and the Flight Library's Overlay
// Flight: a second log (or one flight of it) laid over the loaded one, dashed and lighter,
// its first record on the loaded log's first record (a flight's start on the start of the
// flight shown), moved further by an offset typed in seconds or dragged with Shift held.
// The overlay is read in the units the loaded log was read in, or not at all.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "channels/unit_selectors.h"
#include "import/import_options.h"
#include "library/flight.h"
#include "loading/loaded_log.h"

class QLabel;
class QMenu;
class QStatusBar;
class QWidget;

namespace zp {

namespace chart {
class ChartWidget;
}
class Dialogs;

class OverlayTools : public QObject {
    Q_OBJECT
  public:
    // `log` is the loaded log as the main window keeps it and must outlive the tools.
    OverlayTools(chart::ChartWidget& chart, Dialogs& dialogs, const LoadedLog& log,
                 QStatusBar& statusBar, QWidget* window);

    // Overlay Log..., Overlay Offset... and Remove Overlay, added to `menu`. They read
    // the units a load would use now and how loads read logs through the two getters.
    void addMenuEntries(QMenu& menu, std::function<UnitSelectors()> units,
                        std::function<ImportOptions()> importOptions);

    // Lays `path` over the loaded log; with `flight`, only that flight of it, its start on
    // the start of the flight shown (or the loaded log's first record). False, with a
    // message, when it is refused or cannot be read.
    bool overlay(const QString& path, const std::optional<library::Flight>& flight = {});
    // Ends the overlay.
    void remove();
    // The offset beyond the alignment, in seconds; false without an overlay.
    bool setOffsetSeconds(double seconds);
    // Asks for the offset in seconds (Overlay Offset...).
    void askOffset();

    bool active() const;
    // The overlaid file; empty without an overlay.
    QString path() const { return active() ? path_ : QString(); }
    // The seconds the overlay's first record (or flight start) is moved to line up with
    // the loaded log's, and the offset beyond that.
    double alignmentSeconds() const { return static_cast<double>(alignMs_) / 1000.0; }
    double offsetSeconds() const { return static_cast<double>(offsetMs_) / 1000.0; }

    // Every load ends here: a load that read a file ends the overlay.
    void loadEnded(bool fileRead);
    // The flight the loaded log was opened to from the library (none: the whole log);
    // an overlay's start is laid on its start.
    void setShownFlight(const std::optional<library::Flight>& flight) { shownFlight_ = flight; }

    QLabel& statusLabel() const { return *label_; }

  private:
    // Moves the overlay so that its offset is `offsetMs`.
    void moveTo(std::int64_t offsetMs);
    void showStatus();

    chart::ChartWidget& chart_;
    Dialogs& dialogs_;
    const LoadedLog& log_;
    QWidget* window_;
    std::function<UnitSelectors()> units_;
    std::function<ImportOptions()> importOptions_;
    // The flight the loaded log shows, when it was opened from the library.
    std::optional<library::Flight> shownFlight_;
    QString path_;
    std::int64_t alignMs_ = 0;
    std::int64_t offsetMs_ = 0;
    // The offset when a Shift drag began.
    std::int64_t dragFromMs_ = 0;
    bool dragging_ = false;
    QLabel* label_;
};

}  // namespace zp

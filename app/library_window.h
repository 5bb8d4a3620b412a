// The Flight Library window: every flight of the logs in a folder as one row, with its
// date, start, duration, file, model, Hobbs counter, records, the maximum of the
// channels picked as columns and its runs beyond the limits. The flight library reads
// the folder in a background thread into its database (only files that changed are read
// again) while a progress bar shows files, megabytes and speed; the window and the chart
// stay usable and the run can be cancelled. Files that are not logs, cannot be read or
// stopped have rows of their own with their status.
//
// A folder may belong to an aircraft (its registration, typed into the window): its logs
// are then kept by their path inside it, and the table shows the flights of every
// aircraft in the database, which a shared database (a PostgreSQL server) has from
// other desks too, with an Aircraft column and a filter by aircraft.
#pragma once

#include <QDate>
#include <QString>
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "channels/catalogue.h"
#include "chart/chart_model.h"
#include "library/flight.h"
#include "library/flight_indexer.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;

namespace zp {

class TrendWindow;

// How the window indexes a folder: the database file (empty: the library's default) and
// how logs are read into flights (units, limits, split gap, regional settings).
struct LibrarySetup {
    QString databasePath;  // a file, or a server's postgresql:// location
    library::FlightOptions options;
    QString aircraft;  // the folder's aircraft (empty: none)
};

// One row of the table: a flight, or a file without a flight (shown by its status).
struct LibraryRow {
    QString path;   // absolute (another desk's aircraft: inside its folder)
    QString shown;  // inside the folder
    QString aircraft;
    library::FileStatus status = library::FileStatus::Indexed;
    QString message;
    std::optional<library::Flight> flight;
};

// The rows of the indexed files, flights in file order, a file without flights as one row.
std::vector<LibraryRow> libraryRows(const std::vector<library::IndexedLog>& files);

// Whether a filter keeps `row`: `text` (any case) in its file, model or date, and its
// flight's date within `from` .. `to` (either open). A row without a flight has no date
// and is kept by the text alone.
bool rowMatches(const LibraryRow& row, const QString& text, std::optional<QDate> from,
                std::optional<QDate> to);

// The name of the model with the most records of the flight ("" without records).
QString mainModelName(const library::Flight& flight);

// Where the flight starts on the chart: the X of a point of the first series with a legend
// item and points whose time of day is the flight's start; of several, the one nearest
// the flight's date (a date-and-time field), else the first. None without such a point.
std::optional<double> flightStartX(const chart::Chart& chart, const library::Flight& flight);

class FlightLibraryWindow : public QWidget {
    Q_OBJECT
  public:
    explicit FlightLibraryWindow(QWidget* parent = nullptr);
    ~FlightLibraryWindow() override;

    // Indexes `folder` with `setup` in the background (a run in progress is cancelled
    // first); the table fills when it ends.
    void openFolder(const QString& folder, const LibrarySetup& setup);
    // Stops the run in progress; what it has stored stays.
    void cancel();
    bool indexing() const { return thread_ != nullptr; }

    QString folder() const { return folder_; }
    QLineEdit& aircraftEdit() const { return *aircraftEdit_; }
    QComboBox& aircraftFilter() const { return *aircraftFilter_; }
    QTableWidget& table() const { return *table_; }
    QProgressBar& progressBar() const { return *progress_; }
    QLabel& statusLabel() const { return *status_; }
    const std::vector<LibraryRow>& rows() const { return rows_; }

    // The filter of the text box and the two dates.
    void setFilter(const QString& text, std::optional<QDate> from, std::optional<QDate> to);
    // The channels whose maximum per flight has a column, in catalogue order.
    void setColumnChannels(const std::vector<Channel>& channels);
    const std::vector<Channel>& columnChannels() const { return columns_; }

    // The Trend window of the flights the filter keeps (made on first use), showing the
    // channels picked as columns, or the first channel with readings when none is.
    TrendWindow& showTrend();
    TrendWindow* trendWindow() const { return trend_; }

  signals:
    // A flight's row was double-clicked: open `path` and show that flight.
    void flightChosen(const QString& path, const library::Flight& flight);
    // Overlay Flight was pressed on a flight's row: lay that flight over the log shown.
    void flightOverlayChosen(const QString& path, const library::Flight& flight);
    // An indexing run ended (finished or cancelled) and the table shows its files.
    void indexingEnded();
    // The user gave the folder an aircraft (empty: none); the folder is indexed again.
    void aircraftChanged(const QString& folder, const QString& registration);

  private:
    void buildColumnsMenu();
    void startRun();
    void showProgress(const library::IndexProgress& progress);
    void runEnded();
    void fillTable();
    void applyFilter();
    // Hands the flights the filter keeps to the Trend window, when it is open.
    void updateTrend();
    QString unitOf(Channel channel) const;

    QString folder_;
    LibrarySetup setup_;
    std::vector<Channel> columns_;
    std::vector<LibraryRow> rows_;

    // The run in progress: its thread, its stop flag and what it hands over at its end.
    QThread* thread_ = nullptr;
    std::shared_ptr<std::atomic<bool>> stop_;
    std::shared_ptr<library::IndexResult> result_;
    std::shared_ptr<QString> notice_;
    // Files of the other aircraft in the database, read at the end of a run.
    std::shared_ptr<std::vector<LibraryRow>> fleet_;
    bool restartPending_ = false;

    QLabel* folderLabel_;
    QLineEdit* aircraftEdit_;
    QComboBox* aircraftFilter_;
    QLineEdit* filterText_;
    QCheckBox* fromCheck_;
    QDateEdit* fromDate_;
    QCheckBox* toCheck_;
    QDateEdit* toDate_;
    QPushButton* columnsButton_;
    QMenu* columnsMenu_;
    QTableWidget* table_ = nullptr;
    QProgressBar* progress_;
    QLabel* status_;
    QPushButton* cancelButton_;
    QPushButton* trendButton_;
    TrendWindow* trend_ = nullptr;
};

}  // namespace zp

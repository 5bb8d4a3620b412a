#include "app/library_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/trend_window.h"
#include "channels/channel_units.h"
#include "import/record_models.h"
#include "library/sql_flight_store.h"

namespace zp {

namespace {

// The table's fixed columns; the picked channels' maxima stand between Records and
// Exceedances.
enum Column {
    DateColumn,
    StartColumn,
    DurationColumn,
    FileColumn,
    ModelColumn,
    HobbsColumn,
    RecordsColumn,
    kFixedBefore
};

// A cell that sorts by a key of its own (a number, or a text that sorts as it should).
class SortedItem : public QTableWidgetItem {
  public:
    SortedItem(const QString& text, QVariant key) : QTableWidgetItem(text) {
        setData(Qt::UserRole, std::move(key));
        setFlags(flags() & ~Qt::ItemIsEditable);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(Qt::UserRole);
        const QVariant b = other.data(Qt::UserRole);
        if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
            return a.toString() < b.toString();
        return a.toDouble() < b.toDouble();
    }
};

QString durationText(std::int64_t seconds) {
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString number(double v) {
    return QString::number(v, 'g', 7);
}

std::int64_t recordsOf(const library::Flight& flight) {
    std::int64_t total = 0;
    for (const std::int64_t n : flight.records) total += n;
    return total;
}

std::int64_t runsOf(const library::Flight& flight) {
    std::int64_t runs = 0;
    for (const auto& figures : flight.channels)
        if (figures) runs += figures->highRuns + figures->lowRuns;
    return runs;
}

// The row index kept in the first cell, so rows are found again after a sort.
constexpr int kRowIndexRole = Qt::UserRole + 1;

}  // namespace

std::vector<LibraryRow> libraryRows(const std::vector<library::IndexedLog>& files) {
    std::vector<LibraryRow> rows;
    for (const library::IndexedLog& indexed : files) {
        const library::FileFlights& file = indexed.file;
        LibraryRow row;
        row.path = file.path;
        row.shown = indexed.log.shown;
        row.status = file.status;
        row.message = file.message;
        if (file.flights.empty()) {
            rows.push_back(row);
            continue;
        }
        for (const library::Flight& flight : file.flights) {
            row.flight = flight;
            rows.push_back(row);
        }
    }
    return rows;
}

QString mainModelName(const library::Flight& flight) {
    const auto most = std::max_element(flight.records.begin() + 1, flight.records.end());
    if (*most == 0) return {};
    const RecordModel* model = recordModel(static_cast<int>(most - flight.records.begin()));
    return model ? QString::fromLatin1(model->displayName) : QString();
}

std::optional<double> flightStartX(const chart::Chart& chart, const library::Flight& flight) {
    const chart::LineSeries* series = nullptr;
    for (const chart::LineSeries& s : chart.series) {
        if (s.showInLegend && !s.points.empty()) {
            series = &s;
            break;
        }
    }
    if (!series) return std::nullopt;
    // Days since the day the date-time values count from.
    const std::optional<double> wanted =
        flight.dateFromText && flight.date.isValid()
            ? std::optional(QDate(1899, 12, 30).daysTo(flight.date) + flight.startSecond / 86400.0)
            : std::nullopt;
    std::optional<double> best;
    for (const chart::ChartPoint p : series->points.points()) {
        const double day = std::floor(p.x);
        const long long second = std::llround((p.x - day) * 86400.0) % 86400;
        if (second != flight.startSecond) continue;
        if (!best) best = p.x;
        if (!wanted) break;
        if (std::abs(p.x - *wanted) < std::abs(*best - *wanted)) best = p.x;
    }
    return best;
}

bool rowMatches(const LibraryRow& row, const QString& text, std::optional<QDate> from,
                std::optional<QDate> to) {
    if (row.flight) {
        const QDate date = row.flight->date;
        if (from && (!date.isValid() || date < *from)) return false;
        if (to && (!date.isValid() || date > *to)) return false;
    }
    if (text.isEmpty()) return true;
    QStringList haystack = {row.shown};
    if (row.flight) {
        haystack << mainModelName(*row.flight) << row.flight->date.toString(Qt::ISODate)
                 << row.flight->dateText;
    } else {
        haystack << QString::fromLatin1(library::statusText(row.status)) << row.message;
    }
    return std::any_of(haystack.begin(), haystack.end(),
                       [&text](const QString& s) { return s.contains(text, Qt::CaseInsensitive); });
}

FlightLibraryWindow::FlightLibraryWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("flightLibraryWindow"));
    setWindowTitle(QStringLiteral("Flight Library"));
    setWindowFlag(Qt::Window);

    folderLabel_ = new QLabel(QStringLiteral("No folder opened."), this);
    folderLabel_->setObjectName(QStringLiteral("libraryFolder"));
    aircraftEdit_ = new QLineEdit(this);
    aircraftEdit_->setObjectName(QStringLiteral("libraryAircraft"));
    aircraftEdit_->setPlaceholderText(QStringLiteral("Registration"));
    aircraftEdit_->setToolTip(
        QStringLiteral("The aircraft whose logs this folder holds; Enter indexes it again"));
    aircraftEdit_->setMaximumWidth(140);
    auto* aircraftLabel = new QLabel(QStringLiteral("&Aircraft:"), this);
    aircraftLabel->setBuddy(aircraftEdit_);
    connect(aircraftEdit_, &QLineEdit::returnPressed, this, [this] {
        const QString registration = aircraftEdit_->text().trimmed();
        if (folder_.isEmpty() || registration == setup_.aircraft) return;
        emit aircraftChanged(folder_, registration);
    });
    aircraftFilter_ = new QComboBox(this);
    aircraftFilter_->setObjectName(QStringLiteral("libraryAircraftFilter"));
    aircraftFilter_->setToolTip(QStringLiteral("Show the flights of one aircraft"));
    aircraftFilter_->hide();
    connect(aircraftFilter_, &QComboBox::currentIndexChanged, this,
            &FlightLibraryWindow::applyFilter);

    filterText_ = new QLineEdit(this);
    filterText_->setObjectName(QStringLiteral("libraryFilter"));
    filterText_->setPlaceholderText(QStringLiteral("Filter by file, model or date"));
    filterText_->setClearButtonEnabled(true);
    const auto dateBox = [this](const char* checkName, const QString& text, const char* name,
                                QCheckBox*& check, QDateEdit*& edit) {
        check = new QCheckBox(text, this);
        check->setObjectName(QLatin1String(checkName));
        edit = new QDateEdit(QDate::currentDate(), this);
        edit->setObjectName(QLatin1String(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        edit->setEnabled(false);
        connect(check, &QCheckBox::toggled, edit, &QWidget::setEnabled);
        connect(check, &QCheckBox::toggled, this, &FlightLibraryWindow::applyFilter);
        connect(edit, &QDateEdit::dateChanged, this, &FlightLibraryWindow::applyFilter);
    };
    dateBox("libraryFromCheck", QStringLiteral("&From"), "libraryFrom", fromCheck_, fromDate_);
    dateBox("libraryToCheck", QStringLiteral("&To"), "libraryTo", toCheck_, toDate_);
    {
        const QSignalBlocker quiet(fromDate_);
        fromDate_->setDate(QDate::currentDate().addYears(-1));
    }
    columnsButton_ = new QPushButton(QStringLiteral("C&olumns"), this);
    columnsButton_->setObjectName(QStringLiteral("libraryColumns"));
    columnsButton_->setToolTip(QStringLiteral("Channels whose maximum per flight is shown"));
    columnsMenu_ = new QMenu(columnsButton_);
    columnsButton_->setMenu(columnsMenu_);
    buildColumnsMenu();
    connect(filterText_, &QLineEdit::textChanged, this, &FlightLibraryWindow::applyFilter);

    table_ = new QTableWidget(0, 0, this);
    table_->setObjectName(QStringLiteral("libraryTable"));
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setToolTip(QStringLiteral("Double-click a flight to open it"));
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const QTableWidgetItem* first = table_->item(row, 0);
        if (!first) return;
        const std::size_t index = first->data(kRowIndexRole).toULongLong();
        if (index < rows_.size() && rows_[index].flight &&
            QFileInfo(rows_[index].path).isAbsolute())
            emit flightChosen(rows_[index].path, *rows_[index].flight);
    });

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("libraryProgress"));
    progress_->setFormat(QStringLiteral("%v of %m files"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("libraryStatus"));
    status_->setWordWrap(true);
    cancelButton_ = new QPushButton(QStringLiteral("C&ancel"), this);
    cancelButton_->setObjectName(QStringLiteral("libraryCancel"));
    cancelButton_->setEnabled(false);
    connect(cancelButton_, &QPushButton::clicked, this, &FlightLibraryWindow::cancel);
    auto* overlay = new QPushButton(QStringLiteral("O&verlay Flight"), this);
    overlay->setObjectName(QStringLiteral("libraryOverlay"));
    overlay->setToolTip(
        QStringLiteral("Lay the selected flight over the log shown, flight start on flight start"));
    connect(overlay, &QPushButton::clicked, this, [this] {
        const QTableWidgetItem* first = table_->item(table_->currentRow(), 0);
        if (!first) return;
        const std::size_t index = first->data(kRowIndexRole).toULongLong();
        if (index < rows_.size() && rows_[index].flight)
            emit flightOverlayChosen(rows_[index].path, *rows_[index].flight);
    });
    trendButton_ = new QPushButton(QStringLiteral("T&rend..."), this);
    trendButton_->setObjectName(QStringLiteral("libraryTrend"));
    trendButton_->setToolTip(
        QStringLiteral("Chart a channel's maximum, mean or minimum from flight to flight"));
    connect(trendButton_, &QPushButton::clicked, this, [this] { showTrend(); });
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    auto* filters = new QHBoxLayout;
    filters->addWidget(aircraftFilter_);
    filters->addWidget(filterText_, 1);
    filters->addWidget(fromCheck_);
    filters->addWidget(fromDate_);
    filters->addWidget(toCheck_);
    filters->addWidget(toDate_);
    filters->addWidget(columnsButton_);
    filters->addWidget(trendButton_);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress_, 1);
    bottom->addWidget(cancelButton_);
    bottom->addWidget(overlay);
    bottom->addWidget(close);
    auto* top = new QHBoxLayout;
    top->addWidget(folderLabel_, 1);
    top->addWidget(aircraftLabel);
    top->addWidget(aircraftEdit_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addWidget(status_);
    layout->addLayout(bottom);
    resize(900, 520);
    fillTable();
}

FlightLibraryWindow::~FlightLibraryWindow() {
    if (!thread_) return;
    stop_->store(true);
    thread_->wait();
    delete thread_;
}

void FlightLibraryWindow::buildColumnsMenu() {
    for (int c = 0; c < kChannelCount; ++c) {
        QAction* action = columnsMenu_->addAction(QLatin1String(kChannels[c].title));
        action->setCheckable(true);
        action->setData(c);
        connect(action, &QAction::toggled, this, [this] {
            std::vector<Channel> picked;
            for (const QAction* a : columnsMenu_->actions())
                if (a->isChecked()) picked.push_back(static_cast<Channel>(a->data().toInt()));
            columns_ = picked;
            fillTable();
        });
    }
}

void FlightLibraryWindow::setColumnChannels(const std::vector<Channel>& channels) {
    for (QAction* action : columnsMenu_->actions()) {
        const QSignalBlocker quiet(action);
        const Channel c = static_cast<Channel>(action->data().toInt());
        action->setChecked(std::find(channels.begin(), channels.end(), c) != channels.end());
    }
    columns_.clear();
    for (int c = 0; c < kChannelCount; ++c)
        if (std::find(channels.begin(), channels.end(), static_cast<Channel>(c)) != channels.end())
            columns_.push_back(static_cast<Channel>(c));
    fillTable();
}

void FlightLibraryWindow::setFilter(const QString& text, std::optional<QDate> from,
                                    std::optional<QDate> to) {
    const QSignalBlocker a(filterText_), b(fromCheck_), c(fromDate_), d(toCheck_), e(toDate_);
    filterText_->setText(text);
    fromCheck_->setChecked(from.has_value());
    fromDate_->setEnabled(from.has_value());
    if (from) fromDate_->setDate(*from);
    toCheck_->setChecked(to.has_value());
    toDate_->setEnabled(to.has_value());
    if (to) toDate_->setDate(*to);
    applyFilter();
}

void FlightLibraryWindow::openFolder(const QString& folder, const LibrarySetup& setup) {
    folder_ = QDir::cleanPath(QDir(folder).absolutePath());
    setup_ = setup;
    aircraftEdit_->setText(setup.aircraft);
    folderLabel_->setText(QStringLiteral("Folder: %1").arg(QDir::toNativeSeparators(folder_)));
    if (thread_) {
        // The run in progress ends first; the new one starts when it has.
        restartPending_ = true;
        cancel();
        return;
    }
    startRun();
}

void FlightLibraryWindow::cancel() {
    if (stop_) stop_->store(true);
}

void FlightLibraryWindow::startRun() {
    restartPending_ = false;
    stop_ = std::make_shared<std::atomic<bool>>(false);
    result_ = std::make_shared<library::IndexResult>();
    notice_ = std::make_shared<QString>();
    fleet_ = std::make_shared<std::vector<LibraryRow>>();
    const auto stop = stop_;
    const auto result = result_;
    const auto notice = notice_;
    const auto fleet = fleet_;
    const QString folder = folder_;
    const LibrarySetup setup = setup_;
    // The store belongs to the thread that opens it; progress reaches this window as
    // queued calls, which Qt drops if the window is gone (it waits for the thread anyway).
    thread_ = QThread::create([this, stop, result, notice, fleet, folder, setup] {
        const QString database = setup.databasePath.isEmpty()
                                     ? library::SqlFlightStore::defaultPath()
                                     : setup.databasePath;
        QString error;
        std::unique_ptr<library::SqlFlightStore> store =
            library::SqlFlightStore::open(database, *notice, error);
        if (!store) *notice = error;
        library::FlightIndexer indexer(setup.options);
        indexer.setAircraft(setup.aircraft);
        indexer.setCancel(stop.get());
        indexer.setProgress([this](const library::IndexProgress& progress) {
            QMetaObject::invokeMethod(
                this, [this, progress] { showProgress(progress); }, Qt::QueuedConnection);
        });
        *result = indexer.run({folder}, store.get());
        if (!store || stop->load()) return;
        // The other aircraft of the database, indexed here or at other desks.
        for (const QString& registration : store->aircraft()) {
            if (registration == setup.aircraft) continue;
            store->setAircraft(registration);
            QStringList paths = store->stamps().keys();
            std::sort(paths.begin(), paths.end(),
                      [](const QString& a, const QString& b) { return a.toUtf8() < b.toUtf8(); });
            std::vector<library::IndexedLog> files;
            for (library::FileFlights& file : store->files(paths))
                files.push_back({library::LogFile{file.path, file.path}, std::move(file)});
            for (LibraryRow& row : libraryRows(files)) {
                row.aircraft = registration;
                fleet->push_back(std::move(row));
            }
        }
    });
    connect(thread_, &QThread::finished, this, &FlightLibraryWindow::runEnded);
    cancelButton_->setEnabled(true);
    progress_->setRange(0, 0);  // busy until the files are counted
    status_->setText(QStringLiteral("Looking for logs..."));
    thread_->start();
}

void FlightLibraryWindow::showProgress(const library::IndexProgress& p) {
    if (!thread_) return;
    progress_->setRange(0, std::max(1, p.filesTotal));
    progress_->setValue(p.filesDone);
    status_->setText(QStringLiteral("%1 of %2 files, %3 read: %4 MB, %5 MB/s")
                         .arg(p.filesDone)
                         .arg(p.filesTotal)
                         .arg(p.filesRead)
                         .arg(static_cast<double>(p.bytesRead) / 1e6, 0, 'f', 1)
                         .arg(p.megabytesPerSecond(), 0, 'f', 1));
}

void FlightLibraryWindow::runEnded() {
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
    cancelButton_->setEnabled(false);
    const library::IndexResult& result = *result_;
    rows_ = libraryRows(result.files);
    // Files are named as they lie inside the folder.
    for (LibraryRow& row : rows_) {
        row.shown = QDir(folder_).relativeFilePath(row.path);
        row.aircraft = setup_.aircraft;
    }
    for (LibraryRow& row : *fleet_) rows_.push_back(std::move(row));
    // The aircraft filter, when there are aircraft to tell apart.
    {
        QStringList registrations;
        for (const LibraryRow& row : rows_)
            if (!row.aircraft.isEmpty() && !registrations.contains(row.aircraft))
                registrations << row.aircraft;
        registrations.sort();
        const QString shown = aircraftFilter_->currentData().toString();
        const QSignalBlocker quiet(aircraftFilter_);
        aircraftFilter_->clear();
        aircraftFilter_->addItem(QStringLiteral("All aircraft"), QString());
        for (const QString& registration : registrations)
            aircraftFilter_->addItem(registration, registration);
        aircraftFilter_->setCurrentIndex(std::max(0, aircraftFilter_->findData(shown)));
        aircraftFilter_->setVisible(!registrations.isEmpty());
    }
    fillTable();
    int flights = 0;
    for (const LibraryRow& row : rows_) flights += row.flight ? 1 : 0;
    progress_->setRange(0, std::max(1, result.filesFound));
    progress_->setValue(static_cast<int>(result.files.size()));
    QStringList lines;
    lines << QStringLiteral("%1 flights in %2 files%3.")
                 .arg(flights)
                 .arg(result.files.size())
                 .arg(result.cancelled ? QStringLiteral(" (cancelled)") : QString());
    if (!notice_->isEmpty()) lines << *notice_;
    lines << result.notices << result.problems;
    status_->setText(lines.join(QLatin1Char('\n')));
    emit indexingEnded();
    if (restartPending_) startRun();
}

QString FlightLibraryWindow::unitOf(Channel channel) const {
    return QString::fromUtf8(unitText(channel, setup_.options.units));
}

void FlightLibraryWindow::fillTable() {
    QStringList headers = {QStringLiteral("Date"),     QStringLiteral("Start"),
                           QStringLiteral("Duration"), QStringLiteral("File"),
                           QStringLiteral("Model"),    QStringLiteral("Hobbs"),
                           QStringLiteral("Records")};
    for (const Channel c : columns_) {
        const QString unit = unitOf(c);
        headers << QStringLiteral("Max %1%2")
                       .arg(QLatin1String(kChannels[c].title),
                            unit.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unit));
    }
    headers << QStringLiteral("Exceedances") << QStringLiteral("Status");
    const bool fleet = std::any_of(rows_.begin(), rows_.end(),
                                   [](const LibraryRow& row) { return !row.aircraft.isEmpty(); });
    if (fleet) headers << QStringLiteral("Aircraft");
    table_->setSortingEnabled(false);
    table_->clear();
    table_->setColumnCount(static_cast<int>(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    table_->setRowCount(static_cast<int>(rows_.size()));
    const int exceedColumn = kFixedBefore + static_cast<int>(columns_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const LibraryRow& row = rows_[i];
        const int r = static_cast<int>(i);
        const auto put = [&](int column, const QString& text, QVariant key) {
            table_->setItem(r, column, new SortedItem(text, std::move(key)));
        };
        if (row.flight) {
            const library::Flight& f = *row.flight;
            const QString date = f.date.isValid() ? f.date.toString(Qt::ISODate) : QString();
            const QString start = library::secondText(f.startSecond);
            put(DateColumn, date, date + QLatin1Char(' ') + start);
            put(StartColumn, start, f.startSecond);
            put(DurationColumn, durationText(f.seconds), qlonglong(f.seconds));
            put(ModelColumn, mainModelName(f), mainModelName(f));
            put(HobbsColumn, f.hobbs ? QString::number(f.hobbs->end) : QString(),
                f.hobbs ? f.hobbs->end : -1);
            if (f.hobbs)
                table_->item(r, HobbsColumn)
                    ->setToolTip(QStringLiteral("%1 to %2").arg(f.hobbs->start).arg(f.hobbs->end));
            put(RecordsColumn, QString::number(recordsOf(f)), qlonglong(recordsOf(f)));
            for (std::size_t k = 0; k < columns_.size(); ++k) {
                const auto& figures = f.channels[static_cast<std::size_t>(columns_[k])];
                put(kFixedBefore + static_cast<int>(k),
                    figures ? number(figures->maximum) : QString(),
                    figures ? figures->maximum : -std::numeric_limits<double>::infinity());
            }
            put(exceedColumn, QString::number(runsOf(f)), qlonglong(runsOf(f)));
        } else {
            put(DateColumn, QString(), QString());
            put(StartColumn, QString(), -1);
            put(DurationColumn, QString(), -1);
            put(ModelColumn, QString(), QString());
            put(HobbsColumn, QString(), -1);
            put(RecordsColumn, QString(), -1);
            for (std::size_t k = 0; k < columns_.size(); ++k)
                put(kFixedBefore + static_cast<int>(k), QString(),
                    -std::numeric_limits<double>::infinity());
            put(exceedColumn, QString(), -1);
        }
        put(FileColumn, QDir::toNativeSeparators(row.shown), row.shown);
        QString status = QString::fromLatin1(library::statusText(row.status));
        if (!row.message.isEmpty()) status += QStringLiteral(": ") + row.message;
        put(exceedColumn + 1, status, status);
        if (fleet) put(exceedColumn + 2, row.aircraft, row.aircraft);
        table_->item(r, 0)->setData(kRowIndexRole, qulonglong(i));
    }
    table_->setSortingEnabled(true);
    table_->resizeColumnsToContents();
    applyFilter();
}

void FlightLibraryWindow::applyFilter() {
    if (!table_) return;
    const std::optional<QDate> from =
        fromCheck_->isChecked() ? std::optional(fromDate_->date()) : std::nullopt;
    const std::optional<QDate> to =
        toCheck_->isChecked() ? std::optional(toDate_->date()) : std::nullopt;
    const QString text = filterText_->text().trimmed();
    for (int r = 0; r < table_->rowCount(); ++r) {
        const QTableWidgetItem* first = table_->item(r, 0);
        const std::size_t index = first ? first->data(kRowIndexRole).toULongLong() : rows_.size();
        const QString aircraft = aircraftFilter_->currentData().toString();
        table_->setRowHidden(r, index >= rows_.size() ||
                                    !rowMatches(rows_[index], text, from, to) ||
                                    (!aircraft.isEmpty() && rows_[index].aircraft != aircraft));
    }
    updateTrend();
}

TrendWindow& FlightLibraryWindow::showTrend() {
    if (!trend_) {
        trend_ = new TrendWindow(this);
        connect(trend_, &TrendWindow::flightChosen, this, &FlightLibraryWindow::flightChosen);
        updateTrend();
        std::vector<Channel> channels = columns_;
        if (channels.empty()) {
            // The first channel of the catalogue that some flight has readings of.
            for (int c = 0; c < kChannelCount && channels.empty(); ++c)
                for (const LibraryRow& row : rows_)
                    if (row.flight && row.flight->channels[static_cast<std::size_t>(c)]) {
                        channels.push_back(static_cast<Channel>(c));
                        break;
                    }
        }
        trend_->setChannels(channels);
    }
    trend_->show();
    trend_->raise();
    trend_->activateWindow();
    return *trend_;
}

void FlightLibraryWindow::updateTrend() {
    if (!trend_) return;
    const std::optional<QDate> from =
        fromCheck_->isChecked() ? std::optional(fromDate_->date()) : std::nullopt;
    const std::optional<QDate> to =
        toCheck_->isChecked() ? std::optional(toDate_->date()) : std::nullopt;
    const QString text = filterText_->text().trimmed();
    std::vector<TrendFlight> flights;
    for (const LibraryRow& row : rows_)
        if (row.flight && rowMatches(row, text, from, to))
            flights.push_back(TrendFlight{row.path, row.shown, *row.flight, row.aircraft});
    library::TrendChartSetup setup;
    setup.units = setup_.options.units;
    setup.limits = setup_.options.limits;
    trend_->setFlights(std::move(flights), setup);
}

}  // namespace zp

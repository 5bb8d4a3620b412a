// Every modal dialog and message box of the viewer goes through a Dialogs object that its
// owner passes in, so that the handlers can run in tests with scripted answers instead of
// a modal loop.
#pragma once

#include <QPageLayout>
#include <QString>
#include <QStringList>

class QDialog;
class QPrinter;
class QWidget;

namespace zp {

// How a file dialog is set up before it is shown.
struct FileDialogRequest {
    QString title;
    QString directory;       // starting folder; empty: the current directory
    QStringList filters;     // e.g. "CSV files (*.csv)"
    int selectedFilter = 0;  // index into filters
    QString defaultSuffix;   // appended to a name typed without one
    bool multiSelect = false;
    bool mustExist = false;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // Runs a file-open dialog; false when cancelled, else `files` holds the selection.
    virtual bool getOpenFileNames(QWidget* parent, const FileDialogRequest& request,
                                  QStringList& files) = 0;
    // Runs a file-save dialog; false when cancelled.
    virtual bool getSaveFileName(QWidget* parent, const FileDialogRequest& request,
                                 QString& file) = 0;
    // Runs a file-save dialog and tells which of the request's filters was chosen when
    // it closed (`filter`, an index into request.filters); false when cancelled. Dialogs
    // that cannot tell answer with the request's selected filter.
    virtual bool getSaveFileNameAndFilter(QWidget* parent, const FileDialogRequest& request,
                                          QString& file, int& filter) {
        filter = request.selectedFilter;
        return getSaveFileName(parent, request, file);
    }
    // Runs a folder dialog starting in `directory`; false when cancelled, else `folder`
    // holds the chosen folder.
    virtual bool getExistingDirectory(QWidget* parent, const QString& title,
                                      const QString& directory, QString& folder) = 0;
    // The plain message box with an OK button and no icon.
    virtual void messageBox(QWidget* parent, const QString& text, const QString& caption) = 0;
    // The report of an error: the text, a critical icon, the application title as caption.
    virtual void errorBox(QWidget* parent, const QString& text) = 0;
    // Shows a dialog modally; its result is not used.
    virtual void execModal(QDialog& dialog) = 0;
    // Runs the printer-setup dialog for `printer`; false when cancelled.
    virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;
    // Asks how the page of a PDF export stands; `orientation` comes in as the one to
    // offer first and goes out as the one chosen. False when cancelled.
    virtual bool choosePdfPage(QWidget* parent, QPageLayout::Orientation& orientation) = 0;
    // Asks for a number of seconds (to the millisecond), offering `seconds` first; false
    // when cancelled, else `seconds` holds the answer. Dialogs that cannot ask cancel.
    virtual bool getSeconds(QWidget* parent, const QString& title, const QString& label,
                            double& seconds) {
        (void)parent, (void)title, (void)label, (void)seconds;
        return false;
    }
};

// The real dialogs of Qt.
class QtDialogs : public Dialogs {
  public:
    bool getOpenFileNames(QWidget* parent, const FileDialogRequest& request,
                          QStringList& files) override;
    bool getSaveFileName(QWidget* parent, const FileDialogRequest& request, QString& file) override;
    bool getSaveFileNameAndFilter(QWidget* parent, const FileDialogRequest& request, QString& file,
                                  int& filter) override;
    bool getExistingDirectory(QWidget* parent, const QString& title, const QString& directory,
                              QString& folder) override;
    void messageBox(QWidget* parent, const QString& text, const QString& caption) override;
    void errorBox(QWidget* parent, const QString& text) override;
    void execModal(QDialog& dialog) override;
    bool printDialog(QWidget* parent, QPrinter& printer) override;
    bool choosePdfPage(QWidget* parent, QPageLayout::Orientation& orientation) override;
    bool getSeconds(QWidget* parent, const QString& title, const QString& label,
                    double& seconds) override;
};

}  // namespace zp

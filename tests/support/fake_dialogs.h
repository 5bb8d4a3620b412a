// Dialogs that answer from a script and record what they were asked, so handlers of the
// main window run in tests without a modal loop. A test constructs one and passes it to
// the window it builds.
#pragma once

#include <QDialog>
#include <QStringList>

#include "app/dialogs.h"

namespace zp::test {

class FakeDialogs : public Dialogs {
  public:
    struct Message {
        QString text;
        QString caption;  // "" for an error report
        bool error = false;
    };

    // Scripted answers.
    bool openAccepted = false;
    QStringList openFiles;
    bool saveAccepted = false;
    QString saveFile;
    int saveFilter = -1;  // the filter chosen in a save dialog; -1: the request's own
    bool folderAccepted = false;
    QString folder;
    bool pdfPageAccepted = false;
    QPageLayout::Orientation pdfOrientation = QPageLayout::Landscape;
    bool secondsAccepted = false;
    double seconds = 0.0;

    // What was asked.
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QList<Message> messages;
    QList<QDialog*> modals;
    QList<QPageLayout::Orientation> pdfPageOffers;  // the orientation each question offered
    QList<double> secondsOffers;                    // the seconds each question offered

    bool getOpenFileNames(QWidget*, const FileDialogRequest& request, QStringList& files) override {
        openRequests.append(request);
        if (openAccepted) files = openFiles;
        return openAccepted;
    }
    bool getSaveFileName(QWidget*, const FileDialogRequest& request, QString& file) override {
        saveRequests.append(request);
        if (saveAccepted) file = saveFile;
        return saveAccepted;
    }
    bool getSaveFileNameAndFilter(QWidget* parent, const FileDialogRequest& request, QString& file,
                                  int& filter) override {
        filter = saveFilter >= 0 ? saveFilter : request.selectedFilter;
        return getSaveFileName(parent, request, file);
    }
    bool getExistingDirectory(QWidget*, const QString&, const QString&, QString& chosen) override {
        if (folderAccepted) chosen = folder;
        return folderAccepted;
    }
    void messageBox(QWidget*, const QString& text, const QString& caption) override {
        messages.append({text, caption, false});
    }
    void errorBox(QWidget*, const QString& text) override { messages.append({text, {}, true}); }
    void execModal(QDialog& dialog) override { modals.append(&dialog); }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
    bool choosePdfPage(QWidget*, QPageLayout::Orientation& orientation) override {
        pdfPageOffers.append(orientation);
        if (pdfPageAccepted) orientation = pdfOrientation;
        return pdfPageAccepted;
    }
    bool getSeconds(QWidget*, const QString&, const QString&, double& offered) override {
        secondsOffers.append(offered);
        if (secondsAccepted) offered = seconds;
        return secondsAccepted;
    }
};

}  // namespace zp::test

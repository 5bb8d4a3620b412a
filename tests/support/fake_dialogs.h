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

    // What was asked.
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QList<Message> messages;
    QList<QDialog*> modals;

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
    void messageBox(QWidget*, const QString& text, const QString& caption) override {
        messages.append({text, caption, false});
    }
    void errorBox(QWidget*, const QString& text) override { messages.append({text, {}, true}); }
    void execModal(QDialog& dialog) override { modals.append(&dialog); }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
};

}  // namespace zp::test

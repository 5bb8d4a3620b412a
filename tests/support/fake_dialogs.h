// A DialogSeam that answers from a script and records what it was asked, so handlers
// of the main window run in tests without a modal loop.
#pragma once

#include <QDialog>
#include <QStringList>

#include "app/dialog_seam.h"

namespace zp::test {

class FakeDialogs : public DialogSeam {
  public:
    struct Message {
        QString text;
        QString caption;  // "" for an error report
        bool error = false;
    };

    // Scripted answers.
    bool openAccepted = false;
    QStringList openFiles;

    // What was asked.
    QList<FileDialogRequest> openRequests;
    QList<Message> messages;
    QList<QDialog*> modals;

    bool getOpenFileNames(QWidget*, const FileDialogRequest& request, QStringList& files) override {
        openRequests.append(request);
        if (openAccepted) files = openFiles;
        return openAccepted;
    }
    bool getSaveFileName(QWidget*, const FileDialogRequest&, QString&) override { return false; }
    void messageBox(QWidget*, const QString& text, const QString& caption) override {
        messages.append({text, caption, false});
    }
    void errorBox(QWidget*, const QString& text) override { messages.append({text, {}, true}); }
    void execModal(QDialog& dialog) override { modals.append(&dialog); }
    bool printDialog(QWidget*, QPrinter&) override { return false; }
};

// Installs a FakeDialogs for the lifetime of the object.
class ScopedFakeDialogs : public FakeDialogs {
  public:
    ScopedFakeDialogs() { setDialogSeam(this); }
    ~ScopedFakeDialogs() override { setDialogSeam(nullptr); }
};

}  // namespace zp::test

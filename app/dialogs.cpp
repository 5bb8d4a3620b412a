#include "app/dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <algorithm>

#include "app/window_style.h"

namespace zp {

namespace {
void configure(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(request.title);
    if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
    dialog.setNameFilters(request.filters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.selectedFilter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
}
}  // namespace

bool QtDialogs::getOpenFileNames(QWidget* parent, const FileDialogRequest& request,
                                 QStringList& files) {
    QFileDialog dialog(parent);
    configure(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // Qt's open dialogs only accept existing files; without multi-select one file is taken.
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : (request.mustExist ? QFileDialog::ExistingFile
                                                                : QFileDialog::AnyFile));
    if (dialog.exec() != QDialog::Accepted) return false;
    files = dialog.selectedFiles();
    return !files.isEmpty();
}

bool QtDialogs::getExistingDirectory(QWidget* parent, const QString& title,
                                     const QString& directory, QString& folder) {
    QFileDialog dialog(parent);
    dialog.setWindowTitle(title);
    if (!directory.isEmpty()) dialog.setDirectory(directory);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    folder = dialog.selectedFiles().first();
    return true;
}

bool QtDialogs::getSaveFileName(QWidget* parent, const FileDialogRequest& request, QString& file) {
    int filter = 0;
    return getSaveFileNameAndFilter(parent, request, file, filter);
}

bool QtDialogs::getSaveFileNameAndFilter(QWidget* parent, const FileDialogRequest& request,
                                         QString& file, int& filter) {
    QFileDialog dialog(parent);
    configure(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Replacing an existing file needs no confirmation.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    file = dialog.selectedFiles().first();
    filter = static_cast<int>(
        std::max<qsizetype>(0, request.filters.indexOf(dialog.selectedNameFilter())));
    return true;
}

void QtDialogs::messageBox(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::errorBox(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogs::execModal(QDialog& dialog) {
    dialog.exec();
}

bool QtDialogs::printDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

bool QtDialogs::choosePdfPage(QWidget* parent, QPageLayout::Orientation& orientation) {
    QMessageBox box(QMessageBox::Question, kApplicationTitle,
                    QStringLiteral("How should the page of the PDF document stand?"),
                    QMessageBox::Cancel, parent);
    QPushButton* portrait = box.addButton(QStringLiteral("&Portrait"), QMessageBox::AcceptRole);
    QPushButton* landscape = box.addButton(QStringLiteral("&Landscape"), QMessageBox::AcceptRole);
    box.setDefaultButton(orientation == QPageLayout::Portrait ? portrait : landscape);
    box.exec();
    if (box.clickedButton() == portrait)
        orientation = QPageLayout::Portrait;
    else if (box.clickedButton() == landscape)
        orientation = QPageLayout::Landscape;
    else
        return false;
    return true;
}

bool QtDialogs::getSeconds(QWidget* parent, const QString& title, const QString& label,
                           double& seconds) {
    bool ok = false;
    const double chosen =
        QInputDialog::getDouble(parent, title, label, seconds, -864000.0, 864000.0, 3, &ok);
    if (ok) seconds = chosen;
    return ok;
}

}  // namespace zp

#include "app/keyboard_and_mouse.h"

#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

namespace zp {

namespace {

struct Entry {
    const char* what;
    const char* does;
};

// clang-format off
const Entry kMouse[] = {
    {"Left drag, top left to bottom right", "Zoom into the rectangle"},
    {"Left drag the other way", "Zoom out to the whole log"},
    {"Right drag", "Scroll the chart with the mouse"},
    {"Wheel", "Scroll the values up or down"},
    {"Click a legend item", "Switch its channel on or off"},
    {"Drop a log file on the window", "Load it"},
};
const Entry kKeys[] = {
    {"+ / -", "Zoom the time axis in / out around its middle"},
    {"Left / Right", "Scroll the time axis by a tenth"},
    {"Page Up / Page Down", "Scroll the time axis by a whole span"},
    {"Home", "Back to the whole log"},
    {"Backspace, Alt+Left", "Back to the previous view"},
    {"Alt+Right", "Forward again"},
    {"Escape", "Cancel a zoom drag"},
    {"Tab", "Give the chart the keyboard (or click it)"},
    {"F1", "This list"},
};
// clang-format on

QString table(const char* heading, const Entry* begin, const Entry* end) {
    QString html =
        QStringLiteral("<h3>%1</h3><table cellspacing=\"4\">").arg(QLatin1String(heading));
    for (const Entry* e = begin; e != end; ++e)
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(QString::fromUtf8(e->what).toHtmlEscaped(),
                         QString::fromUtf8(e->does).toHtmlEscaped());
    return html + QStringLiteral("</table>");
}

}  // namespace

QString keyboardAndMouseText() {
    return table("Mouse on the chart", std::begin(kMouse), std::end(kMouse)) +
           table("Keys on the chart", std::begin(kKeys), std::end(kKeys));
}

QDialog* makeKeyboardAndMouseWindow(QWidget* parent) {
    auto* window = new QDialog(parent);
    window->setObjectName(QStringLiteral("keyboardAndMouseWindow"));
    window->setWindowTitle(QStringLiteral("Keyboard and Mouse"));
    auto* text = new QLabel(keyboardAndMouseText(), window);
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(text);
    return window;
}

}  // namespace zp

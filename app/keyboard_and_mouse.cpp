#include "app/keyboard_and_mouse.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <utility>
#include <vector>

#include "chart/chart_keys.h"

namespace zp {

namespace {

using Row = std::pair<QString, QString>;  // what the user does, what it does

// What the window itself takes beside its menu shortcuts.
const Row kWindowMouse[] = {
    {QStringLiteral("Drop a log file on the window"), QStringLiteral("Load it")},
};
const Row kWindowKeys[] = {
    {QStringLiteral("Tab"), QStringLiteral("Give the chart the keyboard (or click it)")},
};

QString table(const QString& heading, const std::vector<Row>& rows) {
    QString html = QStringLiteral("<h3>%1</h3><table cellspacing=\"4\">").arg(heading);
    for (const auto& [what, does] : rows)
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>")
                    .arg(what.toHtmlEscaped(), does.toHtmlEscaped());
    return html + QStringLiteral("</table>");
}

// A menu entry's text as it reads, without the mnemonic marks ("&&" is a "&").
QString withoutMnemonic(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

void addShortcuts(std::vector<Row>& rows, const QMenu& menu, const QString& path) {
    for (const QAction* action : menu.actions()) {
        const QString name = path + QStringLiteral(" \u25B8 ") + withoutMnemonic(action->text());
        if (action->menu())
            addShortcuts(rows, *action->menu(), name);
        else if (!action->shortcut().isEmpty())
            rows.emplace_back(action->shortcut().toString(QKeySequence::NativeText), name);
    }
}

}  // namespace

QString keyboardAndMouseText(const QMenuBar* menus) {
    std::vector<Row> mouse;
    for (const chart::ChartMouseAction& m : chart::chartMouseActions())
        mouse.emplace_back(QString::fromUtf8(m.action), QString::fromUtf8(m.description));
    mouse.insert(mouse.end(), std::begin(kWindowMouse), std::end(kWindowMouse));

    // Neighbouring keys that do the same share a line: "Backspace, Alt+Left".
    std::vector<Row> keys;
    QString lastDescription;
    for (const chart::ChartKey& k : chart::chartKeys()) {
        const QString text = QString::fromUtf8(k.keyText);
        const QString description = QString::fromUtf8(k.description);
        if (!keys.empty() && description == lastDescription)
            keys.back().first += QStringLiteral(", ") + text;
        else
            keys.emplace_back(text, description);
        lastDescription = description;
    }

    std::vector<Row> shortcuts(std::begin(kWindowKeys), std::end(kWindowKeys));
    if (menus)
        for (const QAction* action : menus->actions())
            if (action->menu())
                addShortcuts(shortcuts, *action->menu(), withoutMnemonic(action->text()));

    return table(QStringLiteral("Mouse"), mouse) +
           table(QStringLiteral("Keys on the chart"), keys) +
           table(QStringLiteral("Keys in the window"), shortcuts);
}

QDialog* makeKeyboardAndMouseWindow(QWidget* parent, const QMenuBar* menus) {
    auto* window = new QDialog(parent);
    window->setObjectName(QStringLiteral("keyboardAndMouseWindow"));
    window->setWindowTitle(QStringLiteral("Keyboard and Mouse"));
    auto* text = new QLabel(keyboardAndMouseText(menus), window);
    text->setObjectName(QStringLiteral("keyboardAndMouseText"));
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(text);
    return window;
}

}  // namespace zp

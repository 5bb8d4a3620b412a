#include "chart/text_measurer.h"

#include <unordered_map>

namespace zp::chart {

namespace {

// Beyond this many texts a font's remembered widths start over, so that a long session
// of changing labels holds no more than a few hundred kilobytes.
constexpr qsizetype kMaxRememberedWidths = 4096;

// A map whose entries stay where they are as fonts are added.
std::unordered_map<QString, QHash<QString, int>>& widthsByFont() {
    thread_local std::unordered_map<QString, QHash<QString, int>> byFont;
    return byFont;
}

QHash<QString, int>& rememberedWidths(const QFont& font) {
    // A chart asks for its few fonts by turns, so the last two are compared first:
    // cheaper than a key.
    auto& byFont = widthsByFont();
    struct Found {
        QFont font;
        QHash<QString, int>* widths = nullptr;
    };
    thread_local Found recent[2];
    for (const Found& found : recent)
        if (found.widths && found.font == font) return *found.widths;
    QHash<QString, int>& widths = byFont[font.key()];
    recent[1] = recent[0];
    recent[0] = {font, &widths};
    return widths;
}

}  // namespace

void forgetRememberedWidths() {
    for (auto& font : widthsByFont()) font.second.clear();
}

FontMeasurer::FontMeasurer(const QFont& font) : metrics_(font), widths_(&rememberedWidths(font)) {}

int FontMeasurer::width(const QString& text) const {
    const auto known = widths_->constFind(text);
    if (known != widths_->cend()) return *known;
    const int width = metrics_.horizontalAdvance(text);
    if (widths_->size() >= kMaxRememberedWidths) widths_->clear();
    widths_->insert(text, width);
    return width;
}

QFont chartLabelFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

QFont chartFootFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(8);
    return font;
}

}  // namespace zp::chart

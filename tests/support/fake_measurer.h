// A text measurer with exact, made-up metrics for layout tests: every character is
// `charWidth` pixels wide and a line `lineHeight` pixels tall.
#pragma once

#include "chart/text_measurer.h"

class FakeMeasurer final : public zp::chart::TextMeasurer {
  public:
    explicit FakeMeasurer(int lineHeight = 12, int charWidth = 7)
        : lineHeight_(lineHeight), charWidth_(charWidth) {}
    int height() const override { return lineHeight_; }
    int width(const QString& text) const override {
        return charWidth_ * static_cast<int>(text.size());
    }

  private:
    int lineHeight_;
    int charWidth_;
};

// Measures every text as the same width, as "hh:nn:ss" labels nearly are.
class FixedWidthMeasurer final : public zp::chart::TextMeasurer {
  public:
    FixedWidthMeasurer(int lineHeight, int textWidth)
        : lineHeight_(lineHeight), width_(textWidth) {}
    int height() const override { return lineHeight_; }
    int width(const QString&) const override { return width_; }

  private:
    int lineHeight_;
    int width_;
};

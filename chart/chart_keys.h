// The keys and mouse actions of the chart, each with what it does in words. The chart's
// key handler looks every key up in the key table and Help > Keyboard and Mouse lists
// both tables, so the handling and its description cannot part.
#pragma once

#include <Qt>
#include <span>

namespace zp::chart {

enum class KeyAction {
    ZoomIn,
    ZoomOut,
    CursorALeft,
    CursorARight,
    CursorBLeft,
    CursorBRight,
    ScrollTenthEarlier,
    ScrollTenthLater,
    ScrollSpanEarlier,
    ScrollSpanLater,
    WholeLog,
    PreviousView,
    NextView,
    CancelZoomDrag,
};

// A key of the chart. It matches an event of `key` whose modifiers, among those in
// `significant`, are exactly `modifiers`; the others do not count.
struct ChartKey {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Qt::KeyboardModifiers significant;
    KeyAction action;
    const char* keyText;      // the key as the user reads it ("Shift+Ctrl+Left")
    const char* description;  // what it does; neighbours with the same text share a line

    bool matches(int eventKey, Qt::KeyboardModifiers eventModifiers) const {
        return eventKey == key && (eventModifiers & significant) == modifiers;
    }
};

// Every key of the chart. A key press goes to the first entry that matches it and can act
// now (a cursor key acts only on a placed cursor, going back only with a view to go back
// to); a cursor key that cannot act leaves the key to the entries after it.
std::span<const ChartKey> chartKeys();

// A mouse action on the chart and what it does.
struct ChartMouseAction {
    const char* action;
    const char* description;
};
std::span<const ChartMouseAction> chartMouseActions();

}  // namespace zp::chart

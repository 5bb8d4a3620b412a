#include "chart/chart_keys.h"

namespace zp::chart {

namespace {

// As significant modifiers: none counts, the key acts with any.
constexpr Qt::KeyboardModifiers kAny{};
constexpr Qt::KeyboardModifiers kNone{};
constexpr Qt::KeyboardModifiers kCtrl{Qt::ControlModifier};
constexpr Qt::KeyboardModifiers kCtrlShift{Qt::ControlModifier | Qt::ShiftModifier};
constexpr Qt::KeyboardModifiers kAlt{Qt::AltModifier};

constexpr char kZoomIn[] =
    "Zoom the time axis in, around cursor A when it is placed, else the middle";
constexpr char kBack[] = "Back to the previous view";

// key, modifiers, significant modifiers, action, key text, description
constexpr ChartKey kKeys[] = {
    {Qt::Key_Plus, kNone, kAny, KeyAction::ZoomIn, "+", kZoomIn},
    // The + key without Shift on many keyboards.
    {Qt::Key_Equal, kNone, kAny, KeyAction::ZoomIn, "=", kZoomIn},
    {Qt::Key_Minus, kNone, kAny, KeyAction::ZoomOut, "-",
     "Zoom the time axis out, around cursor A when it is placed, else the middle"},
    // Before the plain arrows: with Ctrl, an arrow moves a placed cursor.
    {Qt::Key_Left, kCtrl, kCtrlShift, KeyAction::CursorALeft, "Ctrl+Left",
     "Move cursor A one pixel left"},
    {Qt::Key_Right, kCtrl, kCtrlShift, KeyAction::CursorARight, "Ctrl+Right",
     "Move cursor A one pixel right"},
    {Qt::Key_Left, kCtrlShift, kCtrlShift, KeyAction::CursorBLeft, "Shift+Ctrl+Left",
     "Move cursor B one pixel left"},
    {Qt::Key_Right, kCtrlShift, kCtrlShift, KeyAction::CursorBRight, "Shift+Ctrl+Right",
     "Move cursor B one pixel right"},
    {Qt::Key_Left, kNone, kAlt, KeyAction::ScrollTenthEarlier, "Left",
     "Scroll the time axis a tenth earlier"},
    {Qt::Key_Right, kNone, kAlt, KeyAction::ScrollTenthLater, "Right",
     "Scroll the time axis a tenth later"},
    {Qt::Key_PageUp, kNone, kAny, KeyAction::ScrollSpanEarlier, "Page Up",
     "Scroll the time axis a whole span earlier"},
    {Qt::Key_PageDown, kNone, kAny, KeyAction::ScrollSpanLater, "Page Down",
     "Scroll the time axis a whole span later"},
    {Qt::Key_Home, kNone, kAny, KeyAction::WholeLog, "Home", "Back to the whole log"},
    {Qt::Key_Backspace, kNone, kAny, KeyAction::PreviousView, "Backspace", kBack},
    {Qt::Key_Left, kAlt, kAlt, KeyAction::PreviousView, "Alt+Left", kBack},
    {Qt::Key_Right, kAlt, kAlt, KeyAction::NextView, "Alt+Right", "Forward again"},
    {Qt::Key_Escape, kNone, kAny, KeyAction::CancelZoomDrag, "Escape", "Cancel a zoom drag"},
};

// action, description
constexpr ChartMouseAction kMouse[] = {
    {"Left drag, top left to bottom right", "Zoom into the rectangle"},
    {"Left drag the other way", "Zoom out to the whole log"},
    {"Right drag", "Scroll the chart with the mouse"},
    {"Wheel", "Scroll the values up or down"},
    {"Ctrl+click", "Place cursor A there (hold and drag to move it)"},
    {"Ctrl+right click", "Place cursor B there (hold and drag to move it)"},
    {"Shift+left drag", "Move an overlaid log along the time axis"},
    {"Click a legend item", "Switch its channel on or off"},
};

}  // namespace

std::span<const ChartKey> chartKeys() {
    return kKeys;
}

std::span<const ChartMouseAction> chartMouseActions() {
    return kMouse;
}

}  // namespace zp::chart

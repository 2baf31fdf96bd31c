#pragma once

#include <cstdint>

#include <QColor>

// Colours as hosts pass them: 32-bit OLE colours with red in the lowest byte, green in the next
// and blue in the third. A value with the top bit set names a system colour by the number in its
// lowest byte; this platform answers those from the application palette (see oleColorToQColor).
namespace sw::widgets {

using OleColor = std::uint32_t;

constexpr OleColor kSystemColorFlag = 0x80000000u;

// RGB(r, g, b): red in the low byte.
constexpr OleColor rgb(int red, int green, int blue) {
    return static_cast<OleColor>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}

// System colour numbers the widgets use as defaults.
constexpr OleColor kButtonFace = kSystemColorFlag | 15;
constexpr OleColor kButtonText = kSystemColorFlag | 18;

// The colour a value stands for. A system colour is the application palette's colour for the
// matching role (active group unless noted):
//   0 scroll bar, 15 button face         -> Button
//   1 desktop, 4 menu, 10/11 borders, 30 menu bar -> Window
//   2 active caption, 13 highlight, 27 caption gradient, 29 menu highlight -> Highlight
//   3 inactive caption, 28 its gradient  -> Mid
//   5 window                             -> Base
//   6 window frame, 21 3D dark shadow    -> Shadow
//   7 menu text                          -> WindowText
//   8 window text                        -> Text
//   9 caption text, 14 highlight text    -> HighlightedText
//   12 application workspace, 16 button shadow -> Dark
//   17 grey text                         -> Text of the disabled group
//   18 button text                       -> ButtonText
//   19 inactive caption text             -> WindowText of the disabled group
//   20 button highlight                  -> Light
//   22 3D light                          -> Midlight
//   23 tooltip text, 24 tooltip back     -> ToolTipText, ToolTipBase
//   26 hot-tracked item                  -> Link
// Any other number gives black, as the original platform's lookup of an unknown index does.
QColor oleColorToQColor(OleColor color);

// The plain RGB value (system colours resolved) of an OLE colour.
OleColor resolveOleColor(OleColor color);

// A QColor as an OLE colour (alpha dropped).
OleColor qColorToOleColor(const QColor& color);

}  // namespace sw::widgets

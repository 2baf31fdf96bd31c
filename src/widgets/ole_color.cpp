#include "widgets/ole_color.h"

#include <QGuiApplication>
#include <QPalette>

namespace sw::widgets {

namespace {

struct SystemRole {
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr SystemRole kSystemRoles[] = {
    {0, QPalette::Active, QPalette::Button},
    {1, QPalette::Active, QPalette::Window},
    {2, QPalette::Active, QPalette::Highlight},
    {3, QPalette::Active, QPalette::Mid},
    {4, QPalette::Active, QPalette::Window},
    {5, QPalette::Active, QPalette::Base},
    {6, QPalette::Active, QPalette::Shadow},
    {7, QPalette::Active, QPalette::WindowText},
    {8, QPalette::Active, QPalette::Text},
    {9, QPalette::Active, QPalette::HighlightedText},
    {10, QPalette::Active, QPalette::Window},
    {11, QPalette::Active, QPalette::Window},
    {12, QPalette::Active, QPalette::Dark},
    {13, QPalette::Active, QPalette::Highlight},
    {14, QPalette::Active, QPalette::HighlightedText},
    {15, QPalette::Active, QPalette::Button},
    {16, QPalette::Active, QPalette::Dark},
    {17, QPalette::Disabled, QPalette::Text},
    {18, QPalette::Active, QPalette::ButtonText},
    {19, QPalette::Disabled, QPalette::WindowText},
    {20, QPalette::Active, QPalette::Light},
    {21, QPalette::Active, QPalette::Shadow},
    {22, QPalette::Active, QPalette::Midlight},
    {23, QPalette::Active, QPalette::ToolTipText},
    {24, QPalette::Active, QPalette::ToolTipBase},
    {26, QPalette::Active, QPalette::Link},
    {27, QPalette::Active, QPalette::Highlight},
    {28, QPalette::Active, QPalette::Mid},
    {29, QPalette::Active, QPalette::Highlight},
    {30, QPalette::Active, QPalette::Window},
};

QColor systemColor(int index) {
    for (const SystemRole& entry : kSystemRoles) {
        if (entry.index == index) {
            const QPalette palette = qGuiApp != nullptr ? QGuiApplication::palette() : QPalette();
            return palette.color(entry.group, entry.role);
        }
    }
    return Qt::black;
}

}  // namespace

QColor oleColorToQColor(OleColor color) {
    if ((color & kSystemColorFlag) != 0) {
        return systemColor(static_cast<int>(color & 0xFF));
    }
    return {static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
            static_cast<int>((color >> 16) & 0xFF)};
}

OleColor resolveOleColor(OleColor color) {
    return qColorToOleColor(oleColorToQColor(color));
}

OleColor qColorToOleColor(const QColor& color) {
    return rgb(color.red(), color.green(), color.blue());
}

}  // namespace sw::widgets

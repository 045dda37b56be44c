#include "platform/misc/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct TRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The palette role that plays the part of each system colour index.
bool RoleOf(int Index, TRole& R)
{
    using P = QPalette;
    switch (Index) {
    case 0: R = { P::Active, P::Button }; return true; // scroll bar
    case 1: R = { P::Active, P::Window }; return true; // desktop
    case 2: R = { P::Active, P::Highlight }; return true; // active caption
    case 3: R = { P::Inactive, P::Highlight }; return true; // inactive caption
    case 4: R = { P::Active, P::Window }; return true; // menu
    case 5: R = { P::Active, P::Base }; return true; // window
    case 6: R = { P::Active, P::Shadow }; return true; // window frame
    case 7: R = { P::Active, P::WindowText }; return true; // menu text
    case 8: R = { P::Active, P::Text }; return true; // window text
    case 9: R = { P::Active, P::HighlightedText }; return true; // caption text
    case 10: R = { P::Active, P::Button }; return true; // active border
    case 11: R = { P::Inactive, P::Button }; return true; // inactive border
    case 12: R = { P::Active, P::Dark }; return true; // application workspace
    case 13: R = { P::Active, P::Highlight }; return true;
    case 14: R = { P::Active, P::HighlightedText }; return true;
    case 15: R = { P::Active, P::Button }; return true; // button face
    case 16: R = { P::Active, P::Mid }; return true; // button shadow
    case 17: R = { P::Disabled, P::Text }; return true; // grey text
    case 18: R = { P::Active, P::ButtonText }; return true;
    case 19: R = { P::Inactive, P::HighlightedText }; return true;
    case 20: R = { P::Active, P::Light }; return true; // button highlight
    case 21: R = { P::Active, P::Shadow }; return true; // dark 3-D shadow
    case 22: R = { P::Active, P::Midlight }; return true; // 3-D light
    case 23: R = { P::Active, P::ToolTipText }; return true;
    case 24: R = { P::Active, P::ToolTipBase }; return true;
    default: return false;
    }
}

}

QColor TSystemColors::SystemColor(int Index)
{
    TRole R;
    if (!RoleOf(Index, R))
        return QColor(Qt::black);
    // Without a running application the default palette still answers.
    const QPalette Palette = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
        ? QGuiApplication::palette()
        : QPalette();
    return Palette.color(R.Group, R.Role);
}

QColor TSystemColors::SystemColor(int Index, const QPalette& Palette)
{
    TRole R;
    if (!RoleOf(Index, R))
        return QColor(Qt::black);
    return Palette.color(R.Group, R.Role);
}

QColor TSystemColors::Resolve(quint32 Value)
{
    if (IsSystem(Value))
        return SystemColor(int(Value & 0xFF));
    return QColor(int(Value & 0xFF), int((Value >> 8) & 0xFF), int((Value >> 16) & 0xFF));
}

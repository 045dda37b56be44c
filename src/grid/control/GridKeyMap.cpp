#include "grid/control/GridKeyMap.h"

#include <QKeyEvent>

using namespace GridKey;

int GridKeyOf(int QtKey, quint32 NativeVirtualKey)
{
    switch (QtKey) {
    case Qt::Key_Backspace: return vkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vkReturn;
    case Qt::Key_Escape: return vkEscape;
    case Qt::Key_Space: return vkSpace;
    case Qt::Key_PageUp: return vkPrior;
    case Qt::Key_PageDown: return vkNext;
    case Qt::Key_End: return vkEnd;
    case Qt::Key_Home: return vkHome;
    case Qt::Key_Left: return vkLeft;
    case Qt::Key_Up: return vkUp;
    case Qt::Key_Right: return vkRight;
    case Qt::Key_Down: return vkDown;
    case Qt::Key_Insert: return vkInsert;
    case Qt::Key_Delete: return vkDelete;
    case Qt::Key_F2: return vkF2;
    default: break;
    }
    // Qt's letters are the capitals' codes, as the key table's are.
    if (QtKey >= Qt::Key_A && QtKey <= Qt::Key_Z)
        return QtKey;
    // Another layout's letter: the key's native code names its place, as
    // a Windows virtual key or a Latin key symbol of X11.
    if (NativeVirtualKey >= 'A' && NativeVirtualKey <= 'Z')
        return int(NativeVirtualKey);
    if (NativeVirtualKey >= 'a' && NativeVirtualKey <= 'z')
        return int(NativeVirtualKey - 'a' + 'A');
    return 0;
}

int GridKeyOf(const QKeyEvent& Event) { return GridKeyOf(Event.key(), Event.nativeVirtualKey()); }

TShiftState GridShiftOf(Qt::KeyboardModifiers Modifiers)
{
    TShiftState S;
    if (Modifiers & Qt::ShiftModifier)
        S.Include(ssShift);
    if (Modifiers & Qt::AltModifier)
        S.Include(ssAlt);
    if (Modifiers & Qt::ControlModifier)
        S.Include(ssCtrl);
    return S;
}

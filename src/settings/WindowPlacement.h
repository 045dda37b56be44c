#pragma once

#include <QRect>

class QMainWindow;
class QWidget;

// Placement helpers shared by the window-state stores.

// The rectangle moved and, when needed, shrunk so that it lies within the available area of
// the screen it is mostly on (the primary screen when it is on none).
QRect KeepOnScreen(const QRect& rect);

// Centres a window of its current size on its screen.
void CentreOnScreen(QWidget* window);

// Gives a top-level window the outer (frame) rectangle. The window manager adds the frame
// only once the window is shown, so for a window not yet decorated the client size is
// corrected by the frame margins when the window first becomes active; without that the
// window would grow by its frame at every run.
void SetOuterGeometry(QWidget* window, const QRect& outer);

// The outer rectangle of a top-level window, or the geometry of a child.
QRect OuterGeometry(const QWidget* widget);

// The main window a control sits directly in, for tool bars and dock widgets; none otherwise.
QMainWindow* MainWindowOf(QWidget* ctrl);
// Whether a tool bar or dock widget floats on its own; false for any other control.
bool IsFloatingBar(const QWidget* ctrl);

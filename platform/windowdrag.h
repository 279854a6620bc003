// Moving the frameless main window with the mouse.
#ifndef WINDOWDRAG_H
#define WINDOWDRAG_H

class QWidget;

// Hands a drag that starts with the current mouse press to the window system. Returns false when it refuses
// (no window manager, for example); the caller then moves the window itself.
bool startSystemWindowMove(QWidget *window);

#endif

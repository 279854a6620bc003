// The main window's decisions, kept apart from its widgets: what is shown in each state, where the mouse
// pictures go when the page changes, and what a device change means.
#ifndef SHELLSTATE_H
#define SHELLSTATE_H

#include "platform/devicechange.h"

#include <QEasingCurve>
#include <QRect>

namespace PageIndex {
constexpr int NoDevice = 0;
constexpr int Buttons = 1;
constexpr int Lighting = 2;
constexpr int Pointer = 3;
} // namespace PageIndex

// Which of the main window's layers are shown.
struct ShellLayout
{
    bool pageStack;
    bool mouseArea;
    bool navBar;
    bool configPage;

    bool operator==(const ShellLayout &other) const;
};

// With the settings page open only it is shown; otherwise the page stack, and with a mouse also the pictures and
// the navigation bar.
ShellLayout shellLayout(bool connected, bool settingsOpen);

// Geometry of the top view while the buttons page is shown and while another page is.
inline constexpr QRect mouseImageHome { 7, 9, 665, 648 };
inline constexpr QRect mouseImageAside { 217, 9, 665, 648 };

// The picture animation that selecting a page starts.
struct PictureAnimation
{
    bool run = false;            // false: nothing moves and the state stays
    QRect slideFrom;
    QRect slideTo;
    qreal fadeFrom = 0;          // opacity of the side view
    qreal fadeTo = 0;
    QEasingCurve::Type fadeEasing = QEasingCurve::Linear;
    quint8 nextState = 1;        // 1 while the buttons-page layout is shown, else the page that moved it away
};

// `state` is the current picture state (1, 2 or 3), `index` the selected page.
PictureAnimation pictureAnimationFor(int index, quint8 state);

#endif

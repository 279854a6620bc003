#include "ui/shellstate.h"

bool ShellLayout::operator==(const ShellLayout &other) const
{
    return pageStack == other.pageStack && mouseArea == other.mouseArea && navBar == other.navBar
        && configPage == other.configPage;
}

ShellLayout shellLayout(bool connected, bool settingsOpen)
{
    const bool pages = !settingsOpen;
    return { pages, pages && connected, pages && connected, settingsOpen };
}

PictureAnimation pictureAnimationFor(int index, quint8 state)
{
    PictureAnimation animation;
    if (index == PageIndex::Buttons) {
        animation.run = true;
        animation.slideFrom = mouseImageAside;
        animation.slideTo = mouseImageHome;
        animation.fadeFrom = 0;
        animation.fadeTo = 1;
        animation.fadeEasing = QEasingCurve::InQuad;
        animation.nextState = PageIndex::Buttons;
    } else if (state == PageIndex::Buttons) {
        animation.run = true;
        animation.slideFrom = mouseImageHome;
        animation.slideTo = mouseImageAside;
        animation.fadeFrom = 1;
        animation.fadeTo = 0;
        animation.fadeEasing = QEasingCurve::OutQuad;
        animation.nextState = quint8(index);
    } else {
        animation.nextState = state;
    }
    return animation;
}

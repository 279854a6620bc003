#include "ui/mousepictures.h"

#include "style/style.h"
#include "ui/shellstate.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>

namespace {

constexpr int PictureAnimationMs = 800;

}   // namespace

MousePictures::MousePictures(QWidget *parent)
    : QWidget(parent)
{
    sideImage = new QLabel(this);
    sideImage->setObjectName(QStringLiteral("sideImage"));
    sideImage->setGeometry(390, 9, 692, 648);
    Style::showPicture(sideImage, QStringLiteral(":/img/side"));
    mouseImage = new QLabel(this);
    mouseImage->setObjectName(QStringLiteral("mouseImage"));
    mouseImage->setGeometry(mouseImageHome);
    Style::showPicture(mouseImage, QStringLiteral(":/img/mouse_off"));
    adjustSize();

    auto *sideOpacity = new QGraphicsOpacityEffect(this);
    // The effect starts at 0.7; the side view is fully shown until the first page change fades it.
    sideOpacity->setOpacity(1.0);
    sideImage->setGraphicsEffect(sideOpacity);
    // The effect draws through a pixmap of the view's size, which it keeps: it is on only while the view is
    // partly shown.
    const auto followOpacity = [this, sideOpacity](qreal opacity) {
        sideOpacity->setEnabled(opacity > 0.0 && opacity < 1.0);
        sideImage->setVisible(opacity > 0.0);
    };
    connect(sideOpacity, &QGraphicsOpacityEffect::opacityChanged, this, followOpacity);
    followOpacity(sideOpacity->opacity());

    sideFade = new QPropertyAnimation(sideOpacity, "opacity", this);
    sideFade->setDuration(PictureAnimationMs);
    sideFade->setStartValue(1.0);
    sideFade->setEndValue(0.0);
    sideFade->setEasingCurve(QEasingCurve::InQuad);
    mouseSlide = new QPropertyAnimation(mouseImage, "geometry", this);
    mouseSlide->setDuration(PictureAnimationMs);
    mouseSlide->setStartValue(mouseImageHome);
    mouseSlide->setEndValue(mouseImageAside);
    mouseSlide->setEasingCurve(QEasingCurve::OutCubic);
    pageAnimation = new QParallelAnimationGroup(this);
    pageAnimation->setObjectName(QStringLiteral("pageAnimation"));
    pageAnimation->addAnimation(sideFade);
    pageAnimation->addAnimation(mouseSlide);
}

void MousePictures::switchTo(int index)
{
    const PictureAnimation animation = pictureAnimationFor(index, animationState);
    animationState = animation.nextState;
    if (!animation.run)
        return;
    pageAnimation->stop();
    mouseSlide->setStartValue(animation.slideFrom);
    mouseSlide->setEndValue(animation.slideTo);
    sideFade->setStartValue(animation.fadeFrom);
    sideFade->setEndValue(animation.fadeTo);
    sideFade->setEasingCurve(animation.fadeEasing);
    pageAnimation->start();
}

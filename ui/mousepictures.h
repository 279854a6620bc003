// The two views of the mouse behind the pages. Leaving the buttons page slides the top view aside and fades the
// side view out; returning brings them back.
#ifndef MOUSEPICTURES_H
#define MOUSEPICTURES_H

#include <QWidget>

class QLabel;
class QParallelAnimationGroup;
class QPropertyAnimation;

class MousePictures : public QWidget
{
    Q_OBJECT

public:
    explicit MousePictures(QWidget *parent = nullptr);

    // Animates the views for page `index` (1 buttons, 2 lighting, 3 pointer).
    void switchTo(int index);
    // 1 while the views are in the buttons-page layout, else the page that moved them away.
    quint8 state() const { return animationState; }
    QLabel *topView() const { return mouseImage; }

private:
    QLabel *mouseImage = nullptr;
    QLabel *sideImage = nullptr;
    QPropertyAnimation *sideFade = nullptr;
    QPropertyAnimation *mouseSlide = nullptr;
    QParallelAnimationGroup *pageAnimation = nullptr;
    quint8 animationState = 1;
};

#endif

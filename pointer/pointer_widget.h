#ifndef POINTER_WIDGET_H
#define POINTER_WIDGET_H

#include "pointer/dpicommand.h"

#include <QWidget>

class DPILeft;
class Mouse;
class QButtonGroup;
class QGraphicsOpacityEffect;
class QLabel;
class QSequentialAnimationGroup;
class QSlider;
struct DeviceSettings;

// The pointer page: report rate, aim-key DPI and the DPI levels. Every change goes to the mouse at once.
class pointer_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit pointer_Widget(Mouse &mouse, QWidget *parent = nullptr);

    // Shows the DPI state and report rate read from the mouse without sending anything back.
    void showDeviceDpi(const DeviceSettings &settings);
    // Marks the level the mouse currently uses.
    void showCurrentLevel(quint8 level);

    void setVisible(bool visible) override;
    void retranslateUi();

    // Ids are the report-rate codes sent to the mouse: 8 = 125, 4 = 250, 2 = 500, 1 = 1000 reports a second.
    QButtonGroup *reportRateGroup = nullptr;
    QSlider *aimSlider = nullptr;
    QLabel *aimValueLabel = nullptr;
    DPILeft *levelEditor = nullptr;

public slots:
    void change_rpt_rate(int ID, bool checked);
    void aim_dpi_changed();
    void aim_value_update();
    void change_level_no(int ID, bool checked);
    void dpi_value_update();

    bool eventFilter(QObject *watched, QEvent *event) override;

protected:
    void changeEvent(QEvent *event) override;

private:
    QWidget *buildRightPanel();
    QSequentialAnimationGroup *buildAppearance();
    void setPanelEffectsEnabled(bool enabled);
    DpiCommand dpiCommand(quint8 maxLevel) const;
    void sendDpiCommand(quint8 maxLevel);

    Mouse &mouse;
    QWidget *rightPanel = nullptr;
    QLabel *reportRateLabel = nullptr;
    QLabel *aimLabel = nullptr;
    QGraphicsOpacityEffect *leftOpacity = nullptr;
    QGraphicsOpacityEffect *rightOpacity = nullptr;
    QSequentialAnimationGroup *appearance = nullptr;
};

#endif

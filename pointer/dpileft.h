#ifndef DPILEFT_H
#define DPILEFT_H

#include "pointer/dpicommand.h"

#include <QWidget>

class QButtonGroup;
class QKeyEvent;
class QLabel;
class QSlider;

// A DPI slider moved from the keyboard: arrows by one step (50 DPI), Page Up and Page Down by ten, Home and End
// to the ends. Returns false for other keys. The caller sends the new value, as a release of the handle does.
bool moveDpiSliderByKey(QSlider *slider, const QKeyEvent *key);

// The pointer page's left panel: how many DPI levels the mouse cycles through and the DPI of each level.
// It sends nothing itself; the pointer page sends on its signal and on the level-count group's toggles.
class DPILeft : public QWidget
{
    Q_OBJECT

public:
    explicit DPILeft(QWidget *parent = nullptr);

    // Normal style for all level names, the highlight for level index + 1 (none for an index outside 0..4).
    void highlightLevel(int index);
    int highlightedLevel() const { return highlighted; }
    // Rows 2..5 follow the highest enabled level index; row 1 is always enabled.
    void setLevelRowsEnabled(int maxIndex);
    void retranslateUi();

    // Ids 0..4: the highest enabled level index, one less than the number on the button.
    QButtonGroup *levelCountGroup = nullptr;
    QSlider *levelSlider[Dpi::LevelCount] = {};
    QLabel *levelValueLabel[Dpi::LevelCount] = {};
    QLabel *levelNameLabel[Dpi::LevelCount] = {};

signals:
    void dpi_value_update();

public slots:
    void dpi1_changed();
    void dpi2_changed();
    void dpi3_changed();
    void dpi4_changed();
    void dpi5_changed();
    void dpi_value_update_1();
    void dpi_value_update_2();
    void dpi_value_update_3();
    void dpi_value_update_4();
    void dpi_value_update_5();

    bool eventFilter(QObject *watched, QEvent *event) override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void levelChanged(int n);
    void nameSlider(int n);
    void levelReleased(int n);

    QLabel *titleLabel = nullptr;
    QLabel *countLabel = nullptr;
    int highlighted = -1;
};

#endif

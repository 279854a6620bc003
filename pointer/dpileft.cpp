#include "pointer/dpileft.h"

#include "device/devicesettings.h"
#include "style/style.h"

#include <QButtonGroup>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>

bool moveDpiSliderByKey(QSlider *slider, const QKeyEvent *key)
{
    int value = slider->value();
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        --value;
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        ++value;
        break;
    case Qt::Key_PageDown:
        value -= 10;
        break;
    case Qt::Key_PageUp:
        value += 10;
        break;
    case Qt::Key_Home:
        value = slider->minimum();
        break;
    case Qt::Key_End:
        value = slider->maximum();
        break;
    default:
        return false;
    }
    slider->setValue(qBound(slider->minimum(), value, slider->maximum()));
    return true;
}

DPILeft::DPILeft(QWidget *parent)
    : QWidget(parent)
{
    titleLabel = Style::makeLabel(QString(), QRect(40, 193, 80, 12), this);
    countLabel = Style::makeLabel(QString(), QRect(40, 233, 80, 12), this);

    levelCountGroup = new QButtonGroup(this);
    levelCountGroup->setExclusive(true);
    for (int id = 0; id < Dpi::LevelCount; ++id) {
        auto *button = new QPushButton(QString::number(id + 1), this);
        button->setGeometry(104 + 47 * id, 226, 32, 26);
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setStyleSheet(Style::checkableButton);
        levelCountGroup->addButton(button, id);
    }

    const QPixmap grid = Style::picture(QStringLiteral(":/img/pointer_grid"));
    for (int i = 0; i < Dpi::LevelCount; ++i) {
        const int y = Dpi::levelRowY(i + 1);
        levelNameLabel[i] = Style::makeLabel(QString(), QRect(40, y, 50, 12), this);

        QSlider *slider = new QSlider(Qt::Horizontal, this);
        slider->setGeometry(102, y, 218, 10);
        slider->setStyleSheet(Style::slider);
        slider->setRange(Dpi::MinValue, Dpi::MaxValue);
        // Dragging the handle moves a level, and the keys through moveDpiSliderByKey, which sends as a release
        // does; the wheel and clicks beside the handle do nothing.
        slider->setPageStep(0);
        slider->setSingleStep(0);
        slider->setFocusPolicy(Qt::TabFocus);
        slider->installEventFilter(this);
        levelSlider[i] = slider;

        auto *tickMarks = new QLabel(this);
        tickMarks->setGeometry(102, y + 17, 218, 8);
        tickMarks->setPixmap(grid);

        levelValueLabel[i] = Style::makeLabel(QString(), QRect(102, y + 26, 50, 10), this);
        levelValueLabel[i]->setAlignment(Qt::AlignCenter);
    }

    void (DPILeft::*const changed[Dpi::LevelCount])() = {
        &DPILeft::dpi1_changed, &DPILeft::dpi2_changed, &DPILeft::dpi3_changed,
        &DPILeft::dpi4_changed, &DPILeft::dpi5_changed,
    };
    void (DPILeft::*const released[Dpi::LevelCount])() = {
        &DPILeft::dpi_value_update_1, &DPILeft::dpi_value_update_2, &DPILeft::dpi_value_update_3,
        &DPILeft::dpi_value_update_4, &DPILeft::dpi_value_update_5,
    };
    for (int i = 0; i < Dpi::LevelCount; ++i) {
        connect(levelSlider[i], &QSlider::valueChanged, this, changed[i]);
        connect(levelSlider[i], &QSlider::sliderPressed, this, changed[i]);
        connect(levelSlider[i], &QSlider::sliderReleased, this, released[i]);
    }
    retranslateUi();
}

void DPILeft::retranslateUi()
{
    titleLabel->setText(tr("DPI灵敏度数量"));
    countLabel->setText(tr("级别数量"));
    const QString names[Dpi::LevelCount] = { tr("级别I"), tr("级别II"), tr("级别III"), tr("级别IV"), tr("级别V") };
    for (int i = 0; i < Dpi::LevelCount; ++i) {
        levelNameLabel[i]->setText(names[i]);
        nameSlider(i + 1);
    }
    setAccessibleName(titleLabel->text());
    for (QAbstractButton *button : levelCountGroup->buttons()) {
        button->setAccessibleName(tr("级别数量 %1").arg(levelCountGroup->id(button) + 1));
        button->setAccessibleDescription(tr("鼠标的 DPI 键依次切换的级别数"));
    }
}

void DPILeft::nameSlider(int n)
{
    levelSlider[n - 1]->setAccessibleName(
        tr("%1：%2 DPI").arg(levelNameLabel[n - 1]->text()).arg(Dpi::dpiOf(levelSlider[n - 1]->value())));
}

bool DPILeft::eventFilter(QObject *watched, QEvent *event)
{
    for (int n = 1; n <= Dpi::LevelCount; ++n) {
        if (watched == levelSlider[n - 1] && event->type() == QEvent::KeyPress
            && moveDpiSliderByKey(levelSlider[n - 1], static_cast<QKeyEvent *>(event))) {
            levelReleased(n);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void DPILeft::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void DPILeft::highlightLevel(int index)
{
    highlighted = index;
    for (int i = 0; i < Dpi::LevelCount; ++i)
        levelNameLabel[i]->setStyleSheet(i == index ? Style::accentLabel : Style::label);
}

void DPILeft::setLevelRowsEnabled(int maxIndex)
{
    for (int n = 2; n <= Dpi::LevelCount; ++n) {
        const bool enabled = Dpi::levelRowEnabled(n, maxIndex);
        levelSlider[n - 1]->setEnabled(enabled);
        levelValueLabel[n - 1]->setEnabled(enabled);
        levelNameLabel[n - 1]->setEnabled(enabled);
    }
}

void DPILeft::levelChanged(int n)
{
    const int value = levelSlider[n - 1]->value();
    QLabel *label = levelValueLabel[n - 1];
    label->setText(QString::number(Dpi::dpiOf(value)));
    label->move(Dpi::levelLabelX(value), Dpi::levelLabelY(n));
    highlightLevel(n - 1);
    nameSlider(n);
}

void DPILeft::levelReleased(int n)
{
    deviceSettings.currentDpiLevel = quint8(n - 1);
    emit dpi_value_update();
}

void DPILeft::dpi1_changed() { levelChanged(1); }
void DPILeft::dpi2_changed() { levelChanged(2); }
void DPILeft::dpi3_changed() { levelChanged(3); }
void DPILeft::dpi4_changed() { levelChanged(4); }
void DPILeft::dpi5_changed() { levelChanged(5); }

void DPILeft::dpi_value_update_1() { levelReleased(1); }
void DPILeft::dpi_value_update_2() { levelReleased(2); }
void DPILeft::dpi_value_update_3() { levelReleased(3); }
void DPILeft::dpi_value_update_4() { levelReleased(4); }
void DPILeft::dpi_value_update_5() { levelReleased(5); }

#include "pointer/pointer_widget.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "device/devicesettings.h"
#include "device/mouse.h"
#include "pointer/dpicommand.h"
#include "pointer/dpileft.h"
#include "style/style.h"

#include <QButtonGroup>
#include <QDebug>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QLabel>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QSequentialAnimationGroup>
#include <QSignalBlocker>
#include <QSlider>

namespace {

QPropertyAnimation *panelAnimation(QObject *target, const QByteArray &property, const QVariant &from,
                                   const QVariant &to, QEasingCurve::Type easing)
{
    auto *animation = new QPropertyAnimation(target, property);
    animation->setDuration(500);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setEasingCurve(easing);
    return animation;
}

} // namespace

pointer_Widget::pointer_Widget(Mouse &mouse, QWidget *parent)
    : QWidget(parent)
    , mouse(mouse)
{
    levelEditor = new DPILeft(this);
    levelEditor->setGeometry(0, 0, 400, 750);
    rightPanel = buildRightPanel();

    leftOpacity = Style::fadeEffect(levelEditor, 0);
    rightOpacity = Style::fadeEffect(rightPanel, 0);
    appearance = buildAppearance();

    connect(reportRateGroup, &QButtonGroup::idToggled, this, &pointer_Widget::change_rpt_rate);
    connect(aimSlider, &QSlider::valueChanged, this, &pointer_Widget::aim_dpi_changed);
    connect(aimSlider, &QSlider::sliderReleased, this, &pointer_Widget::aim_value_update);
    connect(levelEditor, &DPILeft::dpi_value_update, this, &pointer_Widget::dpi_value_update);
    connect(levelEditor->levelCountGroup, &QButtonGroup::idToggled, this, &pointer_Widget::change_level_no);
    retranslateUi();
}

void pointer_Widget::retranslateUi()
{
    setAccessibleName(tr("指针设置"));
    reportRateLabel->setText(tr("报告率"));
    aimLabel->setText(tr("瞄准键DPI速度"));
    for (QAbstractButton *button : reportRateGroup->buttons())
        button->setAccessibleName(tr("报告率 %1 次/秒").arg(button->text()));
    aim_dpi_changed();
}

bool pointer_Widget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == aimSlider && event->type() == QEvent::KeyPress
        && moveDpiSliderByKey(aimSlider, static_cast<QKeyEvent *>(event))) {
        aim_value_update();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void pointer_Widget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

QWidget *pointer_Widget::buildRightPanel()
{
    auto *panel = new QWidget(this);
    panel->setGeometry(800, 0, 400, 750);

    reportRateLabel = Style::makeLabel(QString(), QRect(80, 193, 100, 12), panel);
    reportRateGroup = new QButtonGroup(this);
    reportRateGroup->setExclusive(true);
    const struct { const char *text; int code; QPoint pos; } rates[] = {
        { "125", 8, { 80, 230 } },
        { "250", 4, { 230, 230 } },
        { "500", 2, { 80, 272 } },
        { "1000", 1, { 230, 272 } },
    };
    for (const auto &rate : rates) {
        auto *button = new QPushButton(QString::fromLatin1(rate.text), panel);
        button->setGeometry(QRect(rate.pos, QSize(130, 26)));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setStyleSheet(Style::checkableButton);
        reportRateGroup->addButton(button, rate.code);
    }

    aimLabel = Style::makeLabel(QString(), QRect(80, 350, 160, 12), panel);
    aimSlider = new QSlider(Qt::Horizontal, panel);
    aimSlider->setGeometry(80, 374, 280, 10);
    aimSlider->setStyleSheet(Style::slider);
    aimSlider->setRange(Dpi::MinValue, Dpi::MaxValue);
    // Dragging the handle moves it, and the keys through moveDpiSliderByKey, which sends as a release does; the
    // wheel and clicks beside the handle do nothing.
    aimSlider->setPageStep(0);
    aimSlider->setSingleStep(0);
    aimSlider->setFocusPolicy(Qt::TabFocus);
    aimSlider->installEventFilter(this);

    auto *tickMarks = new QLabel(panel);
    tickMarks->setGeometry(80, 393, 280, 8);
    tickMarks->setPixmap(Style::picture(QStringLiteral(":/img/aim_grid")));

    aimValueLabel = Style::makeLabel(QString(), QRect(-110, 402, 50, 10), panel);
    aimValueLabel->setAlignment(Qt::AlignCenter);
    return panel;
}

// A 400 ms pause, then both panels fade in while they slide in from the sides.
QSequentialAnimationGroup *pointer_Widget::buildAppearance()
{
    auto *slideIn = new QParallelAnimationGroup;
    slideIn->addAnimation(panelAnimation(leftOpacity, "opacity", 0.0, 1.0, QEasingCurve::InExpo));
    slideIn->addAnimation(panelAnimation(rightOpacity, "opacity", 0.0, 1.0, QEasingCurve::InExpo));
    slideIn->addAnimation(panelAnimation(levelEditor, "pos", QPoint(-400, 0), QPoint(0, 0), QEasingCurve::OutQuad));
    slideIn->addAnimation(panelAnimation(rightPanel, "pos", QPoint(1200, 0), QPoint(800, 0), QEasingCurve::OutQuad));

    auto *sequence = new QSequentialAnimationGroup(this);
    sequence->addPause(400);
    sequence->addAnimation(slideIn);
    // At rest the panels draw without the effects: on the translucent window an opacity effect repaints the
    // bounding rect of every update over itself, which brightens untouched controls between changed ones.
    connect(sequence, &QAbstractAnimation::finished, this, [this] { setPanelEffectsEnabled(false); });
    return sequence;
}

void pointer_Widget::setPanelEffectsEnabled(bool enabled)
{
    leftOpacity->setEnabled(enabled);
    rightOpacity->setEnabled(enabled);
}

void pointer_Widget::setVisible(bool visible)
{
    qDebug() << "pointer" << visible;
    if (visible) {
        QWidget::setVisible(true);
        setPanelEffectsEnabled(true);
        appearance->setDirection(QAbstractAnimation::Forward);
        appearance->start();
    } else {
        // A quick return must replay the whole appearance, not resume a half-run one.
        appearance->stop();
        QWidget::setVisible(false);
        setPanelEffectsEnabled(true);
        leftOpacity->setOpacity(0);
        rightOpacity->setOpacity(0);
    }
}

void pointer_Widget::showDeviceDpi(const DeviceSettings &settings)
{
    qDebug() << "update DPI";
    const quint8 *dpi = settings.dpi;
    {
        const QSignalBlocker countBlocker(levelEditor->levelCountGroup);
        const QSignalBlocker aimBlocker(aimSlider);
        QSignalBlocker levelBlockers[Dpi::LevelCount] = {
            QSignalBlocker(levelEditor->levelSlider[0]), QSignalBlocker(levelEditor->levelSlider[1]),
            QSignalBlocker(levelEditor->levelSlider[2]), QSignalBlocker(levelEditor->levelSlider[3]),
            QSignalBlocker(levelEditor->levelSlider[4]),
        };

        const int maxLevel = dpi[10];
        qDebug() << "DPI_max_level:" << maxLevel;
        if (maxLevel < Dpi::LevelCount)
            levelEditor->levelCountGroup->button(maxLevel)->setChecked(true);

        // The sliders clamp to 1..144, so later commands carry the clamped values.
        for (int i = 0; i < Dpi::LevelCount; ++i)
            levelEditor->levelSlider[i]->setValue(dpi[3 + i]);
        aimSlider->setValue(dpi[9]);

        levelEditor->dpi1_changed();
        levelEditor->dpi2_changed();
        levelEditor->dpi3_changed();
        levelEditor->dpi4_changed();
        levelEditor->dpi5_changed();
        aim_dpi_changed();

        qDebug() << "DPI_current_level" << int(dpi[8]);
        deviceSettings.currentDpiLevel = dpi[8];
        levelEditor->highlightLevel(dpi[8]);
        levelEditor->setLevelRowsEnabled(maxLevel);
    }

    qDebug() << "update ReportRate ";
    const QSignalBlocker rateBlocker(reportRateGroup);
    const int rate = settings.reportRate[3];
    if (Dpi::isReportRateCode(rate))
        reportRateGroup->button(rate)->setChecked(true);
}

void pointer_Widget::showCurrentLevel(quint8 level)
{
    levelEditor->highlightLevel(level);
}

void pointer_Widget::change_rpt_rate(int ID, bool checked)
{
    if (!checked)
        return;
    const quint8 code = quint8(ID);
    mouse.sendCommand(QStringLiteral("report rate"), [code](quint8 *buffer) { writeReportRateCommand(buffer, code); });
}

void pointer_Widget::aim_dpi_changed()
{
    const int value = aimSlider->value();
    aimValueLabel->setText(QString::number(Dpi::dpiOf(value)));
    aimValueLabel->move(Dpi::aimLabelX(value), Dpi::AimLabelY);
    aimSlider->setAccessibleName(tr("%1：%2 DPI").arg(aimLabel->text()).arg(Dpi::dpiOf(value)));
}

void pointer_Widget::aim_value_update()
{
    sendDpiCommand(Dpi::levelCountByte(levelEditor->levelCountGroup->checkedId()));
}

void pointer_Widget::change_level_no(int ID, bool checked)
{
    if (!checked)
        return;
    // The user may have switched levels with the mouse's own button: the mouse is asked which one it uses now,
    // and the command sent after the answer keeps that level within the new count.
    const DpiCommand command = dpiCommand(quint8(ID));
    const quint8 knownLevel = deviceSettings.currentDpiLevel;
    DpiCommand expected = command;
    expected.currentLevel = Dpi::activeLevelWithin(knownLevel, command.maxLevel);
    mouse.noteCommand([expected](quint8 *buffer) { expected.writeTo(buffer); });
    mouse.link().ask(
        this,
        [command, knownLevel](DeviceContext &device) {
            SettingsRead read;
            writeDpiQuery(device.commandBuffer);
            if (queryControl(device.commandBuffer, read.settings.dpi))
                read.answered = SettingsBlock::Dpi;
            DpiCommand sent = command;
            sent.currentLevel = Dpi::activeLevelWithin(read.answered ? read.settings.dpi[8] : knownLevel, command.maxLevel);
            qDebug() << int(read.answered ? read.settings.dpi[8] : knownLevel);
            qDebug() << int(command.maxLevel);
            sent.writeTo(device.commandBuffer);
            writeControl(device.commandBuffer);
            read.settings.currentDpiLevel = sent.currentLevel;
            return QVariant::fromValue(read);
        },
        [this](const QVariant &result) {
            const SettingsRead read = result.value<SettingsRead>();
            deviceSettings.takeBlocks(read.settings, read.answered);
            deviceSettings.currentDpiLevel = read.settings.currentDpiLevel;
            levelEditor->highlightLevel(deviceSettings.currentDpiLevel);
        });
    levelEditor->setLevelRowsEnabled(ID);
}

void pointer_Widget::dpi_value_update()
{
    if (deviceSettings.currentDpiLevel >= Dpi::LevelCount)
        return;
    QSignalBlocker blockers[Dpi::LevelCount] = {
        QSignalBlocker(levelEditor->levelSlider[0]), QSignalBlocker(levelEditor->levelSlider[1]),
        QSignalBlocker(levelEditor->levelSlider[2]), QSignalBlocker(levelEditor->levelSlider[3]),
        QSignalBlocker(levelEditor->levelSlider[4]),
    };
    sendDpiCommand(Dpi::levelCountByte(levelEditor->levelCountGroup->checkedId()));
}

DpiCommand pointer_Widget::dpiCommand(quint8 maxLevel) const
{
    DpiCommand command;
    for (int i = 0; i < Dpi::LevelCount; ++i)
        command.levels[i] = quint8(levelEditor->levelSlider[i]->value());
    command.currentLevel = deviceSettings.currentDpiLevel;
    command.aim = quint8(aimSlider->value());
    command.maxLevel = maxLevel;
    return command;
}

void pointer_Widget::sendDpiCommand(quint8 maxLevel)
{
    const DpiCommand command = dpiCommand(maxLevel);
    mouse.sendCommand(QStringLiteral("dpi"), [command](quint8 *buffer) { command.writeTo(buffer); });
}

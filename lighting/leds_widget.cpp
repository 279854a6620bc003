#include "lighting/leds_widget.h"

#include "device/devicesettings.h"
#include "device/mouse.h"
#include "lighting/colorbtn.h"
#include "lighting/colorpalette.h"
#include "lighting/colorpicker.h"
#include "lighting/lightingcommand.h"
#include "lighting/lightstripview.h"
#include "lighting/speedslider.h"
#include "lighting/usercolorsettings.h"
#include "style/style.h"

#include <QButtonGroup>
#include <QDebug>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSequentialAnimationGroup>
#include <QSignalBlocker>

namespace {

struct ModeButton
{
    int id;
    const char *text;
    const char *icon;
    QPoint position;
};

const ModeButton modeButtons[] = {
    { Steady, QT_TRANSLATE_NOOP("leds_Widget", " 常亮"), "on", { 40, 230 } },
    { Shooting, QT_TRANSLATE_NOOP("leds_Widget", " 射击"), "fire", { 40, 270 } },
    { Breathing, QT_TRANSLATE_NOOP("leds_Widget", " 呼吸"), "breath", { 40, 310 } },
    { Frenzy, QT_TRANSLATE_NOOP("leds_Widget", " 狂暴"), "hit", { 190, 230 } },
    { Cycle, QT_TRANSLATE_NOOP("leds_Widget", " 轮播"), "loop", { 190, 270 } },
    { Off, QT_TRANSLATE_NOOP("leds_Widget", " 关闭"), "off", { 190, 310 } },
};

constexpr int PanelWidth = 400;
constexpr int PageWidth = 1200;
constexpr int PageHeight = 750;
// The preview's caption, in the mouse picture's coordinates: centred on its axis, under the mouse.
constexpr QRect PreviewCaptionArea { 270, 604, 240, 12 };

QLineEdit *makeEdit(QWidget *parent, const QPoint &position, QValidator *validator)
{
    auto *edit = new QLineEdit(parent);
    edit->setGeometry(QRect(position, QSize(60, 26)));
    edit->setAlignment(Qt::AlignCenter);
    edit->setStyleSheet(Style::lineEdit);
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setValidator(validator);
    return edit;
}

// Rewrites an edit only when its text changes, so that the cursor of the edit being typed in stays put.
void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

QString hexName(const QColor &colour)
{
    return colour.name().mid(1).toUpper();
}

// An invalid colour reads back as 0, 0, 0; the picker gets that black rather than an invalid colour.
QColor opaqueOrBlack(const QColor &colour)
{
    return colour.isValid() ? colour : QColor(0, 0, 0);
}

// A colour edit reads as an unsigned decimal, empty as 0. Its validator lets three digits above 255 through
// while the user types; such a number counts as 255 instead of wiping the colour to black.
int componentOf(const QLineEdit *edit)
{
    return qMin(edit->text().toInt(), 255);
}

QPropertyAnimation *animation(QObject *target, const QByteArray &property, const QVariant &from,
                              const QVariant &to, QEasingCurve::Type easing, QObject *parent)
{
    auto *result = new QPropertyAnimation(target, property, parent);
    result->setDuration(500);
    result->setStartValue(from);
    result->setEndValue(to);
    result->setEasingCurve(easing);
    return result;
}

} // namespace

leds_Widget::leds_Widget(Mouse &mouse, QWidget *parent)
    : QWidget(parent)
    , mouse(mouse)
    , leftPanel(new QWidget(this))
    , rightPanel(new QWidget(this))
{
    leftPanel->setGeometry(0, 0, PanelWidth, PageHeight);
    rightPanel->setGeometry(PageWidth - PanelWidth, 0, PanelWidth, PageHeight);
    buildLeftPanel();
    buildRightPanel();
    buildAppearance();

    connect(modeGroup, &QButtonGroup::idToggled, this,
            &leds_Widget::change_mouse_color);
    connect(modeGroup, &QButtonGroup::idToggled, this,
            &leds_Widget::change_speedslider_status);
    connect(speedSlider, &QSlider::valueChanged, this, &leds_Widget::change_mouse_color);
    connect(colorGroup, &QButtonGroup::idToggled, this,
            &leds_Widget::clr_btns_checked);
    connect(restoreButton, &QPushButton::clicked, this, &leds_Widget::rst_color);
    connect(colorPicker, &color_picker_Square::color_selected, this, &leds_Widget::color_picked);
    for (QLineEdit *edit : { redEdit, greenEdit, blueEdit })
        connect(edit, &QLineEdit::textEdited, this, &leds_Widget::rgb_value_edited);
    connect(hexEdit, &QLineEdit::textEdited, this, &leds_Widget::hex_value_edited);
    retranslateUi();
}

void leds_Widget::retranslateUi()
{
    setAccessibleName(tr("灯光设置"));
    modeLabel->setText(tr("灯光模式"));
    for (const ModeButton &mode : modeButtons) {
        QAbstractButton *button = modeGroup->button(mode.id);
        button->setText(tr(mode.text));
        button->setAccessibleName(button->text().trimmed());
        button->setAccessibleDescription(modeLabel->text());
    }
    speedLabel->setText(tr("频率调节"));
    speedSlider->setAccessibleName(speedLabel->text());
    colorLabel->setText(tr("颜色"));
    for (int id = 1; id <= PaletteSize; ++id)
        swatch(id)->setAccessibleName(tr("已保存的颜色 %1").arg(id));
    restoreButton->setText(tr("恢复预设"));
    restoreButton->setAccessibleDescription(tr("六个已保存的颜色恢复为预设颜色"));
    pickerLabel->setText(tr("调色器"));
    colorPicker->setAccessibleName(pickerLabel->text());
    colorPicker->setAccessibleDescription(tr("用鼠标选择颜色；键盘可在 R、G、B 或 # 框中输入"));
    colorPicker->slider()->setAccessibleName(tr("色相"));
    redEdit->setAccessibleName(tr("红"));
    greenEdit->setAccessibleName(tr("绿"));
    blueEdit->setAccessibleName(tr("蓝"));
    hexEdit->setAccessibleName(tr("十六进制颜色"));
    if (previewCaption)
        previewCaption->setText(tr("灯效预览，实际效果以鼠标为准"));
}

void leds_Widget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QWidget::changeEvent(event);
}

void leds_Widget::buildLeftPanel()
{
    modeLabel = Style::makeLabel(QString(), QRect(40, 193, 48, 12), leftPanel);

    modeGroup = new QButtonGroup(this);
    modeGroup->setExclusive(true);
    for (const ModeButton &mode : modeButtons) {
        auto *button = new QPushButton(leftPanel);
        button->setGeometry(QRect(mode.position, QSize(130, 26)));
        button->setCheckable(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setStyleSheet(Style::checkableButton);
        QIcon icon;
        icon.addFile(QStringLiteral(":/img/%1.png").arg(QLatin1String(mode.icon)), QSize(), QIcon::Normal, QIcon::On);
        icon.addFile(QStringLiteral(":/img/%1_s.png").arg(QLatin1String(mode.icon)), QSize(), QIcon::Normal,
                     QIcon::Off);
        button->setIcon(icon);
        modeGroup->addButton(button, mode.id);
    }
    modeGroup->button(Steady)->setChecked(true);

    speedLabel = Style::makeLabel(QString(), QRect(40, 370, 48, 12), leftPanel);
    speedSlider = new SpeedSlider(leftPanel);
    speedSlider->move(34, 400);
}

void leds_Widget::buildRightPanel()
{
    colorLabel = Style::makeLabel(QString(), QRect(80, 193, 48, 12), rightPanel);

    colorGroup = new QButtonGroup(this);
    colorGroup->setExclusive(true);
    for (int id = 1; id <= PaletteSize; ++id) {
        auto *button = new ColorBtn(rightPanel);
        button->setGeometry(80 + 31 * (id - 1), 230, 18, 18);
        button->setBtnColor(ColorPalette::defaultColor(id));
        colorGroup->addButton(button, id);
    }

    restoreButton = new QPushButton(rightPanel);
    restoreButton->setGeometry(280, 226, 78, 26);
    restoreButton->setStyleSheet(Style::pressButton);
    restoreButton->setFocusPolicy(Qt::TabFocus);

    pickerLabel = Style::makeLabel(QString(), QRect(80, 283, 48, 12), rightPanel);

    colorPicker = new color_picker_Square(rightPanel);
    colorPicker->setGeometry(74, 304, 196, 300);
    colorPicker->setHue(0);
    // The edits beside it take a colour from the keyboard.
    colorPicker->slider()->setFocusPolicy(Qt::NoFocus);

    editBox = new QWidget(rightPanel);
    editBox->setGeometry(280, 311, 80, 160);
    const QString labels[] = { QStringLiteral("R:"), QStringLiteral("G:"), QStringLiteral("B:"), QStringLiteral("#:") };
    const int labelY[] = { 7, 47, 87, 139 };
    for (int i = 0; i < 4; ++i)
        Style::makeLabel(labels[i], QRect(0, labelY[i], 30, 12), editBox);

    auto *componentValidator = new QIntValidator(0, 255, this);
    redEdit = makeEdit(editBox, { 18, 0 }, componentValidator);
    greenEdit = makeEdit(editBox, { 18, 40 }, componentValidator);
    blueEdit = makeEdit(editBox, { 18, 80 }, componentValidator);
    hexEdit = makeEdit(editBox, { 18, 132 },
                       new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[a-fA-F0-9]{6}")), this));
}

void leds_Widget::buildAppearance()
{
    leftOpacity = Style::fadeEffect(leftPanel, 0);
    rightOpacity = Style::fadeEffect(rightPanel, 0);

    auto *slideIn = new QParallelAnimationGroup(this);
    slideIn->addAnimation(animation(leftOpacity, "opacity", 0.0, 1.0, QEasingCurve::InExpo, slideIn));
    slideIn->addAnimation(animation(rightOpacity, "opacity", 0.0, 1.0, QEasingCurve::InExpo, slideIn));
    slideIn->addAnimation(animation(leftPanel, "pos", QPoint(-PanelWidth, 0), QPoint(0, 0), QEasingCurve::OutQuad,
                                    slideIn));
    slideIn->addAnimation(animation(rightPanel, "pos", QPoint(PageWidth, 0), QPoint(PageWidth - PanelWidth, 0),
                                    QEasingCurve::OutQuad, slideIn));

    appearance = new QSequentialAnimationGroup(this);
    appearance->addPause(400);
    appearance->addAnimation(slideIn);
    // On the translucent window an active opacity effect repaints the whole panel over itself whenever one of
    // its controls changes, brightening the others; it is only needed while the panels fade in.
    connect(appearance, &QAbstractAnimation::finished, this, [this] { setPanelEffectsEnabled(false); });
}

void leds_Widget::setPanelEffectsEnabled(bool enabled)
{
    leftOpacity->setEnabled(enabled);
    rightOpacity->setEnabled(enabled);
}

void leds_Widget::showPreviewOn(QWidget *mousePicture)
{
    stripView = new LightStripView(mousePicture);
    previewCaption = Style::makeLabel(QString(), PreviewCaptionArea, mousePicture);
    previewCaption->setAlignment(Qt::AlignCenter);
    retranslateUi();
    for (QWidget *preview : std::initializer_list<QWidget *> { stripView, previewCaption })
        preview->setVisible(isVisible());
    if (isVisible())
        keepCaptionOffStrip();
    updatePreview();
}

void leds_Widget::keepCaptionOffStrip()
{
    // The caption's margin above its text reaches into the strip's last row. Masked off there, the caption is not
    // laid out and drawn again with every frame of the strip, which cost more than the strip itself. Done when the
    // page first shows: the strip's place is known once its picture is read.
    if (!stripView || !previewCaption || !previewCaption->mask().isEmpty())
        return;
    const QRect strip = stripView->area().translated(-previewCaption->pos());
    previewCaption->setMask(QRegion(previewCaption->rect()).subtracted(strip));
}

LightStripView *leds_Widget::stripPreview() const
{
    return stripView;
}

void leds_Widget::updatePreview()
{
    if (stripView)
        stripView->setLighting(modeGroup->checkedId(), speedSlider->value(), colorPicker->currentColor());
}

void leds_Widget::setVisible(bool visible)
{
    qDebug() << "led" << visible;
    const bool appearing = visible && !isVisible();
    QWidget::setVisible(visible);
    for (QWidget *preview : std::initializer_list<QWidget *> { stripView, previewCaption }) {
        if (preview)
            preview->setVisible(visible);
    }
    if (visible)
        keepCaptionOffStrip();
    if (appearing) {
        appearance->stop();
        setPanelEffectsEnabled(true);
        appearance->setDirection(QAbstractAnimation::Forward);
        appearance->start();
    } else if (!visible) {
        appearance->stop();
        setPanelEffectsEnabled(true);
        leftOpacity->setOpacity(0);
        rightOpacity->setOpacity(0);
    }
}

ColorBtn *leds_Widget::swatch(int id) const
{
    return static_cast<ColorBtn *>(colorGroup->button(id));
}

void leds_Widget::setColorControlsEnabled(bool enabled)
{
    for (QAbstractButton *button : colorGroup->buttons())
        button->setEnabled(enabled);
    for (QWidget *control : std::initializer_list<QWidget *> { colorPicker, restoreButton, editBox, colorLabel,
                                                              pickerLabel })
        control->setEnabled(enabled);
}

void leds_Widget::showPickerColourInEdits()
{
    const QColor colour = colorPicker->currentColor();
    showText(redEdit, QString::number(colour.red()));
    showText(greenEdit, QString::number(colour.green()));
    showText(blueEdit, QString::number(colour.blue()));
    showText(hexEdit, hexName(colour));
}

void leds_Widget::rgb_value_edited(QString)
{
    qDebug() << "rgb_edited";
    colorPicker->setColor(QColor(componentOf(redEdit), componentOf(greenEdit), componentOf(blueEdit)));
    color_picked();
}

void leds_Widget::hex_value_edited(QString value)
{
    qDebug() << "hex_edited";
    const QString upper = value.toUpper();
    if (hexEdit->text() != upper) {
        const int cursor = hexEdit->cursorPosition();
        hexEdit->setText(upper);
        hexEdit->setCursorPosition(cursor);
    }
    // Three digits are the short form #RGB; other incomplete lengths are invalid and give black.
    const QColor colour = opaqueOrBlack(QColor(QLatin1Char('#') + upper));
    colorPicker->setColor(colour);
    showText(redEdit, QString::number(colour.red()));
    showText(greenEdit, QString::number(colour.green()));
    showText(blueEdit, QString::number(colour.blue()));
    change_mouse_color();
}

void leds_Widget::clr_btns_checked(int ID, bool checked)
{
    if (!checked)
        return;
    qDebug() << "CLR_BTN_" << ID << "checked";
    if (ID < 1 || ID > PaletteSize)
        return;
    colorPicker->setColor(opaqueOrBlack(swatch(ID)->btnColor()));
    color_picked();
}

void leds_Widget::color_picked()
{
    showPickerColourInEdits();
    const int id = colorGroup->checkedId();
    if (id >= 1 && id <= PaletteSize) {
        const QColor colour = colorPicker->currentColor();
        swatch(id)->setBtnColor(colour);
        ColorPalette(*userColorSettings()).store(id, colour);
    }
    change_mouse_color();
}

void leds_Widget::change_mouse_color()
{
    const QSignalBlocker modeBlocker(modeGroup);
    const QSignalBlocker speedBlocker(speedSlider);
    const int mode = modeGroup->checkedId();
    const int speed = speedSlider->value();
    const QColor colour = colorPicker->currentColor();
    mouse.sendCommand(QStringLiteral("lighting"),
                      [mode, speed, colour](quint8 *buffer) { fillLightingCommand(buffer, mode, speed, colour); });
    updatePreview();
}

void leds_Widget::change_speedslider_status(int btn_ID, bool checked)
{
    if (!checked)
        return;
    const std::optional<ModeControls> controls = controlsForMode(btn_ID);
    if (!controls)
        return;
    speedSlider->setEnabled(controls->speed);
    speedLabel->setEnabled(controls->speed);
    setColorControlsEnabled(controls->colour);
}

void leds_Widget::rst_color()
{
    for (int id = 1; id <= PaletteSize; ++id)
        swatch(id)->setBtnColor(ColorPalette::defaultColor(id));
    ColorPalette(*userColorSettings()).restoreDefaults();
    if (QAbstractButton *checked = colorGroup->checkedButton()) {
        colorGroup->setExclusive(false);
        checked->setChecked(false);
        colorGroup->setExclusive(true);
    }
}

void leds_Widget::get_saved_color()
{
    ColorPalette palette(*userColorSettings());
    for (int id = 1; id <= PaletteSize; ++id)
        swatch(id)->setBtnColor(palette.load(id));
}

void leds_Widget::showDeviceLighting(const DeviceSettings &settings)
{
    qDebug() << "update LED ";
    get_saved_color();
    const LightingState state = lightingStateOf(settings.lighting);
    {
        const QSignalBlocker modeBlocker(modeGroup);
        const QSignalBlocker speedBlocker(speedSlider);
        modeGroup->button(state.modeButton)->setChecked(true);
        change_speedslider_status(state.modeByte, true);
        if (state.speed) {
            speedSlider->setValue(*state.speed);
            speedSlider->move_value(*state.speed);
        }
        colorPicker->setColor(state.colour);
        showPickerColourInEdits();
    }
    updatePreview();
}

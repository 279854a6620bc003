#include "lighting/speedslider.h"

#include "lighting/lightingcommand.h"
#include "style/style.h"

#include <QLabel>
#include <QPainter>

namespace {

const QString sliderStyle = QStringLiteral(
    "QSlider{background:transparent;}"
    "QSlider::groove:horizontal{background:transparent;height:6px;margin:0px 6px;}"
    "QSlider::add-page:horizontal{background:rgba(255,255,255,0.08);height:4px;margin:0px 6px 0px 7px;}"
    "QSlider::sub-page:horizontal{background:qlineargradient(x1:0,y1:0,x2:1,y2:0,"
    "stop:0 rgba(255,255,255,0.08),stop:1 rgba(255,255,255,1));height:4px;margin:0px 9px 0px 6px;}"
    "QSlider::sub-page:horizontal:disabled{background:rgba(255,255,255,0.08);}"
    "QSlider::handle:horizontal{background:#afafaf;width:12px;margin:-3px -6px;border-radius:2px;}"
    "QSlider::handle:horizontal:disabled{background:#2f333c;}");

constexpr int StepSpacing = 40;
constexpr int FirstStepX = 6;

} // namespace

SpeedSlider::SpeedSlider(QWidget *parent)
    : QSlider(Qt::Horizontal, parent)
    , label(new QLabel(this))
{
    setFixedSize(292, 50);
    setRange(MinLightingSpeed, MaxLightingSpeed);
    setPageStep(1);
    setValue(4);
    setStyleSheet(sliderStyle);

    label->setGeometry(1, 38, 10, 12);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(Style::label);

    connect(this, &QSlider::sliderMoved, this, &SpeedSlider::move_value);
    connect(this, &QSlider::valueChanged, this, &SpeedSlider::move_value);
}

void SpeedSlider::move_value(int value)
{
    if (value < minimum() || value > maximum())
        return;
    label->setText(QString::number(value));
    label->move(StepSpacing * value - 39, 38);
    update();
}

void SpeedSlider::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, isEnabled() ? 76 : 36));
        const QString shown = label->text();
        for (int step = MinLightingSpeed; step <= MaxLightingSpeed; ++step) {
            // The value label stands in for its own step's mark.
            if (shown == QString::number(step))
                continue;
            const int x = FirstStepX + StepSpacing * (step - 1);
            if (step == MinLightingSpeed || step == MaxLightingSpeed)
                painter.drawRect(x, 43, 2, 4);
            else
                painter.drawRect(x, 44, 2, 2);
        }
    }
    QSlider::paintEvent(event);
}

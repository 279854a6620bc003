#include "ui/shownsettings.h"

#include "lighting/colorpicker.h"
#include "lighting/leds_widget.h"
#include "lighting/speedslider.h"
#include "pointer/dpileft.h"
#include "pointer/pointer_widget.h"

#include <QButtonGroup>
#include <QSlider>
#include <QStackedWidget>
#include <QStringList>
#include <QTimer>

Q_LOGGING_CATEGORY(lcShown, "tarno.shown", QtInfoMsg)

namespace {

constexpr int LookMs = 100;

}   // namespace

QString shownSettingsLine(const QWidget &window)
{
    const auto *pages = window.findChild<const QStackedWidget *>(QStringLiteral("pageStack"));
    const auto *silenceLine = window.findChild<const QWidget *>(QStringLiteral("silenceLabel"));
    const auto *lighting = window.findChild<const leds_Widget *>();
    const auto *pointer = window.findChild<const pointer_Widget *>();
    if (!pages || !silenceLine || !lighting || !pointer)
        return QString();
    const QColor colour = lighting->colorPicker->currentColor();
    QStringList levels;
    for (const QSlider *slider : pointer->levelEditor->levelSlider)
        levels << QString::number(slider->value());
    return QStringLiteral("shown page=%1 visible=%2 silent=%3 lighting=%4,%5,%6,%7,%8 dpi=%9 count=%10 current=%11 "
                          "aim=%12 rate=%13")
        .arg(pages->currentIndex())
        .arg(int(window.isVisible() && !window.isMinimized()))
        .arg(int(!silenceLine->isHidden()))
        .arg(lighting->modeGroup->checkedId())
        .arg(lighting->speedSlider->value())
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(levels.join(QLatin1Char(',')))
        .arg(pointer->levelEditor->levelCountGroup->checkedId())
        .arg(pointer->levelEditor->highlightedLevel())
        .arg(pointer->aimSlider->value())
        .arg(pointer->reportRateGroup->checkedId());
}

void logShownSettings(QWidget *window)
{
    if (!lcShown().isDebugEnabled())
        return;
    auto *timer = new QTimer(window);
    QObject::connect(timer, &QTimer::timeout, window, [window, last = QString()]() mutable {
        const QString line = shownSettingsLine(*window);
        if (line == last)
            return;
        last = line;
        qCDebug(lcShown).noquote() << line;
    });
    timer->start(LookMs);
}

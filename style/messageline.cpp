#include "style/messageline.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

const char *const MarkProperty = "messageLine";

class MessageLineAccessible : public QAccessibleWidget
{
public:
    explicit MessageLineAccessible(QLabel *line)
        : QAccessibleWidget(line, QAccessible::Notification)
    { }

    QString text(QAccessible::Text kind) const override
    {
        const QString own = QAccessibleWidget::text(kind);
        if (kind != QAccessible::Name || !own.isEmpty())
            return own;
        return static_cast<const QLabel *>(widget())->text();
    }
};

QAccessibleInterface *messageLineFactory(const QString &, QObject *object)
{
    auto *line = qobject_cast<QLabel *>(object);
    if (line && line->property(MarkProperty).toBool())
        return new MessageLineAccessible(line);
    return nullptr;
}

}   // namespace

void MessageLine::setUp(QLabel *line)
{
    static const bool installed = [] {
        QAccessible::installFactory(messageLineFactory);
        return true;
    }();
    Q_UNUSED(installed)
    line->setProperty(MarkProperty, true);
}

void MessageLine::show(QLabel *line, const QString &text)
{
    if (line->text() == text)
        return;
    line->setText(text);
    announce(line);
}

void MessageLine::announce(QLabel *line)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(line);
    if (!interface || interface->text(QAccessible::Name).isEmpty())
        return;
    // AT-SPI screen readers speak a notification when it is shown.
    QAccessibleEvent shown(line, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
#ifdef Q_OS_WIN
    // UI Automation speaks a value change that carries text as a notification; AT-SPI has no such event.
    QAccessibleValueChangeEvent spoken(line, interface->text(QAccessible::Name));
    QAccessible::updateAccessibility(&spoken);
#endif
}

#include "ui/accessibleapplication.h"

#include <QAccessibleObject>
#include <QGuiApplication>
#include <QWindow>

namespace {

class ApplicationWithPopups : public QAccessibleApplication
{
public:
    int childCount() const override { return windows().size(); }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? windows().indexOf(child->object()) : -1;
    }

    QAccessibleInterface *child(int index) const override
    {
        const QObjectList list = windows();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list.at(index)) : nullptr;
    }

private:
    // As Qt lists them, with the pop-ups that are shown; never tool tips.
    static QObjectList windows()
    {
        QObjectList list;
        for (QWindow *window : QGuiApplication::topLevelWindows()) {
            const Qt::WindowType type = window->type();
            if (type == Qt::Desktop || type == Qt::ToolTip || (type == Qt::Popup && !window->isVisible()))
                continue;
            if (QAccessibleInterface *root = window->accessibleRoot()) {
                if (root->object())
                    list.append(root->object());
            }
        }
        return list;
    }
};

QAccessibleInterface *applicationFactory(const QString &, QObject *object)
{
    if (object && object == QCoreApplication::instance())
        return new ApplicationWithPopups;
    return nullptr;
}

} // namespace

void AccessibleApplication::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(applicationFactory);
        return true;
    }();
    Q_UNUSED(installed)
}

// Navigation bar, confirmation pop-up and tray menu.
#include "ui/nav_bar.h"
#include "ui/popbox.h"
#include "ui/systemtray.h"

#include <QAbstractButton>
#include <QAction>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

class tst_ShellWidgets : public QObject
{
    Q_OBJECT

private slots:
    void navClickSelectsOnce_data();
    void navClickSelectsOnce();
    void navCheckFromCode();
    void navTips_data();
    void navTips();
    void popupButtons_data();
    void popupButtons();
    void popupClosesOnOutsideClick();
    void trayShowAction();
    void trayQuitEndsEventLoop();
};

void tst_ShellWidgets::navClickSelectsOnce_data()
{
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QList<int>>("emitted");

    QTest::newRow("checked button") << 1 << QList<int> {};
    QTest::newRow("lighting") << 2 << QList<int> { 2 };
    QTest::newRow("pointer") << 3 << QList<int> { 3 };
}

void tst_ShellWidgets::navClickSelectsOnce()
{
    QFETCH(int, clicked);
    QFETCH(QList<int>, emitted);

    Nav_Bar bar;
    bar.show();
    QSignalSpy selected(&bar, &Nav_Bar::nav_btn_selected);
    QTest::mouseClick(bar.button(clicked), Qt::LeftButton);

    QList<int> ids;
    for (const QList<QVariant> &args : selected)
        ids << args.at(0).toInt();
    QCOMPARE(ids, emitted);
    QCOMPARE(bar.checkedId(), clicked);
}

void tst_ShellWidgets::navCheckFromCode()
{
    Nav_Bar bar;
    QTest::mouseClick(bar.button(3), Qt::LeftButton);
    QSignalSpy selected(&bar, &Nav_Bar::nav_btn_selected);

    bar.checkButton(1);
    QCOMPARE(selected.count(), 1);
    QCOMPARE(selected.at(0).at(0).toInt(), 1);
    bar.checkButton(1);
    QCOMPARE(selected.count(), 1);
    QVERIFY(!bar.button(3)->isChecked());
}

void tst_ShellWidgets::navTips_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("x");
    QTest::addColumn<QString>("text");

    QTest::newRow("buttons") << 1 << 498 << QStringLiteral("按键设置");
    QTest::newRow("lighting") << 2 << 558 << QStringLiteral("灯光设置");
    QTest::newRow("pointer") << 3 << 618 << QStringLiteral("指针设置");
}

void tst_ShellWidgets::navTips()
{
    QFETCH(int, id);
    QFETCH(int, x);
    QFETCH(QString, text);

    Nav_Bar bar;
    bar.show();
    auto *tip = bar.findChild<QLabel *>(QStringLiteral("tipLabel"));
    QVERIFY(tip);
    QVERIFY(!tip->isVisible());

    QAbstractButton *button = bar.button(id);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &enter);
    QVERIFY(tip->isVisible());
    QCOMPARE(tip->pos(), QPoint(x, 0));
    QCOMPARE(tip->text(), text);

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    QVERIFY(!tip->isVisible());
}

void tst_ShellWidgets::popupButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("confirmations");

    QTest::newRow("confirm") << QStringLiteral("okButton") << 1;
    QTest::newRow("cancel") << QStringLiteral("cancelButton") << 0;
}

void tst_ShellWidgets::popupButtons()
{
    QFETCH(QString, button);
    QFETCH(int, confirmations);

    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    PopBox box(&owner);
    QSignalSpy confirmed(&box, &PopBox::ok_clicked);
    box.show();
    QVERIFY(box.isVisible());

    QTest::mouseClick(box.findChild<QPushButton *>(button), Qt::LeftButton);
    QCOMPARE(confirmed.count(), confirmations);
    QVERIFY(!box.isVisible());
}

void tst_ShellWidgets::popupClosesOnOutsideClick()
{
    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    PopBox box(&owner);
    QSignalSpy confirmed(&box, &PopBox::ok_clicked);
    box.show();
    QVERIFY(box.isVisible());

    // A pop-up grabs the mouse: a click elsewhere reaches it with a position outside its rectangle.
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(-30, 200));
    QTRY_VERIFY(!box.isVisible());
    QCOMPARE(confirmed.count(), 0);
}

void tst_ShellWidgets::trayShowAction()
{
    SystemTray tray;
    QCOMPARE(tray.contextMenu()->actions(), (QList<QAction *> { tray.openAction(), tray.exitAction() }));

    QSignalSpy opened(&tray, &SystemTray::sys_openClicked);
    tray.openAction()->trigger();
    QCOMPARE(opened.count(), 1);
}

void tst_ShellWidgets::trayQuitEndsEventLoop()
{
    SystemTray tray;
    QEventLoop loop;
    QTimer::singleShot(0, tray.exitAction(), &QAction::trigger);
    // Only reached when the quit action failed to end the loop.
    QTimer::singleShot(5000, &loop, [&loop] { loop.exit(99); });
    QCOMPARE(loop.exec(), 0);
}

QTEST_MAIN(tst_ShellWidgets)
#include "tst_shellwidgets.moc"

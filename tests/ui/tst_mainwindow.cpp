// The main window on fake entry points: navigation and pictures, settings page, tray, reset, plug-out.
#include "fakedevice.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "ui/mainwindow.h"
#include "ui/nav_bar.h"
#include "ui/popbox.h"
#include "ui/systemtray.h"
#include "update/config_widget.h"

#include <QAbstractButton>
#include <QAction>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>

namespace {

// The window and the children the tests look at.
struct Shell
{
    TARNO_Gaming window;
    QStackedWidget *pages = window.findChild<QStackedWidget *>(QStringLiteral("pageStack"));
    Nav_Bar *nav = window.findChild<Nav_Bar *>(QStringLiteral("navBar"));
    QWidget *pictures = window.findChild<QWidget *>(QStringLiteral("mouseArea"));
    QLabel *mouseImage = window.findChild<QLabel *>(QStringLiteral("mouseImage"));
    QLabel *sideImage = window.findChild<QLabel *>(QStringLiteral("sideImage"));
    QWidget *configPage = window.findChild<QWidget *>(QStringLiteral("configPage"));
    QPushButton *settingsButton = window.findChild<QPushButton *>(QStringLiteral("settingsButton"));
    QPushButton *closeButton = window.findChild<QPushButton *>(QStringLiteral("closeButton"));
    QPushButton *resetButton = window.findChild<QPushButton *>(QStringLiteral("resetButton"));
    PopBox *resetPopBox = window.findChild<PopBox *>(QStringLiteral("resetPopBox"));
    QTimer *dpiTimer = window.findChild<QTimer *>(QStringLiteral("dpiTimer"));
    SystemTray *tray = window.findChild<SystemTray *>(QStringLiteral("tray"));
    QLabel *titleBar = window.findChild<QLabel *>(QStringLiteral("titleBar"));

    // As start-up does it, with or without a mouse; waits for the fade-in to reveal the pages.
    bool start(bool withMouse)
    {
        if (withMouse && openDevice()) {
            deviceContext.deviceConnected = 1;
            window.showDeviceLayout();
            window.readDeviceSettings();
            window.refreshPages();
        } else {
            window.showNoDeviceLayout();
        }
        window.show();
        return QTest::qWaitFor([this] { return pages->isVisible(); }, 5000);
    }

    qreal sideOpacity() const
    {
        return static_cast<QGraphicsOpacityEffect *>(sideImage->graphicsEffect())->opacity();
    }
};

int controlWritesOf(quint8 code)
{
    int count = 0;
    for (const QByteArray &bytes : FakeDevice::writes(QStringLiteral("WrtieControl"))) {
        if (!bytes.isEmpty() && quint8(bytes.at(0)) == code)
            ++count;
    }
    return count;
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void navigationMovesPictures();
    void settingsPage_data();
    void settingsPage();
    void unplugWithSettingsOpen();
    void closeStopsPollAndTrayResumes_data();
    void closeStopsPollAndTrayResumes();
    void resetPopup_data();
    void resetPopup();
    void dragByTitleBar();

private:
    QTemporaryDir emuDir;
};

void tst_MainWindow::initTestCase()
{
    // The window watches the emulated mouse's folder: keep it away from any mouse another run plugs in.
    QVERIFY(emuDir.isValid());
    qputenv("TARNO_EMU_DIR", QFile::encodeName(emuDir.path()));
}

void tst_MainWindow::init()
{
    FakeDevice::install();
    FakeDevice::openResult = u"/dev/Fake-Z31";
    // DPI reply: levels 1..5, current level 1, aim, highest level 4.
    FakeDevice::controlReply = QByteArray::fromHex("00c200101f2e3d4c01070400");
    deviceContext.deviceConnected = 0;
    std::memset(deviceContext.devicePath, 0, sizeof deviceContext.devicePath);
}

void tst_MainWindow::navigationMovesPictures()
{
    Shell shell;
    QVERIFY(shell.start(true));
    QCOMPARE(shell.mouseImage->geometry(), QRect(7, 9, 665, 648));
    QCOMPARE(shell.sideOpacity(), 1.0);

    QTest::mouseClick(shell.nav->button(2), Qt::LeftButton);
    QCOMPARE(shell.pages->currentIndex(), 2);
    QCOMPARE(int(shell.window.pictureState()), 2);
    QTRY_COMPARE(shell.mouseImage->geometry(), QRect(217, 9, 665, 648));
    QTRY_COMPARE(shell.sideOpacity(), 0.0);

    auto *animation = shell.window.findChild<QAbstractAnimation *>(QStringLiteral("pageAnimation"));
    QSignalSpy animationStarts(animation, &QAbstractAnimation::stateChanged);
    QTest::mouseClick(shell.nav->button(3), Qt::LeftButton);
    QCOMPARE(shell.pages->currentIndex(), 3);
    QCOMPARE(int(shell.window.pictureState()), 2);
    QCOMPARE(animationStarts.count(), 0);
    QCOMPARE(shell.mouseImage->geometry(), QRect(217, 9, 665, 648));

    QTest::mouseClick(shell.nav->button(1), Qt::LeftButton);
    QCOMPARE(shell.pages->currentIndex(), 1);
    QCOMPARE(int(shell.window.pictureState()), 1);
    QVERIFY(animationStarts.count() > 0);
    QTRY_COMPARE(shell.mouseImage->geometry(), QRect(7, 9, 665, 648));
    QTRY_COMPARE(shell.sideOpacity(), 1.0);
}

void tst_MainWindow::settingsPage_data()
{
    QTest::addColumn<bool>("withMouse");
    QTest::addColumn<int>("page");

    QTest::newRow("mouse") << true << 1;
    QTest::newRow("no mouse") << false << 0;
}

void tst_MainWindow::settingsPage()
{
    QFETCH(bool, withMouse);
    QFETCH(int, page);

    Shell shell;
    QVERIFY(shell.start(withMouse));

    QTest::mouseClick(shell.settingsButton, Qt::LeftButton);
    QVERIFY(shell.settingsButton->isChecked());
    QVERIFY(shell.configPage->isVisible());
    QVERIFY(!shell.pages->isVisible());
    QVERIFY(!shell.pictures->isVisible());
    QVERIFY(!shell.nav->isVisible());

    QTest::mouseClick(shell.settingsButton, Qt::LeftButton);
    QVERIFY(!shell.configPage->isVisible());
    QVERIFY(shell.pages->isVisible());
    QCOMPARE(shell.pages->currentIndex(), page);
    QCOMPARE(shell.pictures->isVisible(), withMouse);
    QCOMPARE(shell.nav->isVisible(), withMouse);
}

void tst_MainWindow::unplugWithSettingsOpen()
{
    Shell shell;
    QVERIFY(shell.start(true));
    QTest::mouseClick(shell.nav->button(3), Qt::LeftButton);
    QTest::mouseClick(shell.settingsButton, Qt::LeftButton);
    FakeDevice::calls.clear();

    // The stored path has capitals; the system reports the name in any case.
    shell.window.handleDeviceChange({ DeviceChange::Removal, 5, QStringLiteral("/DEV/fake-z31") });
    QCOMPARE(deviceContext.deviceConnected, 0);
    QCOMPARE(FakeDevice::names(), (QStringList { QStringLiteral("CloseDevice"), QStringLiteral("CloseConfigDevice") }));
    QCOMPARE(shell.pages->currentIndex(), 0);
    QVERIFY(shell.configPage->isVisible());
    QVERIFY(!shell.resetButton->isEnabled());
    auto *config = static_cast<config_Widget *>(shell.configPage);
    QVERIFY(!config->fwVersionButton->isVisible());
    QVERIFY(!config->fwUpdateMark->isVisible());

    QTest::mouseClick(shell.settingsButton, Qt::LeftButton);
    QVERIFY(shell.pages->isVisible());
    QCOMPARE(shell.pages->currentIndex(), 0);
    QVERIFY(!shell.nav->isVisible());
    QVERIFY(!shell.pictures->isVisible());

    // Plugged in again: back on the buttons page with the pictures in their home layout.
    shell.window.handleDeviceChange({ DeviceChange::Arrival, 5, QStringLiteral("/dev/Fake-Z31") });
    QCOMPARE(deviceContext.deviceConnected, 1);
    QCOMPARE(shell.pages->currentIndex(), 1);
    QCOMPARE(shell.nav->checkedId(), 1);
    QCOMPARE(int(shell.window.pictureState()), 1);
    QVERIFY(shell.nav->isVisible());
    QVERIFY(shell.resetButton->isEnabled());
    QCOMPARE(controlWritesOf(0xA0), 1);
    QCOMPARE(controlWritesOf(0xC2), 1);
    QCOMPARE(controlWritesOf(0xC4), 1);
}

void tst_MainWindow::closeStopsPollAndTrayResumes_data()
{
    QTest::addColumn<QString>("how");

    QTest::newRow("double click") << QStringLiteral("double");
    QTest::newRow("click") << QStringLiteral("trigger");
    QTest::newRow("menu") << QStringLiteral("menu");
}

void tst_MainWindow::closeStopsPollAndTrayResumes()
{
    QFETCH(QString, how);

    Shell shell;
    QVERIFY(shell.start(true));
    QTest::mouseClick(shell.nav->button(3), Qt::LeftButton);
    const int pollsBefore = controlWritesOf(0xC2);
    QTRY_VERIFY(controlWritesOf(0xC2) > pollsBefore);

    QTest::mouseClick(shell.closeButton, Qt::LeftButton);
    QVERIFY(!shell.window.isVisible());
    QVERIFY(!shell.dpiTimer->isActive());

    emit shell.tray->activated(QSystemTrayIcon::Context);
    QVERIFY(!shell.window.isVisible());
    QVERIFY(!shell.dpiTimer->isActive());

    if (how == QLatin1String("double"))
        emit shell.tray->activated(QSystemTrayIcon::DoubleClick);
    else if (how == QLatin1String("trigger"))
        emit shell.tray->activated(QSystemTrayIcon::Trigger);
    else
        shell.tray->openAction()->trigger();
    QVERIFY(shell.window.isVisible());
    QVERIFY(shell.dpiTimer->isActive());
    QCOMPARE(shell.dpiTimer->interval(), 200);
    const int pollsResumed = controlWritesOf(0xC2);
    QTRY_VERIFY(controlWritesOf(0xC2) > pollsResumed);
}

void tst_MainWindow::resetPopup_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("resets");

    QTest::newRow("restore") << QStringLiteral("okButton") << 1;
    QTest::newRow("cancel") << QStringLiteral("cancelButton") << 0;
}

void tst_MainWindow::resetPopup()
{
    QFETCH(QString, button);
    QFETCH(int, resets);

    Shell shell;
    QVERIFY(shell.start(true));
    shell.dpiTimer->stop();
    QTest::mouseClick(shell.nav->button(2), Qt::LeftButton);
    QTest::mouseClick(shell.resetButton, Qt::LeftButton);
    QVERIFY(shell.resetPopBox->isVisible());
    FakeDevice::calls.clear();

    QTest::mouseClick(shell.resetPopBox->findChild<QPushButton *>(button), Qt::LeftButton);
    QVERIFY(!shell.resetPopBox->isVisible());
    QCOMPARE(controlWritesOf(0xEE), resets);
    if (resets) {
        QByteArray reset(31, '\0');
        reset[0] = char(0xEE);
        QCOMPARE(FakeDevice::writes(QStringLiteral("WrtieControl")).first(), reset);
        // Settings read again and the buttons page shown.
        QCOMPARE(controlWritesOf(0xA0), 1);
        QCOMPARE(shell.pages->currentIndex(), 1);
    } else {
        QVERIFY(FakeDevice::calls.isEmpty());
        QCOMPARE(shell.pages->currentIndex(), 2);
    }
}

void tst_MainWindow::dragByTitleBar()
{
    Shell shell;
    QVERIFY(shell.start(true));
    const QPoint origin = shell.window.pos();
    const QPoint grab = shell.titleBar->mapToGlobal(QPoint(600, 40));

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(600, 40), QPointF(grab), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(shell.titleBar, &press);
    const QPoint to = grab + QPoint(-120, 55);
    QMouseEvent move(QEvent::MouseMove, QPointF(480, 95), QPointF(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(shell.titleBar, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(480, 95), QPointF(to), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(shell.titleBar, &release);
    QCOMPARE(shell.window.pos(), origin + QPoint(-120, 55));

    // Once released, moving the mouse no longer drags.
    QMouseEvent stray(QEvent::MouseMove, QPointF(0, 0), QPointF(grab), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(shell.titleBar, &stray);
    QCOMPARE(shell.window.pos(), origin + QPoint(-120, 55));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"

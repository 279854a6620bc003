// The main window on fake entry points: navigation and pictures, settings page, tray, reset, plug-out.
#include "fakedevice.h"

#include "buttons/btn_dialog.h"
#include "buttons/buttons_widget.h"
#include "buttons/macroeditdialog.h"
#include "buttons/micro_widget.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "ui/languageswitcher.h"
#include "ui/mainwindow.h"
#include "ui/nav_bar.h"
#include "ui/popbox.h"
#include "ui/systemtray.h"
#include "update/config_widget.h"
#include "update/updatedialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// The window and the children the tests look at.
struct Shell
{
    FakeMouse fake;
    TARNO_Gaming window { fake.mouse };
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
    SystemTray *tray = window.findChild<SystemTray *>(QStringLiteral("tray"));
    QLabel *titleBar = window.findChild<QLabel *>(QStringLiteral("titleBar"));

    // As start-up does it, with or without a mouse; waits for the fade-in to reveal the pages.
    bool start(bool withMouse)
    {
        if (withMouse) {
            fake.mouse.open();
            deliverAnswers();
        }
        if (!fake.mouse.connected())
            window.showNoDeviceLayout();
        window.show();
        return QTest::qWaitFor([this] { return pages->isVisible(); }, 5000);
    }

    qreal sideOpacity() const
    {
        return static_cast<QGraphicsOpacityEffect *>(sideImage->graphicsEffect())->opacity();
    }
};

QString textOf(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    return QString();
}

// Every label and button of the window, its pages and its dialogs, in creation order, with every accessible name and
// description, and the tray's texts.
QStringList shownTexts(Shell &shell)
{
    QStringList texts;
    for (const QWidget *widget : shell.window.findChildren<QWidget *>()) {
        if (qobject_cast<const QLabel *>(widget) || qobject_cast<const QAbstractButton *>(widget))
            texts << textOf(widget);
        // What a screen reader says.
        texts << widget->accessibleName() << widget->accessibleDescription();
    }
    texts << shell.window.windowTitle();
    texts << shell.tray->toolTip() << shell.tray->openAction()->text() << shell.tray->exitAction()->text();
    return texts;
}

bool hasChinese(const QString &text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Han)
            return true;
    }
    return false;
}

// Why `text` does not fit `widget` at the widget's font (style sheet applied), or "" when it does.
QString clipping(QWidget *widget, const QString &text)
{
    widget->ensurePolished();
    const QFontMetrics metrics(widget->font());
    QRect room = widget->contentsRect();
    QStyleOptionButton option;
    option.initFrom(widget);
    option.text = text;
    if (qobject_cast<QRadioButton *>(widget)) {
        room = widget->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, widget);
    } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
        room = widget->style()->subElementRect(QStyle::SE_PushButtonContents, &option, widget);
        if (!button->icon().isNull())
            room.setLeft(room.left() + button->iconSize().width() + 4);
    }
    // A parent that ends before the widget cuts it off (pages not yet shown have no size of their own yet).
    if (!widget->isWindow() && !qobject_cast<const QStackedWidget *>(widget->parentWidget()->parentWidget()))
        room &= widget->parentWidget()->rect().translated(-widget->pos());
    const QStringList lines = text.split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    QString problem;
    if (widest > room.width())
        problem = QStringLiteral("%1 px wide in %2").arg(widest).arg(room.width());
    else if (lines.size() > 1 && lines.size() * metrics.lineSpacing() > room.height())
        problem = QStringLiteral("%1 lines in %2 px").arg(lines.size()).arg(room.height());
    else if (lines.size() == 1 && qobject_cast<QLabel *>(widget)) {
        // Vertically centred: the ink, descenders included, must lie inside the box.
        const int baseline = room.top() + (room.height() - metrics.height()) / 2 + metrics.ascent();
        const QRect ink = metrics.tightBoundingRect(text).translated(room.left(), baseline);
        if (ink.top() < room.top() || ink.bottom() > room.bottom())
            problem = QStringLiteral("ink rows %1..%2 in %3..%4")
                          .arg(ink.top()).arg(ink.bottom()).arg(room.top()).arg(room.bottom());
    }
    if (problem.isEmpty())
        return problem;
    return QStringLiteral("%1 \"%2\": %3").arg(QString::fromLatin1(widget->metaObject()->className()), text, problem);
}

// Controls a user acts on; each needs a name a screen reader can say.
bool isControl(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return false;
    }
}

// Of those, the ones the keyboard must reach with Tab. The colour field and the hue band are left to the mouse:
// the R, G, B and # fields beside them take a colour from the keyboard.
bool needsTab(QAccessible::Role role)
{
    return isControl(role) && role != QAccessible::Slider;
}

// Tab reaches one button of an exclusive group, the checked one; the arrow keys move among them.
bool reachedByTab(const QWidget *widget)
{
    if (widget->focusPolicy() & Qt::TabFocus)
        return true;
    const auto *button = qobject_cast<const QAbstractButton *>(widget);
    if (!button || !button->isCheckable() || !button->group() || !button->group()->exclusive())
        return false;
    const QList<QAbstractButton *> group = button->group()->buttons();
    return std::any_of(group.begin(), group.end(), [](const QAbstractButton *member) {
        return member->isEnabled() && (member->focusPolicy() & Qt::TabFocus);
    });
}

// What a screen reader finds wrong under `node`: shown windows and controls without a name, controls that Tab
// does not reach.
void accessibilityFaults(QAccessibleInterface *node, const QString &path, QStringList &faults)
{
    const QAccessible::State state = node->state();
    if (state.invisible)
        return;
    const QAccessible::Role role = node->role();
    auto *widget = qobject_cast<QWidget *>(node->object());
    const QString where = path + QLatin1Char('/')
        + (widget ? QString::fromLatin1(widget->metaObject()->className()) : QString::number(role, 16));
    const bool window = widget && widget->isWindow();
    if ((window || state.focusable || isControl(role)) && node->text(QAccessible::Name).trimmed().isEmpty())
        faults << where + QStringLiteral(": no name");
    if (widget && needsTab(role) && !state.disabled && !reachedByTab(widget))
        faults << where + QStringLiteral(" \"%1\": not reached by Tab").arg(node->text(QAccessible::Name));
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface *child = node->child(i))
            accessibilityFaults(child, where, faults);
    }
}

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
    void languagesFitAndSwitchLive_data();
    void languagesFitAndSwitchLive();
    void screenReaderFindsEveryControl_data();
    void screenReaderFindsEveryControl();
    void localTranslatorOnlyOverSimplified();

private:
    QTemporaryDir emuDir;
};

void tst_MainWindow::initTestCase()
{
    // The window watches device nodes: here one in the test's own folder, which nothing plugs in.
    QVERIFY(emuDir.isValid());
    qputenv("TARNO_DEVICE_NODES", QFile::encodeName(emuDir.filePath(QStringLiteral("z31-hidraw"))));
    // The language choice is saved in the user's settings: here, in the test's own folder.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, emuDir.path());
}

void tst_MainWindow::init()
{
    FakeDevice::install();
    FakeDevice::openResult = u"/dev/Fake-Z31";
    // DPI reply: levels 1..5, current level 1, aim, highest level 4.
    FakeDevice::controlReply = QByteArray::fromHex("00c200101f2e3d4c01070400");
    std::memset(deviceContext.devicePath, 0, sizeof deviceContext.devicePath);
}

void tst_MainWindow::navigationMovesPictures()
{
    Shell shell;
    QVERIFY(shell.start(true));
    QCOMPARE(shell.mouseImage->geometry(), QRect(7, 9, 665, 648));
    QCOMPARE(shell.sideOpacity(), 1.0);
    // Drawn as the whole pictures, though kept without their transparent margins.
    const std::pair<QLabel *, QString> pictures[] { { shell.mouseImage, QStringLiteral(":/img/mouse_off") },
                                                    { shell.sideImage, QStringLiteral(":/img/side") } };
    for (const auto &[label, path] : pictures) {
        const QImage whole = QImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QImage drawn(whole.size(), QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::transparent);
        label->render(&drawn, QPoint(), QRegion(), QWidget::DrawChildren);
        QCOMPARE(drawn, whole);
        const QPixmap kept = label->pixmap(Qt::ReturnByValue);
        QVERIFY(kept.width() < whole.width() && kept.height() < whole.height());
    }

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

    // The settings read after an import leaves the user where they are.
    shell.window.readDeviceSettings();
    deliverAnswers();
    QCOMPARE(shell.pages->currentIndex(), 3);
    QCOMPARE(int(shell.window.pictureState()), 2);

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
    QVERIFY(!shell.fake.mouse.connected());
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
    deliverAnswers();
    QVERIFY(shell.fake.mouse.connected());
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
    // A second start of the program shows the window as it is.
    QTest::newRow("second start") << QStringLiteral("second start");
}

void tst_MainWindow::closeStopsPollAndTrayResumes()
{
    QFETCH(QString, how);

    Shell shell;
    // As on a desktop with a tray; the offscreen platform has none (closing without one is a whole-program test).
    shell.tray->hostAvailable = [] { return true; };
    QVERIFY(shell.start(true));
    QTest::mouseClick(shell.nav->button(3), Qt::LeftButton);
    const int pollsBefore = controlWritesOf(0xC2);
    QTRY_VERIFY(controlWritesOf(0xC2) > pollsBefore);

    QTest::mouseClick(shell.closeButton, Qt::LeftButton);
    QVERIFY(!shell.window.isVisible());
    QVERIFY(!shell.fake.mouse.dpiPollRunning());

    emit shell.tray->activated(QSystemTrayIcon::Context);
    QVERIFY(!shell.window.isVisible());
    QVERIFY(!shell.fake.mouse.dpiPollRunning());

    if (how == QLatin1String("double"))
        emit shell.tray->activated(QSystemTrayIcon::DoubleClick);
    else if (how == QLatin1String("trigger"))
        emit shell.tray->activated(QSystemTrayIcon::Trigger);
    else if (how == QLatin1String("menu"))
        shell.tray->openAction()->trigger();
    else
        shell.window.showNormal();
    QVERIFY(shell.window.isVisible());
    QVERIFY(shell.fake.mouse.dpiPollRunning());
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
    shell.fake.mouse.setDpiPollWanted(false);
    QTest::mouseClick(shell.nav->button(2), Qt::LeftButton);
    QTest::mouseClick(shell.resetButton, Qt::LeftButton);
    QVERIFY(shell.resetPopBox->isVisible());
    FakeDevice::calls.clear();

    QTest::mouseClick(shell.resetPopBox->findChild<QPushButton *>(button), Qt::LeftButton);
    deliverAnswers();
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

void tst_MainWindow::languagesFitAndSwitchLive_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("simplified Chinese") << int(InterfaceLanguage::SimplifiedChinese);
    QTest::newRow("traditional Chinese") << int(InterfaceLanguage::TraditionalChinese);
    QTest::newRow("English") << int(InterfaceLanguage::English);
}

void tst_MainWindow::languagesFitAndSwitchLive()
{
    QFETCH(int, language);
    const auto chosen = InterfaceLanguage::Language(language);
    const auto before = chosen == InterfaceLanguage::SimplifiedChinese ? InterfaceLanguage::English
                                                                       : InterfaceLanguage::SimplifiedChinese;
    LanguageSwitcher languages;
    languages.apply(before);
    // Hovering a page button shows its tip, which must follow the language too.
    auto hoverFirstPageButton = [](Shell &shell) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(shell.nav->button(1), &enter);
    };

    Shell live;
    QVERIFY(live.start(true));
    live.window.useLanguages(&languages);
    hoverFirstPageButton(live);
    const QStringList old = shownTexts(live);
    QComboBox *box = live.configPage->findChild<QComboBox *>(QStringLiteral("languageBox"));
    QCOMPARE(box->currentIndex(), int(before));

    FakeDevice::calls.clear();
    box->setCurrentIndex(language);
    emit box->activated(language);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QVERIFY2(FakeDevice::calls.isEmpty(), qPrintable(FakeDevice::names().join(QLatin1Char(' '))));
    QCOMPARE(languages.current(), chosen);
    QCOMPARE(LanguageSwitcher::userSettings()->value(QStringLiteral("language")).toString(),
             InterfaceLanguage::code(chosen));

    // Switched live, every text reads as in a window built in that language.
    Shell fresh;
    QVERIFY(fresh.start(true));
    fresh.window.useLanguages(&languages);
    hoverFirstPageButton(fresh);
    QCOMPARE(fresh.configPage->findChild<QComboBox *>(QStringLiteral("languageBox"))->currentIndex(), language);
    const QStringList switched = shownTexts(live);
    QCOMPARE(switched, shownTexts(fresh));
    int changed = 0;
    for (int i = 0; i < old.size(); ++i) {
        changed += switched.at(i) != old.at(i);
        if (chosen == InterfaceLanguage::English)
            QVERIFY2(!hasChinese(switched.at(i)), qPrintable(switched.at(i)));
    }
    QVERIFY(changed > 40);

    // The no-device page while another program holds the mouse says that the window waits for it.
    fresh.window.showWaitingForMouse(true);
    const QString waiting = QCoreApplication::translate("disconnect_Widget", "正在等待鼠标");
    const QList<QLabel *> labels = fresh.window.findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.cbegin(), labels.cend(),
                        [&waiting](const QLabel *label) { return label->text() == waiting; }));
    QVERIFY(chosen == InterfaceLanguage::SimplifiedChinese || waiting != QStringLiteral("正在等待鼠标"));

    // Every text fits its box at its font, also those that only some states show.
    QStringList clipped;
    for (QWidget *widget : fresh.window.findChildren<QWidget *>()) {
        const QString text = textOf(widget);
        if (!text.isEmpty())
            clipped << clipping(widget, text);
    }
    for (int page = 1; page <= 3; ++page) {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(fresh.nav->button(page), &enter);
        QLabel *tip = fresh.nav->findChild<QLabel *>(QStringLiteral("tipLabel"));
        clipped << clipping(tip, tip->text());
    }
    const auto translated = [](const char *context, const char *source) {
        return QCoreApplication::translate(context, source);
    };
    auto *settings = static_cast<config_Widget *>(fresh.configPage);
    UpdateDialog *update = settings->updateDialog;
    btn_Dialog *buttonDialog = fresh.window.findChild<buttons_Widget *>()->dialog;
    MacroEditDialog *macroEditor = buttonDialog->recorder->editDialog;
    const QList<QPair<QWidget *, QString>> states {
        { buttonDialog->recorder->startButton, translated("micro_Widget", "停止录制") },
        { macroEditor->messageLabel, translated("MacroEditDialog", "请按下要插入的按键，按 Esc 取消") },
        { macroEditor->messageLabel, translated("MacroEditDialog", "宏有未保存的修改：保存、不保存，还是返回编辑？") },
        { macroEditor->messageLabel,
          translated("MacroEditDialog", "宏是空的，不能保存：要清除这个按键，请在功能键中选择“禁用”") },
        { macroEditor->messageLabel, translated("MacroEditDialog", "第一个事件的延迟总是 0：它之前没有要等的事件") },
        { macroEditor->messageLabel,
          translated("MacroEditDialog", "同时删除了配对的事件 %1，按键不会只按下或只松开").arg(100) },
        { macroEditor->messageLabel, translated("MacroEditDialog", "不能移动：按键会在按下之前松开") },
        { macroEditor->messageLabel,
          translated("MacroEditDialog", "鼠标不能发送这个按键：宏里没有音量、媒体和浏览器按键") },
        { macroEditor->titleLabel, translated("MacroEditDialog", "编辑宏：按键 %1").arg(9) },
        { macroEditor->backButton, translated("MacroEditDialog", "返回") },
        { macroEditor->discardButton, translated("MacroEditDialog", "不保存") },
        { macroEditor->messageLabel,
          translated("MacroEditDialog", "事件 %1：%2 按下后直到结尾都没有松开").arg(100).arg("RIGHT SHIFT") },
        { macroEditor->messageLabel,
          translated("MacroEditDialog", "事件 %1：%2 在按下之前被松开").arg(100).arg("RIGHT SHIFT") },
        { macroEditor->messageLabel,
          translated("MacroEditDialog", "事件 %1：延迟 %2 毫秒超出 0 到 %3 毫秒").arg(100).arg(999999).arg(65535) },
        { buttonDialog->titleLabel, translated("btn_Dialog", "自定义组合键:") + QStringLiteral("CTRL+SHIFT+A") },
        { settings->fwVersionButton, translated("config_Widget", "发现新版本  ") },
        { settings->appVersionButton, translated("config_Widget", "发现新版本  ") },
        { update->statusLabel, translated("FirmwareTransfer", "正在升级固件...%1%").arg(100) },
        { update->statusLabel, translated("UpdateDialog", "固件升级已完成") },
        { update->messageLabel, translated("UpdateDialog", "升级为版本V") + QStringLiteral("1.2.3") },
        { update->messageLabel,
          translated("TARNO_Gaming",
                     "升级过程中，请勿断开USB连接。中断升级可能会导致鼠标无法使用。"
                     "固件升级约需要1分钟，在此期间，鼠标将无法使用。") },
        { update->statusLabel, translated("UpdateDialog", "无法升级固件") },
        { update->statusLabel, translated("UpdateDialog", "正在等待鼠标重新连接...") },
        { update->statusLabel, translated("UpdateDialog", "固件升级未生效") },
        { update->statusLabel, translated("UpdateDialog", "未能确认升级结果") },
        { update->statusLabel, translated("UpdateDialog", "固件升级失败") },
        { update->messageLabel,
          translated("UpdateDialog", "固件未能完整写入鼠标，鼠标仍保留原固件V%1。请确认鼠标已连接，然后重试。")
              .arg("10.20.30") },
        { update->messageLabel, translated("UpdateDialog", "固件文件为空，未写入鼠标。") },
        { update->messageLabel, translated("UpdateDialog", "固件文件未能确认下载完整，未写入鼠标。") },
        { update->messageLabel, translated("UpdateDialog", "固件文件与下载完成时不一致，未写入鼠标。") },
        { update->messageLabel,
          translated("UpdateDialog", "固件已写入，鼠标将重新启动。正在等待它报告新版本（最多%1秒）。").arg(30) },
        { update->messageLabel, translated("UpdateDialog", "鼠标重新连接后报告的版本仍为V%1。").arg("10.20.30") },
        { update->messageLabel,
          translated("UpdateDialog", "鼠标在%1秒内没有重新连接，请重新插入鼠标后查看固件版本。").arg(30) },
        { update->messageLabel, translated("UpdateDialog", "正在升级固件，程序将在升级完成后退出。") },
        { update->messageLabel, translated("UpdateDialog", "正在升级固件，完成前不能关闭窗口。") },
        { settings->noticeLabel,
          translated("config_Widget", "固件升级未生效：鼠标仍为版本V%1，未升级到V%2")
              .arg(QStringLiteral("10.20.30"), QStringLiteral("10.20.31")) },
        { settings->noticeLabel,
          translated("config_Widget", "新版本程序无法启动：%1").arg(QStringLiteral("TARNO_CONNECT_PC_10.20.30.exe")) },
    };
    for (const auto &state : states)
        clipped << clipping(state.first, state.second);
    clipped.removeAll(QString());
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));

    languages.apply(InterfaceLanguage::SimplifiedChinese);
}

void tst_MainWindow::screenReaderFindsEveryControl_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("view");
    const std::pair<const char *, InterfaceLanguage::Language> languages[] {
        { "simplified Chinese", InterfaceLanguage::SimplifiedChinese },
        { "traditional Chinese", InterfaceLanguage::TraditionalChinese },
        { "English", InterfaceLanguage::English },
    };
    const char *const views[] { "no mouse", "buttons", "functions", "combinations",    "macro",        "macro editor",
                                "lighting", "pointer", "settings",  "firmware update", "factory reset" };
    for (const auto &[name, language] : languages) {
        for (const char *view : views)
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(name), QLatin1String(view))))
                << int(language) << QString::fromLatin1(view);
    }
}

// Each page and dialog as a screen reader walks it: every shown window and control has a name in the language in
// use, and Tab reaches every control that is not a slider.
void tst_MainWindow::screenReaderFindsEveryControl()
{
    QFETCH(int, language);
    QFETCH(QString, view);
    LanguageSwitcher languages;
    languages.apply(InterfaceLanguage::Language(language));
    {
        Shell shell;
        QVERIFY(shell.start(view != "no mouse"));
        auto *buttonsPage = shell.window.findChild<buttons_Widget *>();
        btn_Dialog *dialog = buttonsPage->dialog;
        const QStringList dialogPages { "functions", "combinations", "macro", "macro editor" };
        if (dialogPages.contains(view)) {
            buttonsPage->buttonGroup->button(3)->click();
            deliverAnswers();
            dialog->pageGroup->button(qMin(int(dialogPages.indexOf(view)), int(btn_Dialog::MacroPage)))->click();
            if (view == "macro editor")
                dialog->recorder->editButton->click();
        } else if (view == "lighting" || view == "pointer") {
            QTest::mouseClick(shell.nav->button(view == "lighting" ? 2 : 3), Qt::LeftButton);
        } else if (view == "settings" || view == "firmware update") {
            shell.settingsButton->click();
            if (view == "firmware update")
                static_cast<config_Widget *>(shell.configPage)->updateDialog->show();
        } else if (view == "factory reset") {
            shell.resetButton->click();
        }
        // From the application down, as AT-SPI and UI Automation present the program.
        QStringList faults;
        int windows = 0;
        QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
        for (int i = 0; i < application->childCount(); ++i) {
            QAccessibleInterface *window = application->child(i);
            if (window->state().invisible)
                continue;
            ++windows;
            accessibilityFaults(window, QString(), faults);
        }
        QVERIFY(windows >= (view == "no mouse" || view == "buttons" || view == "lighting" || view == "pointer"
                                    || view == "settings"
                                ? 1
                                : 2));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
    languages.apply(InterfaceLanguage::SimplifiedChinese);
}

void tst_MainWindow::localTranslatorOnlyOverSimplified()
{
    // An older install's own "lang_zh_cn" in the working directory: here one that turns the texts into English.
    QTemporaryDir work;
    QVERIFY(QFile::copy(QStringLiteral(TARNO_BIN_DIR "/../i18n/tarno_en.qm"), work.filePath("lang_zh_cn.qm")));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(work.path()));
    const auto caption = [] { return QCoreApplication::translate("config_Widget", "语言"); };
    {
        LanguageSwitcher languages;
        languages.apply(InterfaceLanguage::SimplifiedChinese);
        QCOMPARE(caption(), QStringLiteral("Language"));
        // Texts the window words for a command line are in the command line's language, never the file's.
        {
            const LanguageSwitcher::Wording wording(InterfaceLanguage::SimplifiedChinese);
            QCOMPARE(caption(), QStringLiteral("语言"));
            const LanguageSwitcher::Wording inner(InterfaceLanguage::TraditionalChinese);
            QCOMPARE(caption(), QStringLiteral("語言"));
        }
        QCOMPARE(caption(), QStringLiteral("Language"));
        languages.apply(InterfaceLanguage::TraditionalChinese);
        QCOMPARE(caption(), QStringLiteral("語言"));
        languages.apply(InterfaceLanguage::SimplifiedChinese);
        QCOMPARE(caption(), QStringLiteral("Language"));
    }
    QCOMPARE(caption(), QStringLiteral("语言"));
    QVERIFY(QDir::setCurrent(previous));
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"

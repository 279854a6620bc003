// The main window's update parts on a fake mouse: the start-up scan, the settings page's offers across a
// factory reset and an unplug, and the firmware dialog driving the transfer.
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "fakedevice.h"
#include "profile/profileformat.h"
#include "ui/languageswitcher.h"
#include "ui/mainwindow.h"
#include "ui/systemtray.h"
#include "update/config_widget.h"
#include "update/firmwareimage.h"
#include "update/firmwareupdate.h"
#include "update/updatedialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QtTest>

#include <cstring>
#include <future>

namespace {

QStringList logLines;
QtMessageHandler previousHandler = nullptr;

void recordMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // The window's lines; its update workers log on their own threads while the tests read the list.
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        logLines << message;
    previousHandler(type, context, message);
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs `action` on the next modal dialog of type T once it shows: file dialogs and their questions run their
// own event loops, inside the click that opens them. Gives up after ten seconds.
template <typename T> void whenShown(const std::function<void(T *)> &action)
{
    auto *poll = new QTimer(QCoreApplication::instance());
    auto *deadline = new QElapsedTimer;
    deadline->start();
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, action] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog && !deadline->hasExpired(10000))
            return;
        poll->stop();
        poll->deleteLater();
        delete deadline;
        if (dialog)
            action(dialog);
    });
    poll->start(10);
}

// Names `path` in the file dialog and accepts it. selectFile() leaves the name field alone while it has the
// keyboard focus (the user may be typing there), which it has once the dialog is active: then accept() would only
// open the folder, and the dialog would wait for a user.
void chooseFile(QFileDialog *dialog, const QString &path)
{
    if (QWidget *focused = QApplication::focusWidget())
        focused->clearFocus();
    dialog->selectFile(path);
    static_cast<QDialog *>(dialog)->accept();
}

// The texts of `dialog` whose colour, blended by its opacity, stands out from the dialog's background by less
// than a third of the lightness scale.
QStringList unreadableTexts(QWidget *dialog)
{
    const int background = dialog->palette().color(QPalette::Window).lightness();
    QStringList unreadable;
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        label->ensurePolished();
        const QColor text = label->palette().color(label->foregroundRole());
        const double shown = text.lightness() * text.alphaF() + background * (1 - text.alphaF());
        if (qAbs(shown - background) < 85)
            unreadable << label->text();
    }
    return unreadable;
}

// Valid for the file, and not what the fake mouse answers.
QByteArray profileFile()
{
    MouseProfile profile;
    for (int i = 0; i < MouseProfile::ButtonCount; ++i)
        profile.buttons[size_t(i)].button = quint8(MouseProfile::FirstButton + i);
    profile.lightingMode = 1;
    profile.lightingSpeed = 3;
    profile.dpiLevels = { 15, 31, 47, 63, 79 };
    profile.levelCount = 4;
    profile.aim = 7;
    profile.reportRateCode = 1;
    profile.firmware = QStringLiteral("1.2.3");
    return ProfileFormat::toJson(profile);
}

const QString Offer = QStringLiteral("发现新版本  ");
const QString Image = QStringLiteral("Z31_USB.bin");

struct Window
{
    // On its own thread, as in the program: the transfer runs there while the window goes on.
    MouseLink link { deviceContext };
    Mouse mouse { link };
    TARNO_Gaming window { mouse };
    config_Widget *page = window.findChild<config_Widget *>();
    UpdateDialog *dialog = page->updateDialog;
    QPushButton *settingsButton = window.findChild<QPushButton *>(QStringLiteral("settingsButton"));

    // As start-up does it with a mouse present, then with the settings page open.
    void startWithMouse()
    {
        QSignalSpy read(&mouse, &Mouse::settingsRead);
        mouse.open();
        QVERIFY(read.wait());
        window.show();
        settingsButton->setChecked(true);
        QVERIFY(page->isVisible());
    }

    // Lets the link end what was asked of it, and what its answers asked in turn (a plug-in opens, then reads).
    void settle()
    {
        for (int round = 0; round < 3; ++round)
            QVERIFY(waitForLink(link));
    }

    // An image of `size` bytes downloaded, recorded and offered as the update service does it.
    void offerImage(int size)
    {
        const QByteArray image(size, 'f');
        QVERIFY(writeFile(Image, image));
        window.firmwareImageRecorded({ Image, QStringLiteral("1.2.4"), image.size(),
                                       QCryptographicHash::hash(image, QCryptographicHash::Sha256), true });
        window.FWUpdateFound(Image);
    }

    // Clicks the firmware row's button and tells whether that opened the dialog.
    bool firmwareClickOpensDialog()
    {
        dialog->hide();
        QTest::mouseClick(page->fwVersionButton, Qt::LeftButton);
        const bool opened = dialog->isVisible();
        dialog->hide();
        return opened;
    }
};

} // namespace

class tst_UpdateWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void scanDeletesOlderAndOffersNewer();
    void settingsPageAtStart();
    void firmwareOfferAcrossResetAndUnplug();
    void offerOfMissingFileChangesNothing();
    void failedStartIsShown();
    void transferShowsProgressAndFinish_data();
    void transferShowsProgressAndFinish();
    void failedPacketIsReported_data();
    void failedPacketIsReported();
    void missingImageSendsNothing();
    void dialogTextsTakeTheirStyle();
    void saveDialogAsksAndStaysReadable_data();
    void saveDialogAsksAndStaysReadable();
    void importResultIsPlainText();
    void unsavedLanguageChoiceIsShown();
    void startAtLoginFollowsTheBox();
    // Last: the quit it tests leaves the thread's event loops ending at once.
    void quitDuringTransferWaitsForItsEnd_data();
    void quitDuringTransferWaitsForItsEnd();

private:
    QTemporaryDir emuDir;
    std::unique_ptr<QTemporaryDir> workDir;
    QString startDir;
};

void tst_UpdateWindow::initTestCase()
{
    previousHandler = qInstallMessageHandler(recordMessage);
    QVERIFY(emuDir.isValid());
    // The window watches device nodes: here one in the test's own folder, which nothing plugs in.
    qputenv("TARNO_DEVICE_NODES", QFile::encodeName(emuDir.filePath(QStringLiteral("z31-hidraw"))));
    // Nothing listens there: the window's update checks fail at once.
    qputenv("TARNO_UPDATE_URL", "https://127.0.0.1:9/download/Z31/");
    startDir = QDir::currentPath();
}

void tst_UpdateWindow::init()
{
    logLines.clear();
    FakeDevice::install();
    FakeDevice::openResult = u"/dev/Fake-Z31";
    FakeDevice::configReply = QByteArray::fromHex("57d001010203");
    std::memset(deviceContext.devicePath, 0, sizeof deviceContext.devicePath);
    workDir = std::make_unique<QTemporaryDir>();
    QVERIFY(workDir->isValid());
    QVERIFY(QDir::setCurrent(workDir->path()));
}

void tst_UpdateWindow::cleanup()
{
    QDir::setCurrent(startDir);
}

void tst_UpdateWindow::scanDeletesOlderAndOffersNewer()
{
    const QStringList deleted { "TARNO_CONNECT_PC_V1.0.8.exe", "TARNO_CONNECT_PC_V1.0.9.exe" };
    const QStringList offered { "TARNO_CONNECT_PC_V1.1.0.exe", "TARNO_CONNECT_PC_V1.200.0.exe",
                                "TARNO_CONNECT_PC_V10.0.0.exe", "TARNO_CONNECT_PC_V12.0.0.exe" };
    const QStringList skipped { "TARNO_CONNECT_PC.exe", "TARNO_CONNECT_PC_V1.0.9.beta.exe",
                                "TARNO_CONNECT_PC_backup.1.2.exe" };
    for (const QString &name : deleted + offered + skipped)
        QVERIFY(writeFile(name, "#!/bin/sh\n"));

    Window w;
    QStringList remaining = QDir::current().entryList(QDir::Files);
    remaining.sort();
    QStringList expected = offered + skipped;
    expected.sort();
    QCOMPARE(remaining, expected);

    QStringList offers;
    for (const QString &line : qAsConst(logLines)) {
        if (line.startsWith(QStringLiteral("APP UpdateFound")))
            offers << line.section(QLatin1Char('"'), 1, 1);
    }
    QCOMPARE(offers, offered);
    QCOMPARE(w.page->appVersionButton->text(), Offer);
    QVERIFY(!w.page->appUpdateMark->isHidden());
}

void tst_UpdateWindow::settingsPageAtStart()
{
    Window w;
    w.window.showNoDeviceLayout();
    w.window.show();
    w.settingsButton->setChecked(true);
    QVERIFY(w.page->isVisible());
    QVERIFY(!w.page->fwVersionButton->isVisible());
    QVERIFY(!w.page->fwUpdateMark->isVisible());
    QVERIFY(!w.page->appUpdateMark->isVisible());
    QVERIFY(w.page->appVersionButton->isVisible());
    QCOMPARE(w.page->appVersionButton->text(), QStringLiteral("Version: 1.0.9"));
    QVERIFY(w.page->languageBox->isVisible());
    QCOMPARE(w.page->languageBox->count(), 3);
    QVERIFY(!w.page->exportButton->isEnabled());
    QVERIFY(!w.page->importButton->isEnabled());
}

void tst_UpdateWindow::firmwareOfferAcrossResetAndUnplug()
{
    QVERIFY(writeFile(Image, QByteArray(100, 'f')));
    Window w;
    w.startWithMouse();
    QCOMPARE(w.page->fwVersionButton->text(), QStringLiteral("Version: 1.2.3"));
    QVERIFY(w.page->fwVersionButton->isVisible());
    QVERIFY(!w.page->fwUpdateMark->isVisible());
    QVERIFY(!w.firmwareClickOpensDialog());
    QVERIFY(w.page->exportButton->isEnabled());
    QVERIFY(w.page->importButton->isEnabled());

    w.window.FWUpdateFound(Image);
    QCOMPARE(w.page->fwVersionButton->text(), Offer);
    QVERIFY(w.page->fwUpdateMark->isVisible());
    QVERIFY(w.firmwareClickOpensDialog());

    // The reset repeats the version query: the mouse reports the same version, so the offer stays as it was.
    w.window.reset_to_factory();
    w.settle();
    QCOMPARE(w.page->fwVersionButton->text(), Offer);
    QVERIFY(w.page->fwUpdateMark->isVisible());
    QVERIFY(w.firmwareClickOpensDialog());

    // Another version read ends the offer, mark and all, until a new check offers the image again.
    FakeDevice::configReply = QByteArray::fromHex("57d001010204");
    w.window.reset_to_factory();
    w.settle();
    QCOMPARE(w.page->fwVersionButton->text(), QStringLiteral("Version: 1.2.4"));
    QVERIFY(!w.page->fwUpdateMark->isVisible());
    QVERIFY(!w.firmwareClickOpensDialog());

    w.window.FWUpdateFound(Image);
    QCOMPARE(w.page->fwVersionButton->text(), Offer);
    QVERIFY(w.firmwareClickOpensDialog());

    w.window.handleDeviceChange({ DeviceChange::Removal, 5, QStringLiteral("/dev/fake-z31") });
    w.settle();
    QVERIFY(!w.page->fwVersionButton->isVisible());
    QVERIFY(!w.page->fwUpdateMark->isVisible());
    QVERIFY(!w.page->exportButton->isEnabled());
    QVERIFY(!w.page->importButton->isEnabled());

    FakeDevice::configReply = QByteArray::fromHex("57d001010204");
    w.window.handleDeviceChange({ DeviceChange::Arrival, 5, QStringLiteral("/dev/Fake-Z31") });
    w.settle();
    QVERIFY(w.page->exportButton->isEnabled());
    QCOMPARE(w.page->fwVersionButton->text(), QStringLiteral("Version: 1.2.4"));
    QVERIFY(w.page->fwVersionButton->isVisible());
    QVERIFY(!w.page->fwUpdateMark->isVisible());
    QVERIFY(!w.firmwareClickOpensDialog());
}

void tst_UpdateWindow::offerOfMissingFileChangesNothing()
{
    Window w;
    w.startWithMouse();
    w.window.FWUpdateFound(Image);
    w.window.UpdateFound(QStringLiteral("TARNO_CONNECT_PC_V1.0.10.exe"));
    QCOMPARE(w.page->fwVersionButton->text(), QStringLiteral("Version: 1.2.3"));
    QVERIFY(!w.page->fwUpdateMark->isVisible());
    QVERIFY(!w.firmwareClickOpensDialog());
    QCOMPARE(w.page->appVersionButton->text(), QStringLiteral("Version: 1.0.9"));
    QVERIFY(!w.page->appUpdateMark->isVisible());
}

void tst_UpdateWindow::failedStartIsShown()
{
    const QString executable = QStringLiteral("TARNO_CONNECT_PC_V1.0.10.exe");
    QVERIFY(writeFile(executable, "not a program"));
    QVERIFY(QFile::setPermissions(executable, QFile::ReadOwner | QFile::WriteOwner));
    Window w;
    w.window.show();
    w.settingsButton->setChecked(true);
    QVERIFY(!w.page->noticeLabel->isVisible());

    QTest::mouseClick(w.page->appVersionButton, Qt::LeftButton);
    QVERIFY(w.page->noticeLabel->isVisible());
    QCOMPARE(w.page->noticeLabel->text(), QStringLiteral("新版本程序无法启动：") + executable);
    QCOMPARE(w.page->appVersionButton->text(), Offer);
}

void tst_UpdateWindow::transferShowsProgressAndFinish_data()
{
    QTest::addColumn<QByteArray>("reply");   // the version query's answer when the mouse is back
    QTest::addColumn<bool>("taken");
    QTest::newRow("new version") << QByteArray::fromHex("57d001010204") << true;
    QTest::newRow("old version") << QByteArray::fromHex("57d001010203") << false;
}

void tst_UpdateWindow::transferShowsProgressAndFinish()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, taken);
    Window w;
    w.startWithMouse();
    w.offerImage(57);
    QCOMPARE(w.dialog->versionText, QStringLiteral("1.2.4"));
    QTest::mouseClick(w.page->fwVersionButton, Qt::LeftButton);
    QVERIFY(w.dialog->isVisible());
    QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("V1.2.4"));
    QVERIFY(w.dialog->startButton->isVisible());
    QVERIFY(!w.dialog->okButton->isVisible());
    QVERIFY(!w.dialog->progressBar->isVisible());

    FakeDevice::calls.clear();
    QTest::mouseClick(w.dialog->startButton, Qt::LeftButton);
    // On a thread of its own; closing the dialog meanwhile is refused, the mouse's re-enumeration waits.
    QVERIFY(w.window.flashing());
    QVERIFY(!w.dialog->close());
    w.window.handleDeviceChange({ DeviceChange::Removal, 5, QStringLiteral("/dev/fake-z31") });
    QVERIFY(w.page->fwVersionButton->isVisible());
    QTRY_VERIFY(!w.window.flashing());
    w.settle();
    QVERIFY(!w.page->fwVersionButton->isVisible());
    QVERIFY(w.dialog->isVisible());
    const QStringList names = FakeDevice::names();
    const int closed = names.indexOf(QStringLiteral("CloseConfigDevice"));
    QCOMPARE(names.first(), QStringLiteral("OpenConfigDevice"));
    QCOMPARE(names.mid(0, closed).count(QStringLiteral("WrtieConfig")), 3 + 2 + 3);
    QCOMPARE(names.mid(0, closed).count(), 1 + 3 + 2 + 3);
    // The plug-out reported meanwhile is acted upon after the transfer.
    QCOMPARE(names.mid(closed + 1), (QStringList { QStringLiteral("CloseDevice"), QStringLiteral("CloseConfigDevice") }));
    QCOMPARE(w.dialog->progressBar->value(), 57);

    // Done only when the mouse, back again, reports the version it was sent.
    QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("正在等待鼠标重新连接..."));
    QVERIFY(!w.dialog->okButton->isVisible());
    FakeDevice::configReply = reply;
    w.window.handleDeviceChange({ DeviceChange::Arrival, 5, QStringLiteral("/dev/Fake-Z31") });
    w.settle();
    QVERIFY(w.dialog->okButton->isVisible());
    QVERIFY(!w.dialog->startButton->isVisible());
    QVERIFY(!w.dialog->progressBar->isVisible());
    if (taken) {
        QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("固件升级已完成"));
        QCOMPARE(w.dialog->messageLabel->text(), QStringLiteral("升级为版本V1.2.4"));
        QVERIFY(logLines.contains(QStringLiteral("firmware check: sent \"1.2.4\" mouse reports \"1.2.4\"")));
    } else {
        QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("固件升级未生效"));
        QVERIFY(logLines.contains(QStringLiteral("firmware check: sent \"1.2.4\" mouse reports \"1.2.3\"")));
    }
    // A language switch words the outcome and the settings page's notice again, and keeps what they say.
    {
        LanguageSwitcher languages;
        languages.apply(InterfaceLanguage::English);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(w.dialog->statusLabel->text(),
                 taken ? QStringLiteral("Firmware updated") : QStringLiteral("Firmware update did not take effect"));
        if (!taken)
            QCOMPARE(w.page->noticeLabel->text(),
                     QStringLiteral("Firmware update did not take effect: the mouse still has V1.2.3, not V1.2.4"));
        languages.apply(InterfaceLanguage::SimplifiedChinese);
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);

    QTest::mouseClick(w.dialog->okButton, Qt::LeftButton);
    QVERIFY(!w.dialog->isVisible());
    // The settings page says in one line that the update did not take, and offers the image again.
    QCOMPARE(w.page->noticeLabel->isVisible(), !taken);
    if (!taken)
        QCOMPARE(w.page->noticeLabel->text(), QStringLiteral("固件升级未生效：鼠标仍为版本V1.2.3，未升级到V1.2.4"));
    QCOMPARE(w.page->fwVersionButton->text(), taken ? QStringLiteral("Version: 1.2.4") : Offer);
    QCOMPARE(w.firmwareClickOpensDialog(), !taken);

    quint32 word = 0x12345678;
    QCOMPARE(w.window.stm32crc32(&word, 1, 0xFFFFFFFF), 0xDF8A8A2Bu);
}

void tst_UpdateWindow::failedPacketIsReported_data()
{
    QTest::addColumn<bool>("retry");
    QTest::newRow("closed") << false;
    QTest::newRow("tried again") << true;
}

void tst_UpdateWindow::failedPacketIsReported()
{
    QFETCH(bool, retry);
    Window w;
    w.startWithMouse();
    w.offerImage(200);
    QTest::mouseClick(w.page->fwVersionButton, Qt::LeftButton);
    QVERIFY(w.dialog->isVisible());

    FakeDevice::calls.clear();
    FakeDevice::configWriteResults = { 0, 0, 0, 0, 1 };
    QTest::mouseClick(w.dialog->startButton, Qt::LeftButton);
    QTRY_VERIFY(!w.window.flashing());
    const QList<QByteArray> firstAttempt = FakeDevice::writes(QStringLiteral("WrtieConfig"));
    QCOMPARE(firstAttempt.size(), 5);
    // Said plainly, with the mouse's own version, and a way on.
    QVERIFY(w.dialog->isVisible());
    QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("固件升级失败"));
    QCOMPARE(w.dialog->messageLabel->text(),
             QStringLiteral("固件未能完整写入鼠标，鼠标仍保留原固件V1.2.3。请确认鼠标已连接，然后重试。"));
    QVERIFY(!w.dialog->progressBar->isVisible());
    QVERIFY(!w.dialog->startButton->isVisible());
    QVERIFY(!w.dialog->okButton->isVisible());
    QVERIFY(w.dialog->retryButton->isVisible());
    QVERIFY(w.dialog->closeButton->isVisible());
    if (!retry) {
        QTest::mouseClick(w.dialog->closeButton, Qt::LeftButton);
        QVERIFY(!w.dialog->isVisible());
        // The settings page still offers the image; opened again, the dialog offers it afresh.
        QTest::mouseClick(w.page->fwVersionButton, Qt::LeftButton);
        QVERIFY(w.dialog->isVisible());
        QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("V1.2.4"));
        QVERIFY(w.dialog->startButton->isVisible());
        QVERIFY(!w.dialog->retryButton->isVisible());
        QVERIFY(!w.dialog->closeButton->isVisible());
        return;
    }
    FakeDevice::calls.clear();
    QTest::mouseClick(w.dialog->retryButton, Qt::LeftButton);
    QVERIFY(w.window.flashing());
    QVERIFY(!w.dialog->retryButton->isVisible());
    QVERIFY(!w.dialog->closeButton->isVisible());
    QTRY_VERIFY(!w.window.flashing());
    // The same verified image from the start, this time to the end.
    const QList<QByteArray> secondAttempt = FakeDevice::writes(QStringLiteral("WrtieConfig"));
    QCOMPARE(secondAttempt.size(), 3 + 4 + 3);
    QCOMPARE(secondAttempt.mid(0, 5), firstAttempt);
    QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("正在等待鼠标重新连接..."));
}

void tst_UpdateWindow::missingImageSendsNothing()
{
    Window w;
    w.startWithMouse();
    w.offerImage(100);
    QVERIFY(QFile::remove(Image));
    QTest::mouseClick(w.page->fwVersionButton, Qt::LeftButton);

    FakeDevice::calls.clear();
    QTest::mouseClick(w.dialog->startButton, Qt::LeftButton);
    QVERIFY(!w.window.flashing());
    QVERIFY(FakeDevice::calls.isEmpty());
    QVERIFY(logLines.contains(QStringLiteral("file not exists")));
    QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("无法升级固件"));
}

void tst_UpdateWindow::dialogTextsTakeTheirStyle()
{
    UpdateDialog dialog;
    const QColor unstyled = QApplication::palette().color(QPalette::WindowText);
    for (QLabel *label : dialog.findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        label->ensurePolished();
        // A style sheet that does not parse leaves the default dark text, unreadable on the dark dialog.
        QVERIFY2(label->palette().color(QPalette::WindowText) != unstyled, qPrintable(label->text()));
    }
    QCOMPARE(dialog.messageLabel->palette().color(QPalette::WindowText), QColor(255, 255, 255, 102));
    QCOMPARE(dialog.messageLabel->font().pixelSize(), 14);
}

void tst_UpdateWindow::saveDialogAsksAndStaysReadable_data()
{
    QTest::addColumn<bool>("dark");
    QTest::newRow("light desktop") << false;
    QTest::newRow("dark desktop") << true;
}

void tst_UpdateWindow::saveDialogAsksAndStaysReadable()
{
    QFETCH(bool, dark);
    const QPalette desktop = QApplication::palette();
    const auto restorePalette = qScopeGuard([desktop] { QApplication::setPalette(desktop); });
    if (dark)
        QApplication::setPalette(QPalette(QColor(53, 53, 53), QColor(53, 53, 53)));
    const QString existing = QDir::current().filePath(QStringLiteral("mine.z31.json"));
    QVERIFY(writeFile(existing, "keep"));
    Window w;
    w.startWithMouse();

    QStringList dialogUnreadable { QStringLiteral("no dialog") };
    QStringList questionUnreadable { QStringLiteral("no question") };
    QString question;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        dialogUnreadable = unreadableTexts(dialog);
        whenShown<QMessageBox>([&](QMessageBox *box) {
            question = box->text();
            questionUnreadable = unreadableTexts(box);
            box->button(QMessageBox::No)->click();
        });
        // The name without its suffix: the dialog adds it, and then finds the file.
        chooseFile(dialog, QDir::current().filePath(QStringLiteral("mine")));
        dialog->reject();
    });
    QTest::mouseClick(w.page->exportButton, Qt::LeftButton);
    QVERIFY2(question.contains(QStringLiteral("mine.z31.json")), qPrintable(question));
    QCOMPARE(readAll(existing), QByteArray("keep"));
    QVERIFY(w.page->profileStatusLabel->text().isEmpty());
    QVERIFY2(dialogUnreadable.isEmpty(), qPrintable(dialogUnreadable.join(QStringLiteral(" | "))));
    QVERIFY2(questionUnreadable.isEmpty(), qPrintable(questionUnreadable.join(QStringLiteral(" | "))));
}

void tst_UpdateWindow::importResultIsPlainText()
{
    const QByteArray valid = profileFile();
    QString error;
    QVERIFY2(ProfileFormat::fromJson(valid, &error), qPrintable(error));
    QVERIFY(writeFile(QStringLiteral("valid.z31.json"), valid));
    QByteArray marked = valid;
    marked.replace(0, 1, "{ \"<b>bold</b>\": 1,");
    QVERIFY(writeFile(QStringLiteral("marked.z31.json"), marked));
    Window w;
    w.startWithMouse();
    auto import = [&w](const QString &name) {
        whenShown<QFileDialog>([name](QFileDialog *dialog) { chooseFile(dialog, QDir::current().filePath(name)); });
        QTest::mouseClick(w.page->importButton, Qt::LeftButton);
    };
    QLabel *status = w.page->profileStatusLabel;

    FakeDevice::calls.clear();
    import(QStringLiteral("marked.z31.json"));
    QVERIFY2(status->text().contains(QStringLiteral("“<b>bold</b>”")), qPrintable(status->text()));
    QCOMPARE(status->textFormat(), Qt::PlainText);
    QVERIFY2(status->toolTip().contains(QStringLiteral("&lt;b&gt;")), qPrintable(status->toolTip()));
    QVERIFY(FakeDevice::calls.isEmpty());

    // The fake mouse answers every read alike: the file does not read back, and what was read first does.
    import(QStringLiteral("valid.z31.json"));
    // The import is the link's job: the page says it works on it until the mouse has answered.
    QVERIFY(!w.page->importButton->isEnabled());
    w.settle();
    QVERIFY(w.page->importButton->isEnabled());
    QVERIFY2(status->toolTip().contains(QStringLiteral("鼠标已恢复为导入前的设置")), qPrintable(status->toolTip()));
    QVERIFY(status->toolTip().contains(QStringLiteral("导入失败")));
}

void tst_UpdateWindow::unsavedLanguageChoiceIsShown()
{
    QTemporaryDir settings;
    QVERIFY(settings.isValid());
    // A folder that cannot be made, even by root: a file stands in its way.
    const QString blocked = settings.filePath(QStringLiteral("file"));
    QVERIFY(writeFile(blocked, ""));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, blocked);
    const auto unblock
        = qScopeGuard([&settings] { QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path()); });
    LanguageSwitcher languages;
    languages.apply(InterfaceLanguage::SimplifiedChinese);
    Window w;
    w.window.useLanguages(&languages);
    w.window.show();
    w.settingsButton->setChecked(true);
    QLabel *status = w.page->languageStatusLabel;
    QVERIFY(status->text().isEmpty());

    auto choose = [&w](InterfaceLanguage::Language language) {
        w.page->languageBox->setCurrentIndex(language);
        emit w.page->languageBox->activated(language);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    };
    choose(InterfaceLanguage::English);
    QCOMPARE(languages.current(), InterfaceLanguage::English);
    QVERIFY(status->isVisible());
    QCOMPARE(status->textFormat(), Qt::PlainText);
    QVERIFY2(status->text().startsWith(QStringLiteral("Language not saved")), qPrintable(status->text()));
    QVERIFY2(status->toolTip().contains(QDir::toNativeSeparators(blocked)), qPrintable(status->toolTip()));

    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    choose(InterfaceLanguage::SimplifiedChinese);
    QCOMPARE(status->text(), QString());
}

void tst_UpdateWindow::startAtLoginFollowsTheBox()
{
    QTemporaryDir config;
    QVERIFY(config.isValid());
    const QByteArray previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const auto restore = qScopeGuard([&previous] { qputenv("XDG_CONFIG_HOME", previous); });
    const QString entry = config.filePath(QStringLiteral("autostart/tarno-connect.desktop"));
    Window w;
    QCheckBox *box = w.page->autostartBox;
    QVERIFY(!box->isChecked());

    box->click();
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const QString program = QCoreApplication::applicationFilePath();
    QVERIFY2(text.contains(QStringLiteral("\nExec=\"%1\" --hidden\n").arg(program)), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("\nPath=%1\n").arg(QFileInfo(program).absolutePath())), qPrintable(text));
    box->click();
    QVERIFY(!QFileInfo::exists(entry));
    QVERIFY(w.page->autostartStatusLabel->text().isEmpty());

    // A file where the folder should be: the box stays off and says where it could not write.
    QVERIFY(QDir(config.filePath(QStringLiteral("autostart"))).removeRecursively());
    QVERIFY(writeFile(config.filePath(QStringLiteral("autostart")), ""));
    box->click();
    QVERIFY(!box->isChecked());
    QVERIFY2(w.page->autostartStatusLabel->toolTip().contains(entry), qPrintable(w.page->autostartStatusLabel->toolTip()));
}

void tst_UpdateWindow::quitDuringTransferWaitsForItsEnd_data()
{
    QTest::addColumn<bool>("begun");
    // First: a quit that is not held does not end the test's event loops.
    QTest::newRow("transfer waiting behind a call") << false;
    QTest::newRow("transfer begun") << true;
}

void tst_UpdateWindow::quitDuringTransferWaitsForItsEnd()
{
    QFETCH(bool, begun);
    Window w;
    w.startWithMouse();
    w.offerImage(2000);
    QTest::mouseClick(w.page->fwVersionButton, Qt::LeftButton);
    FakeDevice::calls.clear();
    // A call under way: before the transfer, or, once it has begun, after it.
    std::promise<void> entered;
    std::promise<void> release;
    const MouseLink::Job call = [&entered, held = release.get_future().share()](DeviceContext &) {
        entered.set_value();
        held.wait();
        return QVariant(true);
    };
    if (!begun)
        w.link.request(call);
    QTest::mouseClick(w.dialog->startButton, Qt::LeftButton);
    if (begun)
        w.link.request(call);
    entered.get_future().wait();
    QVERIFY(w.window.flashing());

    if (!begun) {
        // Nothing of it has reached the mouse: the quit is not held, and the transfer says it did not happen.
        QVERIFY(!w.window.findChild<FirmwareUpdate *>()->holdQuit());
        release.set_value();
        w.settle();
        QVERIFY(!w.window.flashing());
        QVERIFY(!FakeDevice::names().contains(QStringLiteral("WrtieConfig")));
        QCOMPARE(w.dialog->statusLabel->text(), QStringLiteral("固件升级失败"));
        return;
    }
    // The tray's quit, before the transfer's end can be handled: held, said in the dialog, done at the end.
    w.window.findChild<SystemTray *>()->exitAction()->trigger();
    QVERIFY(logLines.contains(QStringLiteral("quit held until the firmware transfer ends")));
    QCOMPARE(w.dialog->messageLabel->text(), QStringLiteral("正在升级固件，程序将在升级完成后退出。"));
    QVERIFY(w.window.flashing());
    release.set_value();
    QEventLoop loop;
    QTimer::singleShot(10000, &loop, [&loop] { loop.exit(1); });
    QCOMPARE(loop.exec(), 0);
    QVERIFY(!w.window.flashing());
    QCOMPARE(FakeDevice::names().count(QStringLiteral("WrtieConfig")), 3 + 36 + 3);
}

QTEST_MAIN(tst_UpdateWindow)
#include "tst_updatewindow.moc"

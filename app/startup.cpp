#include "app/startup.h"

#include "app/commandline.h"
#include "app/qsingleapplication.h"
#include "device/devicecontext.h"
#include "device/deviceprotocol.h"
#include "platform/devicelibrary.h"
#include "ui/mainwindow.h"

#include <QDebug>
#include <QFont>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTranslator>

#include <memory>

namespace {

void showLoadFailure(int errorCode, const QString &text)
{
    QMessageBox::information(nullptr, QString::number(errorCode), text, QMessageBox::Ok, QMessageBox::NoButton);
}

// Qt cannot create a window while there is no screen (no display attached, a remote session being
// reconnected): the program goes on in the tray and shows the window with the first screen that appears.
void showMainWindow(TARNO_Gaming &window)
{
    if (QGuiApplication::primaryScreen()) {
        window.show();
        return;
    }
    qDebug() << "no screen: the window waits for one";
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(qApp, &QGuiApplication::screenAdded, &window, [&window, connection] {
        QObject::disconnect(*connection);
        window.centreOnPrimaryScreen();
        window.show();
    });
}

} // namespace

int runTarno(int argc, char *argv[])
{
    if (CommandLine::wanted(argc, argv))
        return CommandLine::run(argc, argv);
    QSingleApplication app(argc, argv);
    if (app.isRunning())
        return 0;

    QFont font;
    font.setFamily(QStringLiteral("微软雅黑"));
    QApplication::setFont(font);

    QTranslator translator;
    if (!translator.load(QStringLiteral("lang_zh_cn")))
        qDebug() << "no translation loaded";
    QApplication::installTranslator(&translator);

    deviceContext.library.setFileName(deviceLibraryFileName());
    if (!deviceContext.library.load()) {
        const int code = lastLibraryLoadError();
        qDebug() << deviceContext.library.errorString();
        showLoadFailure(code, QStringLiteral("Load TARNO.dll fail!"));
        return 0;
    }
    // A library without one of the entry points cannot be driven safely: say which one and stop.
    const QString missing = resolveEntryPoints(deviceContext);
    if (!missing.isEmpty()) {
        qDebug() << "entry point not found:" << missing;
        showLoadFailure(0, QStringLiteral("Load TARNO.dll fail!\n%1 not found").arg(missing));
        return 0;
    }

    TARNO_Gaming window;
    app.setMainWindow(&window);
    window.selectLanguageEntry(1);

    if (openDevice()) {
        deviceContext.deviceConnected = 1;
        window.showDeviceLayout();
        window.readDeviceSettings();
        window.refreshPages();
    } else {
        window.showNoDeviceLayout();
    }
    showMainWindow(window);

    const int result = app.exec();
    app.setMainWindow(nullptr);
    return result;
}

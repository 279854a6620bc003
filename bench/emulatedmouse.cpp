#include "emulatedmouse.h"

#include "device/devicecontext.h"
#include "device/deviceprotocol.h"

#include <QProcess>

EmulatedMouse::EmulatedMouse()
{
    if (!folder.isValid()) {
        problem = QStringLiteral("no temporary folder");
        return;
    }
    qputenv("TARNO_EMU_DIR", folder.path().toLocal8Bit());
    if (!emu({ QStringLiteral("plug") }))
        return;
    deviceContext.library.setFileName(QStringLiteral(TARNO_BIN_DIR "/libtarno.so"));
    if (!deviceContext.library.load()) {
        problem = deviceContext.library.errorString();
        return;
    }
    const QString missing = resolveEntryPoints(deviceContext);
    if (!missing.isEmpty()) {
        problem = QStringLiteral("entry point not found: ") + missing;
        return;
    }
    if (!openDevice())
        problem = QStringLiteral("the emulated mouse did not open");
}

bool EmulatedMouse::emu(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral(TARNO_BIN_DIR "/tarno-emu"), arguments);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        problem = QStringLiteral("tarno-emu %1 failed: %2").arg(arguments.join(QLatin1Char(' ')),
                                                                QString::fromLocal8Bit(tool.readAllStandardError()));
        return false;
    }
    return true;
}

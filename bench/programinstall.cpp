#include "programinstall.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

ProgramInstall::ProgramInstall(const QString &binDir, const QString &tag, const QString &library)
    : bin(binDir)
{
    for (const char *folder : { "program", "emu", "work", "runtime" })
        QDir(root.path()).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(root.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    programPath = root.filePath(
        QStringLiteral("program/TARNO_CONNECT_PC_%1%2").arg(tag).arg(QCoreApplication::applicationPid()));
    const QString built = bin + QStringLiteral("/TARNO_CONNECT_PC");
    if (!QFile::copy(built, programPath) || !QFile::setPermissions(programPath, QFile::permissions(built))
        || !QFile::copy(bin + QLatin1Char('/') + library, root.filePath(QStringLiteral("program/libtarno.so"))))
        failure = QStringLiteral("cannot copy the program");
    else if (emu({ QStringLiteral("plug") }) != 0)
        failure = QStringLiteral("tarno-emu plug failed");
}

int ProgramInstall::emu(const QStringList &arguments) const
{
    QProcess tool;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TARNO_EMU_DIR"), root.filePath(QStringLiteral("emu")));
    tool.setProcessEnvironment(environment);
    tool.start(bin + QStringLiteral("/tarno-emu"), arguments);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit)
        return -1;
    return tool.exitCode();
}

QMap<QString, QString> ProgramInstall::environment() const
{
    return {
        { QStringLiteral("TARNO_EMU_DIR"), root.filePath(QStringLiteral("emu")) },
        { QStringLiteral("TARNO_DEVICE_NODES"), root.filePath(QStringLiteral("emu/z31-hidraw")) },
        { QStringLiteral("XDG_RUNTIME_DIR"), root.filePath(QStringLiteral("runtime")) },
        { QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb") },
    };
}

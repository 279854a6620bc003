// A user's install for the whole-program benchmarks: the program's own copy beside the emulated mouse's library,
// a plugged-in mouse, a working folder and a private runtime folder, all in a temporary folder.
#ifndef PROGRAMINSTALL_H
#define PROGRAMINSTALL_H

#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class ProgramInstall
{
public:
    // `binDir`: the build's folder of executables. `tag` goes into the program's file name, which is also made
    // unique to this process, so that no other copy running on this machine counts as its first instance.
    // `library`: the build of the device library the program gets as its own.
    ProgramInstall(const QString &binDir, const QString &tag,
                   const QString &library = QStringLiteral("libtarno.so"));

    QString program() const { return programPath; }
    QString workDir() const { return root.filePath(QStringLiteral("work")); }
    QString filePath(const QString &name) const { return root.filePath(name); }
    // Empty when the install is usable.
    QString problem() const { return failure; }

    // Runs tarno-emu on this install's mouse; its exit code, or -1.
    int emu(const QStringList &arguments) const;
    // What the program is started with (changes to this process's environment): the mouse's folder, the runtime
    // folder and the X platform.
    QMap<QString, QString> environment() const;

private:
    QTemporaryDir root;
    QString bin;
    QString programPath;
    QString failure;
};

#endif

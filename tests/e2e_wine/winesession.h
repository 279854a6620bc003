// The Windows program, installed by its installer into a fresh Wine prefix, on the emulated mouse, in the current
// X server: started and driven as a user would, and read through the mouse's capture and memory.
#ifndef WINESESSION_H
#define WINESESSION_H

#include <QImage>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class WineSession
{
public:
    WineSession();
    ~WineSession();
    WineSession(const WineSession &) = delete;
    WineSession &operator=(const WineSession &) = delete;

    // Makes the prefix (wineboot) and runs `setup` in it with these options; false, with what went wrong in
    // `error`, when the installed program is not where the installer puts it.
    bool install(const QString &setup, const QStringList &options, QString *error);
    // The install folder, as this machine sees it.
    QString installDir() const;
    // The Windows path of a file of this machine (through Wine's Z: drive).
    static QString windowsPath(const QString &path);
    // The per-user data folder (%APPDATA%), as this machine sees it.
    QString appDataDir() const;
    QString emuDir() const;
    QString workDir() const;
    QProcessEnvironment &environment();
    bool setLanguage(const QString &code);

    // Runs a Windows program (by Windows path, or a command of Wine's) to its end; returns its exit code, or -1.
    // `output`: what it printed, both streams, read in code page 936.
    int run(const QStringList &arguments, QString *output = nullptr, int timeoutMs = 60000,
            const QString &workDir = QString());
    // The emulated mouse's tool, the Windows one: plugging and unplugging broadcast the device change.
    int emu(const QStringList &arguments);
    // Its memory, read by this machine's tool from the same folder.
    QMap<QString, QString> dump() const;
    QString capturePath() const;
    QStringList capture() const;
    void clearCapture() const;

    // Starts the installed program from its folder (as its shortcut does) and waits for its main window.
    bool start(const QStringList &arguments = {}, int timeoutMs = 60000);
    QProcess &process();
    QString log();
    unsigned long windowId() const { return window; }
    // Whether the main window is mapped now.
    bool windowShown();
    void click(int x, int y);
    QImage grab();
    QString saveScreenshot(const QString &folder, const QString &name);
    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 20000);
    bool waitForCaptureLine(const QString &prefix, int timeoutMs = 20000);
    // Ends every program of the prefix.
    void stopAll();

private:
    QString findMainWindow();

    QTemporaryDir root;
    QString prefix;
    QString installed;
    QProcessEnvironment env;
    QProcess program;
    QByteArray stderrText;
    unsigned long window = 0;
};

#endif

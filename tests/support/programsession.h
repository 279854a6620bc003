// Runs the real program on the emulated mouse in the current X server, and drives it as a user would.
#ifndef PROGRAMSESSION_H
#define PROGRAMSESSION_H

#include <QImage>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>

class ProgramSession
{
public:
    // Fresh folders for the mouse and the working directory; the mouse is plugged in (unless `plugged` is false)
    // and its capture is on from the start.
    explicit ProgramSession(bool plugged = true);
    ~ProgramSession();

    ProgramSession(const ProgramSession &) = delete;
    ProgramSession &operator=(const ProgramSession &) = delete;

    QString emuDir() const;
    QString workDir() const;
    // Folder of the program's own copy (its file name is unique, so parallel tests do not meet as one instance).
    QString programDir() const;
    QString programPath() const;
    // The environment the program is started with (TARNO_EMU_DIR and TARNO_DEVICE_NODES on this session's
    // mouse, updates pointed at a dead local port, no session bus, sanitizer reports into this session's folder).
    // Every process started with it, command lines included, is watched for sanitizer reports.
    QProcessEnvironment &environment();
    // The interface language the program finds saved: "zh_CN", "zh_TW" or "en".
    bool setLanguage(const QString &code);

    // Runs tarno-emu with these arguments on this session's mouse; returns its exit code.
    int emu(const QStringList &arguments, QString *output = nullptr) const;
    QMap<QString, QString> dump() const;
    QStringList capture() const;
    void clearCapture() const;

    // Starts the program and waits until its main window is mapped (its pages appear after the 500 ms fade-in:
    // wait for what the test needs to see). False on failure.
    bool start(const QStringList &arguments = {}, int timeoutMs = 30000);
    // Starts the program without waiting for a window (one started hidden shows none); then waits for it.
    bool launch(const QStringList &arguments = {});
    bool waitForWindow(int timeoutMs = 30000);
    QProcess &process();
    QString log();
    // What sanitizers reported in the processes started with environment(), and in the program's standard
    // error; empty when nothing. The destructor fails the running test function when this is not empty.
    QString sanitizerReports();
    // Waits (with a deadline) until the program has quit; returns its exit code, or -1.
    int waitForExit(int timeoutMs = 10000);

    unsigned long windowId() const;
    // Device pixels per window pixel: the screen's scale factor, from the mapped window's size.
    double scaleFactor() const { return scale; }
    // Window-relative input through the X server, as a user's mouse and keyboard would give it; positions in the
    // window's own (logical) pixels.
    void click(int x, int y, int button = 1);
    void press(int x, int y);
    void moveTo(int x, int y);
    void release(int button = 1);
    void key(const QString &keys);
    void keyDown(const QString &key);
    void keyUp(const QString &key);
    void typeText(const QString &text);
    void focus();
    // Whether the program shows a window of this size (in window pixels), such as a dialog of its own.
    bool showsWindow(QSize size);
    // Whether a client, such as the program recording keys, holds the keyboard.
    static bool keyboardGrabbed();
    QImage grab();
    // Saves a screenshot for people reading a failed run; returns its path.
    QString saveScreenshot(const QString &name);

    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 10000);
    bool waitForLog(const QString &phrase, int timeoutMs = 10000);
    // Waits until the window's picture has not changed for `stillMs` (animations have ended).
    bool waitUntilStill(int stillMs = 400, int timeoutMs = 10000);
    bool waitForCaptureLine(const QString &prefix, int timeoutMs = 10000);

    // Checks that `lines` begin with opening the mouse at `node` and reading its settings (lighting, DPI, report
    // rate, firmware version) as the program does at start-up and plug-in; returns the first mismatch, or "".
    static QString settingsReadMismatch(const QStringList &lines, const QString &node);

    // How many pixels of `area` in `image` match.
    static int countPixels(const QImage &image, const QRect &area, const std::function<bool(QColor)> &matches);

    // Runs xdotool with these arguments; returns its standard output.
    static QString xdotool(const QStringList &arguments);

private:
    QString findMainWindow();
    QString device(int logical) const;

    QTemporaryDir root;
    const QString programName;
    QProcess program;
    QProcessEnvironment env;
    QByteArray stderrText;
    unsigned long window = 0;
    double scale = 1.0;
};

#endif

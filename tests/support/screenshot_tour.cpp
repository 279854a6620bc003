// Starts the tool on the emulated mouse in the current X server and saves a screenshot of each page,
// so that a person on a machine without a display can still see what the tool looks like.
// Arguments: the folder, and the interface language ("zh_CN", "zh_TW" or "en"; simplified Chinese by default).
#include "programsession.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <cstdio>

namespace {

QRect windowArea(unsigned long window)
{
    const QString text = ProgramSession::xdotool({ "getwindowgeometry", QString::number(window) });
    const QRegularExpressionMatch at = QRegularExpression("Position: (\\d+),(\\d+)").match(text);
    const QRegularExpressionMatch size = QRegularExpression("Geometry: (\\d+)x(\\d+)").match(text);
    if (!at.hasMatch() || !size.hasMatch())
        return QRect();
    return QRect(at.captured(1).toInt(), at.captured(2).toInt(), size.captured(1).toInt(), size.captured(2).toInt());
}

bool save(ProgramSession &session, const QString &folder, const QString &name)
{
    // Let animations (fade-in, page slides) finish before the picture is taken.
    QTest::qWait(1500);
    const QRect area = windowArea(session.windowId());
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(),
                                                                     area.height());
    const QString path = QDir(folder).filePath(name + ".png");
    const bool saved = shot.save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    if (!QDir().mkpath(folder))
        return 1;

    ProgramSession session;
    if (argc > 2 && !session.setLanguage(QString::fromLocal8Bit(argv[2])))
        return 1;
    if (!session.start()) {
        std::fprintf(stderr, "the tool did not start:\n%s\n", qPrintable(session.log()));
        return 1;
    }
    bool ok = save(session, folder, "1-buttons");
    session.click(386 + 11, 208 + 11);
    ok = save(session, folder, "2-button-dialog") && ok;
    // A click outside the pop-up only closes it.
    session.click(1000, 560);
    QTest::qWait(800);
    session.click(600, 675);
    ok = save(session, folder, "3-lighting") && ok;
    session.click(660, 675);
    ok = save(session, folder, "4-pointer") && ok;
    session.click(1085, 38);
    ok = save(session, folder, "5-settings") && ok;
    session.click(1085, 38);
    session.emu({ "unplug" });
    ok = save(session, folder, "6-no-device") && ok;
    return ok ? 0 : 1;
}

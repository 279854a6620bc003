// A command line's export or import, handed to the running window over the single-instance socket: the command
// line sends one request line and the window answers with one reply line, each a UTF-8 JSON object. The command
// line keeps the file handling; the window runs the work on its mouse link, as its settings page does.
#ifndef HANDOVER_H
#define HANDOVER_H

#include "profile/profiledevice.h"
#include "profile/profilefile.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Mouse;

namespace HandOver {

// Longer lines are refused: a checked file is at most 1 MiB, a third more in base64.
constexpr qint64 MaxLineSize = 4 * 1024 * 1024;

struct Request
{
    enum Kind { Export, Import };
    Kind kind = Export;
    QByteArray file;   // Import: the checked file
};

// The command line's exit code and, unless it is 0, its result line; an export's file.
struct Reply
{
    int code = 1;
    QString message;
    QByteArray file;
};

QByteArray encode(const Request &request);
QByteArray encode(const Reply &reply);
// Nothing when the line is not one the other side writes.
std::optional<Request> decodeRequest(const QByteArray &line);
std::optional<Reply> decodeReply(const QByteArray &line);

// The outcome of the link's jobs as the command line reports it, wherever they ran.
Reply exportReply(const ProfileExport &read);
Reply importReply(const ProfileWriteResult &result);
QString noMouseText();

}   // namespace HandOver

// The window's side: runs a request on the mouse link and answers it.
class WindowHandOver : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(const QByteArray &line)>;

    explicit WindowHandOver(Mouse &mouse, QObject *parent = nullptr);

    void handle(const QByteArray &line, const Answer &answer);

signals:
    // An import wrote the mouse: the pages must show what it holds now.
    void imported();

private:
    void runExport(const Answer &answer);
    void runImport(const MouseProfile &profile, const Answer &answer);

    Mouse &mouse;
};

#endif

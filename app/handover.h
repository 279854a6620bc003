// A command line's export or import, handed to the running window over the mouse's hand-over endpoint: the
// window greets, the command line sends one request line and the window answers with one reply line, each a
// UTF-8 JSON object. The command line keeps the file handling and names its language; the window runs the work
// on its mouse link, as its settings page does, and words the result in that language.
#ifndef HANDOVER_H
#define HANDOVER_H

#include "profile/profiledevice.h"
#include "profile/profilefile.h"
#include "profile/profileformat.h"
#include "ui/language.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class Mouse;
class QLocalSocket;

namespace HandOver {

// A request is at most what a configuration file may hold, and its frame: the command line sends the file as the
// program writes it (far below the limit), in base64.
constexpr qint64 MaxLineSize = ProfileFormat::MaxFileSize + 4096;
// How long a command line waits for the window's answer once it has sent its request.
constexpr int AnswerWaitMs = 30000;

struct Request
{
    enum Kind { Export, Import };
    Kind kind = Export;
    QByteArray file;   // Import: the checked file
    InterfaceLanguage::Language language = InterfaceLanguage::SimplifiedChinese;   // the command line's
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

// One request's way through the window, moved on by the link's thread (the job) and the window's (the command line
// leaving, the window quitting): waiting for the link, reading the mouse, writing it, finished with the reply; or
// dropped, when the command line left before anything was written.
class Progress
{
public:
    enum class Stage { Waiting, Reading, Writing, Finished, Dropped };

    // Waiting to Reading, when the job starts; false once dropped.
    bool begin();
    // Reading to Writing, when an import is about to write the mouse; false once dropped.
    bool startWriting();
    // The reply, kept until it is sent; a dropped request stays dropped.
    void finish(const QByteArray &reply);
    // Waiting or Reading to Dropped; false once writing has begun or the job has finished.
    bool drop();
    Stage stage() const;
    QByteArray reply() const;

private:
    mutable std::mutex mutex;
    Stage current = Stage::Waiting;
    QByteArray finishedReply;
};

}   // namespace HandOver

// The window's side: runs each request on the mouse link and answers it.
class WindowHandOver : public QObject
{
    Q_OBJECT

public:
    explicit WindowHandOver(Mouse &mouse, QObject *parent = nullptr);

    // `connection` takes the answer; when its command line leaves before the mouse is written, the request is
    // dropped.
    void handle(const QByteArray &line, QLocalSocket *connection);
    // The window quits: a finished request is answered, one whose job has not begun writing is told that the window
    // quits; one under way ends as it may (its command line hears nothing and says so).
    void answerBeforeQuit();

signals:
    // An import wrote the mouse: the pages must show what it holds now.
    void imported();

private:
    struct Pending
    {
        std::shared_ptr<HandOver::Progress> progress;
        QPointer<QLocalSocket> connection;
        InterfaceLanguage::Language language = InterfaceLanguage::SimplifiedChinese;
        bool importing = false;
        bool answered = false;
    };
    using PendingPtr = std::shared_ptr<Pending>;

    void run(const PendingPtr &pending, const std::optional<MouseProfile> &profile);
    void answer(const PendingPtr &pending, const QByteArray &reply);
    // Words the message as the command line would.
    void answerFailure(const PendingPtr &pending, int code, const std::function<QString()> &message);
    // The link is done with the request's job: the reply the job finished, or what stands for it.
    void jobEnded(const PendingPtr &pending);

    Mouse &mouse;
    QList<PendingPtr> pendingRequests;
};

#endif

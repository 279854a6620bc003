#include "platform/locallistener.h"

#include "platform/localuser.h"

#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Connections taken per wake-up, so that a flood of them leaves the event loop turning.
constexpr int AcceptBatch = 64;
// How long accepting rests when nothing at all can be taken (no descriptor left, not even the spare one).
constexpr int RestMs = 100;

int openSpare()
{
    return ::open("/dev/null", O_RDONLY | O_CLOEXEC);
}

}   // namespace

struct LocalListener::Private
{
    int listening = -1;
    // Held back for when the file limit is reached: closed for a moment, it lets a connection be taken and closed.
    int spare = -1;
    QByteArray path;
    dev_t device = 0;
    ino_t inode = 0;
    QSocketNotifier *notifier = nullptr;
    QString error;
};

LocalListener::LocalListener(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>())
{ }

LocalListener::~LocalListener()
{
    close();
}

bool LocalListener::listen(const QString &name)
{
    close();
    d->path = QFile::encodeName(name);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (size_t(d->path.size()) >= sizeof address.sun_path) {
        d->error = QStringLiteral("name too long: %1").arg(name);
        return false;
    }
    std::memcpy(address.sun_path, d->path.constData(), size_t(d->path.size()) + 1);
    const int listening = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const auto fail = [this, listening](const char *step) {
        d->error = QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
        if (listening >= 0)
            ::close(listening);
        return false;
    };
    if (listening < 0)
        return fail("socket");
    const auto bindTo = [&] { return ::bind(listening, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0; };
    if (!bindTo()) {
        // Only a socket is replaced, never another kind of file that happens to have the name.
        struct stat left = {};
        if (errno != EADDRINUSE || ::lstat(d->path.constData(), &left) != 0 || !S_ISSOCK(left.st_mode)
            || ::unlink(d->path.constData()) != 0 || !bindTo())
            return fail("bind");
    }
    struct stat own = {};
    if (::chmod(d->path.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(listening, SOMAXCONN) != 0
        || ::stat(d->path.constData(), &own) != 0) {
        ::unlink(d->path.constData());
        return fail("listen");
    }
    d->listening = listening;
    d->device = own.st_dev;
    d->inode = own.st_ino;
    d->spare = openSpare();
    d->notifier = new QSocketNotifier(listening, QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] {
        for (int i = 0; i < AcceptBatch && d->listening >= 0; ++i) {
            const int connection = ::accept4(d->listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (connection < 0) {
                if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO)
                    continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    return;
                if ((errno == EMFILE || errno == ENFILE) && d->spare >= 0) {
                    // No descriptor left: the connection is taken with the spare one and closed, so that its
                    // client hears at once rather than waiting in the queue.
                    ::close(d->spare);
                    const int refused = ::accept4(d->listening, nullptr, nullptr, SOCK_CLOEXEC);
                    if (refused >= 0)
                        ::close(refused);
                    d->spare = openSpare();
                    continue;
                }
                // Nothing can be taken now; the connection stays queued until accepting resumes.
                d->notifier->setEnabled(false);
                QTimer::singleShot(RestMs, this, [this] {
                    if (d->notifier)
                        d->notifier->setEnabled(true);
                });
                return;
            }
            if (!LocalUser::isSameUser(connection)) {
                ::close(connection);
                continue;
            }
            auto *socket = new QLocalSocket(this);
            if (!socket->setSocketDescriptor(connection, QLocalSocket::ConnectedState, QIODevice::ReadWrite)) {
                ::close(connection);
                delete socket;
                continue;
            }
            emit connected(socket);
        }
    });
    return true;
}

void LocalListener::close()
{
    // Possibly from a receiver of connected(), within the notifier's own signal.
    if (d->notifier) {
        d->notifier->setEnabled(false);
        d->notifier->deleteLater();
    }
    d->notifier = nullptr;
    if (d->listening < 0)
        return;
    ::close(d->listening);
    d->listening = -1;
    if (d->spare >= 0)
        ::close(d->spare);
    d->spare = -1;
    // A later start may have taken the name over (this process stopped answering): its endpoint stays.
    struct stat now = {};
    if (::stat(d->path.constData(), &now) == 0 && now.st_dev == d->device && now.st_ino == d->inode)
        ::unlink(d->path.constData());
}

bool LocalListener::isListening() const
{
    return d->listening >= 0;
}

QString LocalListener::errorString() const
{
    return d->error;
}

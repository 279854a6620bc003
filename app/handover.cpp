#include "app/handover.h"

#include "app/commandline.h"
#include "app/endpoint.h"
#include "device/mouse.h"
#include "ui/languageswitcher.h"

#include <QDebug>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

namespace {

const QString CommandKey = QStringLiteral("command");
const QString FileKey = QStringLiteral("file");
const QString CodeKey = QStringLiteral("code");
const QString MessageKey = QStringLiteral("message");
const QString LanguageKey = QStringLiteral("language");
const QString ExportCommand = QStringLiteral("export");
const QString ImportCommand = QStringLiteral("import");

// Compact JSON escapes line breaks inside strings: the object is one line.
QByteArray toLine(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> fromLine(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line.trimmed(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

// Base64 keeps the file's bytes as they are, whatever they hold.
std::optional<QByteArray> fileOf(const QJsonObject &object)
{
    const QJsonValue value = object.value(FileKey);
    if (value.isUndefined())
        return QByteArray();
    if (!value.isString())
        return std::nullopt;
    const QByteArray::FromBase64Result decoded
        = QByteArray::fromBase64Encoding(value.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return decoded.decoded;
}

}   // namespace

namespace HandOver {

QByteArray encode(const Request &request)
{
    QJsonObject object { { CommandKey, request.kind == Request::Export ? ExportCommand : ImportCommand },
                         { LanguageKey, InterfaceLanguage::code(request.language) } };
    if (request.kind == Request::Import)
        object.insert(FileKey, QString::fromLatin1(request.file.toBase64()));
    return toLine(object);
}

QByteArray encode(const Reply &reply)
{
    QJsonObject object { { CodeKey, reply.code }, { MessageKey, reply.message } };
    if (!reply.file.isEmpty())
        object.insert(FileKey, QString::fromLatin1(reply.file.toBase64()));
    return toLine(object);
}

std::optional<Request> decodeRequest(const QByteArray &line)
{
    const std::optional<QJsonObject> object = fromLine(line);
    if (!object)
        return std::nullopt;
    Request request;
    const QString command = object->value(CommandKey).toString();
    if (command == ImportCommand)
        request.kind = Request::Import;
    else if (command != ExportCommand)
        return std::nullopt;
    const QJsonValue language = object->value(LanguageKey);
    if (!language.isUndefined() && !InterfaceLanguage::fromCode(language.toString(), &request.language))
        return std::nullopt;
    const std::optional<QByteArray> file = fileOf(*object);
    if (!file)
        return std::nullopt;
    request.file = *file;
    return request;
}

std::optional<Reply> decodeReply(const QByteArray &line)
{
    const std::optional<QJsonObject> object = fromLine(line);
    if (!object)
        return std::nullopt;
    Reply reply;
    reply.code = object->value(CodeKey).toInt(-1);
    if (reply.code < CommandLine::Success || reply.code > CommandLine::NotRestored)
        return std::nullopt;
    reply.message = object->value(MessageKey).toString();
    const std::optional<QByteArray> file = fileOf(*object);
    if (!file)
        return std::nullopt;
    reply.file = *file;
    return reply;
}

Reply exportReply(const ProfileExport &read)
{
    if (!read.error.isEmpty())
        return { CommandLine::Failure, read.error, {} };
    return { CommandLine::Success, QString(), read.json };
}

Reply importReply(const ProfileWriteResult &result)
{
    switch (result.outcome) {
    case ProfileWriteResult::Written:
        return { CommandLine::Success, QString(), {} };
    case ProfileWriteResult::NotRestored:
        return { CommandLine::NotRestored, ProfileDevice::describe(result), {} };
    case ProfileWriteResult::NotWritten:
    case ProfileWriteResult::Restored:
        break;
    }
    return { CommandLine::Failure, ProfileDevice::describe(result), {} };
}

QString noMouseText()
{
    return CommandLineText::tr("没有找到鼠标");
}

bool Progress::begin()
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (current != Stage::Waiting)
        return false;
    current = Stage::Reading;
    return true;
}

bool Progress::startWriting()
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (current != Stage::Reading)
        return false;
    current = Stage::Writing;
    return true;
}

void Progress::finish(const QByteArray &reply)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (current == Stage::Dropped)
        return;
    current = Stage::Finished;
    finishedReply = reply;
}

bool Progress::drop()
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (current != Stage::Waiting && current != Stage::Reading)
        return false;
    current = Stage::Dropped;
    return true;
}

Progress::Stage Progress::stage() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return current;
}

QByteArray Progress::reply() const
{
    const std::lock_guard<std::mutex> lock(mutex);
    return finishedReply;
}

}   // namespace HandOver

WindowHandOver::WindowHandOver(Mouse &mouse, QObject *parent)
    : QObject(parent)
    , mouse(mouse)
{ }

void WindowHandOver::handle(const QByteArray &line, QLocalSocket *connection)
{
    auto pending = std::make_shared<Pending>();
    pending->progress = std::make_shared<HandOver::Progress>();
    pending->connection = connection;
    const std::optional<HandOver::Request> request = HandOver::decodeRequest(line);
    std::optional<MouseProfile> profile;
    if (request) {
        pending->language = request->language;
        pending->importing = request->kind == HandOver::Request::Import;
    }
    if (pending->importing) {
        QString error;
        profile = ProfileFormat::fromJson(request->file, &error);
    }
    if (!request || (pending->importing && !profile)) {
        answerFailure(pending, CommandLine::Failure, [] { return CommandLineText::tr("程序窗口收到的请求有误"); });
        return;
    }
    qDebug() << "command line request:" << (pending->importing ? "import" : "export");
    pendingRequests.append(pending);
    connect(connection, &QLocalSocket::disconnected, this, [pending] {
        if (!pending->answered && pending->progress->drop())
            qDebug() << "the command line left before the mouse was written: request dropped";
    });
    // The settings page offers no export or import during a firmware transfer either.
    if (mouse.transferRunning()) {
        answerFailure(pending, CommandLine::Failure,
                      [] { return CommandLineText::tr("正在升级固件：请等升级结束后再导入或导出配置"); });
        return;
    }
    // An empty job first: once it is back, what the link was asked before (at start-up, opening the mouse, which may
    // wait for a command line to finish with it) has been answered, and connected() is up to date.
    mouse.link().ask(
        this, [](DeviceContext &) { return QVariant(true); },
        [this, pending, profile](const QVariant &) {
            if (pending->progress->stage() == HandOver::Progress::Stage::Dropped)
                pendingRequests.removeAll(pending);
            else if (!mouse.connected())
                answerFailure(pending, CommandLine::Failure, HandOver::noMouseText);
            else
                run(pending, profile);
        },
        [this, pending](MouseLink::Failure) { jobEnded(pending); });
}

void WindowHandOver::run(const PendingPtr &pending, const std::optional<MouseProfile> &profile)
{
    const std::shared_ptr<HandOver::Progress> progress = pending->progress;
    const InterfaceLanguage::Language language = pending->language;
    MouseLink::Job job;
    // The reply is made on the link's thread, worded as the command line words its lines, and kept in the progress:
    // it is sent even when the window quits before the link has handed the result back.
    if (profile) {
        job = [progress, language, write = *profile](DeviceContext &) {
            const LanguageSwitcher::Wording wording(language);
            if (!progress->begin())
                return QVariant(false);
            const ProfileWriteResult written
                = ProfileDevice::writeAndVerify(write, [progress] { return progress->startWriting(); });
            progress->finish(HandOver::encode(HandOver::importReply(written)));
            return QVariant(progress->stage() == HandOver::Progress::Stage::Finished
                            && written.outcome != ProfileWriteResult::NotWritten);
        };
    } else {
        job = [progress, language, read = ProfileFile::exportJob()](DeviceContext &device) {
            const LanguageSwitcher::Wording wording(language);
            if (progress->begin())
                progress->finish(HandOver::encode(HandOver::exportReply(read(device).value<ProfileExport>())));
            return QVariant(false);
        };
    }
    mouse.link().ask(
        this, job,
        [this, pending](const QVariant &wrote) {
            // The mouse holds what was imported: the pages show it.
            if (wrote.toBool())
                emit imported();
            jobEnded(pending);
        },
        [this, pending](MouseLink::Failure) { jobEnded(pending); });
}

void WindowHandOver::jobEnded(const PendingPtr &pending)
{
    switch (pending->progress->stage()) {
    case HandOver::Progress::Stage::Finished:
        answer(pending, pending->progress->reply());
        return;
    case HandOver::Progress::Stage::Dropped:
        pendingRequests.removeAll(pending);
        return;
    case HandOver::Progress::Stage::Waiting:
    case HandOver::Progress::Stage::Reading:
    case HandOver::Progress::Stage::Writing:
        break;
    }
    // The job never ran: the mouse left before its turn.
    answerFailure(pending, CommandLine::Failure, HandOver::noMouseText);
}

void WindowHandOver::answerBeforeQuit()
{
    for (const PendingPtr &pending : QList<PendingPtr>(pendingRequests)) {
        if (pending->progress->stage() == HandOver::Progress::Stage::Finished) {
            answer(pending, pending->progress->reply());
        } else if (pending->progress->drop()) {
            answerFailure(pending, CommandLine::Failure, [importing = pending->importing] {
                return importing ? CommandLineText::tr("程序窗口在写入鼠标之前退出了：鼠标上的设置没有改动")
                                 : CommandLineText::tr("程序窗口没有完成导出就退出了");
            });
        }
    }
}

void WindowHandOver::answer(const PendingPtr &pending, const QByteArray &reply)
{
    pendingRequests.removeAll(pending);
    if (pending->answered)
        return;
    pending->answered = true;
    if (pending->connection)
        Endpoint::answer(pending->connection, reply);
}

void WindowHandOver::answerFailure(const PendingPtr &pending, int code, const std::function<QString()> &message)
{
    const LanguageSwitcher::Wording wording(pending->language);
    answer(pending, HandOver::encode(HandOver::Reply { code, message(), {} }));
}

#include "app/handover.h"

#include "app/commandline.h"
#include "device/mouse.h"
#include "profile/profileformat.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <memory>

namespace {

const QString CommandKey = QStringLiteral("command");
const QString FileKey = QStringLiteral("file");
const QString CodeKey = QStringLiteral("code");
const QString MessageKey = QStringLiteral("message");
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
    QJsonObject object { { CommandKey, request.kind == Request::Export ? ExportCommand : ImportCommand } };
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

}   // namespace HandOver

WindowHandOver::WindowHandOver(Mouse &mouse, QObject *parent)
    : QObject(parent)
    , mouse(mouse)
{ }

void WindowHandOver::handle(const QByteArray &line, const Answer &answer)
{
    const auto fail = [answer](int code, const QString &message) {
        answer(encode(HandOver::Reply { code, message, {} }));
    };
    const std::optional<HandOver::Request> request = HandOver::decodeRequest(line);
    std::optional<MouseProfile> profile;
    if (request && request->kind == HandOver::Request::Import) {
        QString error;
        profile = ProfileFormat::fromJson(request->file, &error);
    }
    if (!request || (request->kind == HandOver::Request::Import && !profile)) {
        fail(CommandLine::Failure, CommandLineText::tr("程序窗口收到的请求有误"));
        return;
    }
    // The settings page offers no export or import during a firmware transfer either.
    if (mouse.transferRunning()) {
        fail(CommandLine::Failure, CommandLineText::tr("正在升级固件：请等升级结束后再导入或导出配置"));
        return;
    }
    // An empty job first: once it is back, what the link was asked before (at start-up, opening the mouse, which may
    // wait for a command line to finish with it) has been answered, and connected() is up to date.
    mouse.link().ask(
        this, [](DeviceContext &) { return QVariant(true); },
        [this, profile, answer, fail](const QVariant &) {
            if (!mouse.connected())
                fail(CommandLine::Failure, HandOver::noMouseText());
            else if (profile)
                runImport(*profile, answer);
            else
                runExport(answer);
        },
        [fail](MouseLink::Failure) { fail(CommandLine::Failure, HandOver::noMouseText()); });
}

void WindowHandOver::runExport(const Answer &answer)
{
    mouse.link().ask(
        this, ProfileFile::exportJob(),
        [answer](const QVariant &result) { answer(encode(HandOver::exportReply(result.value<ProfileExport>()))); },
        [answer](MouseLink::Failure) {
            answer(encode(HandOver::Reply { CommandLine::Failure, HandOver::noMouseText(), {} }));
        });
}

void WindowHandOver::runImport(const MouseProfile &profile, const Answer &answer)
{
    // Whether the job had begun when the mouse left: the mouse may then hold part of the file.
    const auto started = std::make_shared<std::atomic<bool>>(false);
    const MouseLink::Job write = ProfileDevice::writeJob(profile);
    mouse.link().ask(
        this,
        [started, write](DeviceContext &device) {
            *started = true;
            return write(device);
        },
        [this, answer](const QVariant &result) {
            const ProfileWriteResult written = result.value<ProfileWriteResult>();
            if (written.outcome != ProfileWriteResult::NotWritten)
                emit imported();
            answer(encode(HandOver::importReply(written)));
        },
        [answer, started](MouseLink::Failure) {
            HandOver::Reply reply { CommandLine::Failure, HandOver::noMouseText(), {} };
            if (*started)
                reply = { CommandLine::NotRestored,
                          CommandLineText::tr("导入时鼠标已拔出：鼠标上的设置可能不完整，请重新导入"),
                          {} };
            answer(encode(reply));
        });
}

#include "profile/profilefile.h"

#include "profile/profiledevice.h"
#include "profile/profileformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

const QString ProfileFile::Suffix = QStringLiteral(".z31.json");

std::optional<QByteArray> ProfileFile::exportJson(QString *error)
{
    QString readError;
    const std::optional<MouseProfile> profile = ProfileDevice::read(&readError);
    if (!profile) {
        *error = tr("读取鼠标失败，未写入文件：%1").arg(readError);
        return std::nullopt;
    }
    const QByteArray json = ProfileFormat::toJson(*profile);
    // A file this program writes must also read back: a value outside what the file may hold fails here.
    QString checkError;
    if (!ProfileFormat::fromJson(json, &checkError)) {
        *error = tr("鼠标上的设置超出配置文件能保存的范围，未写入文件：%1").arg(checkError);
        return std::nullopt;
    }
    return json;
}

MouseLink::Job ProfileFile::exportJob()
{
    return [](DeviceContext &) {
        ProfileExport result;
        result.json = exportJson(&result.error).value_or(QByteArray());
        return QVariant::fromValue(result);
    };
}

bool ProfileFile::exportTo(const QString &path, QString *error)
{
    const std::optional<QByteArray> json = exportJson(error);
    return json && save(path, *json, error);
}

bool ProfileFile::save(const QString &path, const QByteArray &json, QString *error)
{
    QSaveFile file(path);
    // Unbuffered: Qt 5.15's commit() does not report a failed flush of its buffer (a full disk), and would put a
    // short or empty file in place of the old one. A short write is tried again for the rest, which then fails
    // with the system's reason.
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    for (qint64 done = 0; written && done < json.size();) {
        const qint64 count = file.write(json.constData() + done, json.size() - done);
        written = count > 0;
        done += count;
    }
    if (!written || !file.commit()) {
        *error = tr("无法写入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

std::optional<MouseProfile> ProfileFile::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("无法读取 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    return load(file, QDir::toNativeSeparators(path), error);
}

std::optional<MouseProfile> ProfileFile::load(QIODevice &device, const QString &shown, QString *error)
{
    // One byte more than allowed tells a file at the limit from a larger one, also where size() is unknown.
    const QByteArray json = device.read(ProfileFormat::MaxFileSize + 1);
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    if (file && file->error() != QFileDevice::NoError) {
        *error = tr("无法读取 %1：%2").arg(shown, device.errorString());
        return std::nullopt;
    }
    if (json.size() > ProfileFormat::MaxFileSize) {
        *error = tr("%1 大于 1 MiB，不是本程序的配置文件").arg(shown);
        return std::nullopt;
    }
    QString formatError;
    std::optional<MouseProfile> profile = ProfileFormat::fromJson(json, &formatError);
    if (!profile)
        *error = tr("配置文件 %1 有误：%2").arg(QFileInfo(shown).fileName(), formatError);
    return profile;
}

bool ProfileFile::importFrom(const QString &path, QString *error)
{
    const std::optional<MouseProfile> profile = load(path, error);
    if (!profile)
        return false;
    const ProfileWriteResult result = ProfileDevice::writeAndVerify(*profile);
    *error = ProfileDevice::describe(result);
    return result.outcome == ProfileWriteResult::Written;
}

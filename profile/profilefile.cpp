#include "profile/profilefile.h"

#include "profile/profiledevice.h"
#include "profile/profileformat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

const QString ProfileFile::Suffix = QStringLiteral(".z31.json");

bool ProfileFile::exportTo(const QString &path, QString *error)
{
    QString readError;
    const std::optional<MouseProfile> profile = ProfileDevice::read(&readError);
    if (!profile) {
        *error = tr("读取鼠标失败，未写入文件：%1").arg(readError);
        return false;
    }
    const QByteArray json = ProfileFormat::toJson(*profile);
    // A file this program writes must also read back: a value outside what the file may hold fails here.
    QString checkError;
    if (!ProfileFormat::fromJson(json, &checkError)) {
        *error = tr("鼠标上的设置超出配置文件能保存的范围，未写入文件：%1").arg(checkError);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
        *error = tr("无法写入 %1：%2").arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

std::optional<MouseProfile> ProfileFile::load(const QString &path, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("无法读取 %1：%2").arg(shown, file.errorString());
        return std::nullopt;
    }
    // One byte more than allowed tells a file at the limit from a larger one, also where size() is unknown.
    const QByteArray json = file.read(ProfileFormat::MaxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = tr("无法读取 %1：%2").arg(shown, file.errorString());
        return std::nullopt;
    }
    if (json.size() > ProfileFormat::MaxFileSize) {
        *error = tr("%1 大于 1 MiB，不是本程序的配置文件").arg(shown);
        return std::nullopt;
    }
    QString formatError;
    std::optional<MouseProfile> profile = ProfileFormat::fromJson(json, &formatError);
    if (!profile)
        *error = tr("配置文件 %1 有误：%2").arg(QFileInfo(path).fileName(), formatError);
    return profile;
}

bool ProfileFile::importFrom(const QString &path, QString *error)
{
    const std::optional<MouseProfile> profile = load(path, error);
    return profile && ProfileDevice::writeAndVerify(*profile, error);
}

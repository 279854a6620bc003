#include "app/meetingplace.h"

#include "app/commandline.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString MouseName = QStringLiteral("tarno-mouse");

}   // namespace

MeetingPlace MeetingPlace::find()
{
    MeetingPlace place;
    place.folder = LocalUser::meetingFolder();
    return place;
}

bool MeetingPlace::isPrivate() const
{
    return folder.problem == LocalUser::MeetingFolder::None;
}

QString MeetingPlace::problem() const
{
    const QString path = QDir::toNativeSeparators(folder.path);
    QString why;
    switch (folder.problem) {
    case LocalUser::MeetingFolder::None:
        return QString();
    case LocalUser::MeetingFolder::Missing:
    case LocalUser::MeetingFolder::CannotCreate:
        why = CommandLineText::tr("无法创建 %1").arg(path);
        break;
    case LocalUser::MeetingFolder::NotAFolder:
    case LocalUser::MeetingFolder::SymbolicLink:
        why = CommandLineText::tr("%1 不是文件夹").arg(path);
        break;
    case LocalUser::MeetingFolder::OtherOwner:
        why = CommandLineText::tr("%1 属于另一个用户").arg(path);
        break;
    case LocalUser::MeetingFolder::OpenToOthers:
        why = CommandLineText::tr("其他用户也能进入 %1").arg(path);
        break;
    }
    return CommandLineText::tr(
               "找不到只属于本用户的运行文件夹（%1）：请设置 XDG_RUNTIME_DIR 为本用户权限 0700 的文件夹")
        .arg(why);
}

QString MeetingPlace::instanceKey() const
{
    return LocalUser::endpoint(folder.path, QFileInfo(QCoreApplication::applicationFilePath()).fileName(), false);
}

QString MeetingPlace::handOverEndpoint() const
{
    return LocalUser::endpoint(folder.path, MouseName, true);
}

QString MeetingPlace::mouseLockPath() const
{
    return QDir(folder.path).filePath(MouseName + QStringLiteral(".lock"));
}

// Saving the mouse's whole configuration to a file and restoring it from one.
#ifndef PROFILEFILE_H
#define PROFILEFILE_H

#include "device/mouselink.h"
#include "profile/mouseprofile.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

#include <optional>

class QIODevice;

// What reading the mouse for an export gave: the file's bytes, or why there are none.
struct ProfileExport
{
    QByteArray json;
    QString error;
};
Q_DECLARE_METATYPE(ProfileExport)

class ProfileFile
{
    Q_DECLARE_TR_FUNCTIONS(ProfileFile)

public:
    static const QString Suffix;   // ".z31.json"

    // Reads the open mouse into the file's bytes. A failed read or a setting the file cannot hold gives nothing.
    static std::optional<QByteArray> exportJson(QString *error);
    // exportJson() as a job of the mouse link (a ProfileExport).
    static MouseLink::Job exportJob();
    // Saves the bytes atomically: on any failure (a full disk too) an existing file stays as it was.
    static bool save(const QString &path, const QByteArray &json, QString *error);
    // exportJson(), then save().
    static bool exportTo(const QString &path, QString *error);
    // Reads and checks the whole file; nothing touches the mouse.
    static std::optional<MouseProfile> load(const QString &path, QString *error);
    // The same from an open device (standard input); `shown` names it in messages.
    static std::optional<MouseProfile> load(QIODevice &device, const QString &shown, QString *error);
    // load(), then writes the open mouse and reads it back (ProfileDevice::writeAndVerify).
    static bool importFrom(const QString &path, QString *error);
};

#endif

// Reading the whole configuration from the mouse and writing it back, with the pages' own queries and commands.
#ifndef PROFILEDEVICE_H
#define PROFILEDEVICE_H

#include "device/mouselink.h"
#include "profile/mouseprofile.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

#include <functional>
#include <optional>

// What an import did to the mouse. The command line and the settings page word it with ProfileDevice::describe().
struct ProfileWriteResult
{
    enum Outcome {
        Written,   // the mouse holds the profile: read back equal
        NotWritten,   // the mouse could not be read first, so nothing was sent
        Restored,   // a write or the read-back failed; the earlier settings were written back and read back equal
        NotRestored,   // ... and putting the earlier settings back failed too: the mouse holds a mix of both
    };
    Outcome outcome = Written;
    QString failure;   // what failed first
    QString restoreFailure;   // what failed while putting the earlier settings back
};

Q_DECLARE_METATYPE(ProfileWriteResult)

class ProfileDevice
{
    Q_DECLARE_TR_FUNCTIONS(ProfileDevice)

public:
    // Every query with its retries; nothing when one stayed unanswered (`error` says which).
    static std::optional<MouseProfile> read(QString *error);
    // The commands the pages send for each setting, in the order buttons 2 to 9, lighting, DPI, report rate. Only
    // the config channel reports a refused write (macros): the first one is returned, and the writes go on. Reading
    // back tells whether the mouse took the rest.
    static QString write(const MouseProfile &profile);
    // Reads the mouse, then write(), read() and compare. When a write is refused or the read-back fails or differs,
    // the settings read first are written back and read back again. `mayWrite`, asked once the mouse has been read,
    // can still call the import off: nothing is written then (NotWritten).
    static ProfileWriteResult writeAndVerify(const MouseProfile &profile, const std::function<bool()> &mayWrite = {});
    // writeAndVerify() as a job of the mouse link (a ProfileWriteResult).
    static MouseLink::Job writeJob(const MouseProfile &profile);
    // Empty for Written; otherwise what failed and whether the mouse was restored.
    static QString describe(const ProfileWriteResult &result);
};

#endif

// Reading the whole configuration from the mouse and writing it back, with the pages' own queries and commands.
#ifndef PROFILEDEVICE_H
#define PROFILEDEVICE_H

#include "profile/mouseprofile.h"

#include <QCoreApplication>
#include <QString>

#include <optional>

class ProfileDevice
{
    Q_DECLARE_TR_FUNCTIONS(ProfileDevice)

public:
    // Every query with its retries; nothing when one stayed unanswered (`error` says which).
    static std::optional<MouseProfile> read(QString *error);
    // The commands the pages send for each setting, in the order buttons 2 to 9, lighting, DPI, report rate.
    // Like the pages, it does not look at the results: reading back tells whether the mouse took them.
    static void write(const MouseProfile &profile);
    // write(), then read() and compare; false with `error` naming the first difference or the failed read.
    static bool writeAndVerify(const MouseProfile &profile, QString *error);
};

#endif

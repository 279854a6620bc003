// The configuration file: one UTF-8 JSON document per mouse configuration (".z31.json"), and its checks.
#ifndef PROFILEFORMAT_H
#define PROFILEFORMAT_H

#include "profile/mouseprofile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

class ProfileFormat
{
    Q_DECLARE_TR_FUNCTIONS(ProfileFormat)

public:
    static constexpr int Version = 1;
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    // The same profile always gives the same bytes: keys in a fixed order, no time stamp.
    static QByteArray toJson(const MouseProfile &profile);
    // Reads and checks the whole document. On failure `error` says where in the file and what is wrong.
    static std::optional<MouseProfile> fromJson(const QByteArray &json, QString *error);
    // The first setting in which `actual` differs from `expected` (the firmware aside) with both values;
    // empty when they agree.
    static QString firstDifference(const MouseProfile &expected, const MouseProfile &actual);
};

#endif

// The application's own version and the names of versioned executables.
#ifndef APPVERSION_H
#define APPVERSION_H

#include <QDir>
#include <QString>
#include <QStringList>

#include <optional>

// major * 10000 + minor * 100 + patch
constexpr int APP_VERSION_CODE = 10009;

struct AppVersion
{
    int major = 0;
    int minor = 0;
    int patch = 0;

    static AppVersion fromCode(int code);
    static AppVersion own() { return fromCode(APP_VERSION_CODE); }
    QString text() const;   // "1.0.9"
};

bool operator<(const AppVersion &a, const AppVersion &b);
bool operator==(const AppVersion &a, const AppVersion &b);

// "TARNO_CONNECT_PC_V1.0.10.exe" for 1.0.10.
QString versionedExecutableName(const AppVersion &version);
// The version in a name of exactly that form; nothing for any other name.
std::optional<AppVersion> versionOfExecutableName(const QString &name);

// What the start-up scan does with a file of the working directory.
enum class LeftoverAction { Skip, Delete, Offer };
LeftoverAction leftoverAction(const QString &name);
// Acts on the executables that earlier updates left in `folder`: removes those not newer than this program
// (never the running one) and returns those to offer.
QStringList sweepLeftoverExecutables(const QDir &folder);

#endif

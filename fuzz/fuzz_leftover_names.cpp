// Names of the working directory as the start-up scan judges them: only a versioned executable name is ever
// deleted or offered, and its version is the one written in it.
#include "fuzzsupport.h"

#include "update/appversion.h"

#include <QRegularExpression>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDiagnostics();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Both ways a file name reaches the program: UTF-8 from the file system, and UTF-16 from the system API.
    const QString fromUtf8 = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QString fromUtf16 = QString::fromUtf16(reinterpret_cast<const char16_t *>(data), int(size / 2));
    static const QRegularExpression asWritten(
        QStringLiteral("^TARNO_CONNECT_PC_V([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.exe$"));

    for (const QString &name : { fromUtf8, fromUtf16 }) {
        const std::optional<AppVersion> version = versionOfExecutableName(name);
        const LeftoverAction action = leftoverAction(name);
        fuzzCheck((action == LeftoverAction::Skip) == !version, "only versioned names are acted on");
        if (!version)
            continue;
        const QRegularExpressionMatch match = asWritten.match(name);
        fuzzCheck(match.hasMatch(), "a versioned name has ASCII digits only");
        fuzzCheck(match.captured(1).toInt() == version->major && match.captured(2).toInt() == version->minor
                      && match.captured(3).toInt() == version->patch,
                  "the version read is the one written");
        fuzzCheck((action == LeftoverAction::Offer) == (AppVersion::own() < *version),
                  "newer versions are offered, the rest deleted");
        fuzzCheck(versionOfExecutableName(versionedExecutableName(*version)) == version,
                  "the name of a version reads back as that version");
    }
    return 0;
}

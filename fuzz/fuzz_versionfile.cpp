// The server's version file, evaluated as the update service does, and the executable name a newer application
// would be unpacked under, which the start-up scan must recognise again.
#include "fuzzsupport.h"

#include "update/appversion.h"
#include "update/versionfile.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDiagnostics();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char *>(data), int(size));
    const ServerVersions server = parseVersionFile(body);
    if (!server.valid)
        return 0;
    fuzzCheck(server.lines.size() >= 4, "a valid file has four lines");
    fuzzCheck(!server.lines.join(QLatin1Char('\n')).contains(QChar(0)), "the body ends at its first NUL");

    if (server.appVersionCode > APP_VERSION_CODE) {
        const AppVersion version = AppVersion::fromCode(server.appVersionCode);
        const QString name = versionedExecutableName(version);
        const std::optional<AppVersion> scanned = versionOfExecutableName(name);
        fuzzCheck(scanned && *scanned == version, "the scan reads the version of a downloaded executable");
        fuzzCheck(leftoverAction(name) == LeftoverAction::Offer, "a newer executable is offered, not deleted");
    }

    if (server.firmwareKnown) {
        for (int part : server.firmware)
            fuzzCheck(part >= 0 && part <= 255, "firmware parts are bytes");
        fuzzCheck(server.firmwareCode() <= 0xFFFFFFu, "firmware code fits the mouse's three bytes");
    }
    return 0;
}

// A configuration file as import reads it: whatever passes the checks saves back to the same bytes and reads
// back to the same configuration, so an export of an imported file never differs from it.
#include "fuzzsupport.h"

#include "profile/profileformat.h"

#include <sanitizer/lsan_interface.h>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceDiagnostics();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char *>(data), int(size));
    QString error;
    std::optional<MouseProfile> profile;
    {
        // Qt 5.15's JSON parser leaks the containers of a key repeated in one object; the re-read below, of a
        // file without repeats, still checks this code for leaks.
        __lsan::ScopedDisabler qtParserLeaks;
        profile = ProfileFormat::fromJson(json, &error);
    }
    if (!profile) {
        fuzzCheck(!error.isEmpty(), "a refused file says why");
        return 0;
    }
    const QByteArray saved = ProfileFormat::toJson(*profile);
    QString again;
    const std::optional<MouseProfile> reread = ProfileFormat::fromJson(saved, &again);
    fuzzCheck(reread.has_value(), "a saved configuration passes the checks");
    if (reread) {
        fuzzCheck(ProfileFormat::firstDifference(*profile, *reread).isEmpty(), "saving keeps every setting");
        fuzzCheck(ProfileFormat::toJson(*reread) == saved, "the same configuration saves the same bytes");
    }
    return 0;
}

// Folder of the emulated mouse. The device library and the tarno-emu tool both find the mouse there without
// any configuration.
#ifndef TARNO_EMU_DIR_H
#define TARNO_EMU_DIR_H

#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <unistd.h>
#endif

// File name of the device node inside the folder; the mouse is plugged in while it exists.
inline constexpr char kTarnoEmuNodeName[] = "z31-hidraw";

// TARNO_EMU_DIR when it is set and not empty, otherwise the per-user folder "/tmp/tarno-emu-<uid>".
inline std::string tarnoEmuDefaultDir()
{
    const char *configured = std::getenv("TARNO_EMU_DIR");
    if (configured && *configured)
        return configured;
#ifdef _WIN32
    const char *temp = std::getenv("TEMP");
    return std::string(temp && *temp ? temp : ".") + "\\tarno-emu";
#else
    return "/tmp/tarno-emu-" + std::to_string(getuid());
#endif
}

#endif

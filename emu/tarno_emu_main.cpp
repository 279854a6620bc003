// tarno-emu: plugs, unplugs, inspects and steers the emulated mouse while programs use it.

#include "emu_dir.h"
#include "emu_folder.h"
#include "mouse.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace tarno_emu;

namespace {

const char Usage[] = "usage: tarno-emu plug | unplug | status | dump | press-dpi | reset | fail-reads N | "
                     "fail-config-write K | latency MICROSECONDS | capture FILE|off\n";

constexpr std::uint32_t MaxLatencyMicroseconds = 10000000;

int usage()
{
    std::fputs(Usage, stderr);
    return 2;
}

int failure(const std::string &message)
{
    std::fprintf(stderr, "tarno-emu: %s\n", message.c_str());
    return 1;
}

bool parseCount(const std::string &text, std::uint32_t max, std::uint32_t &value)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long long parsed = std::strtoull(text.c_str(), nullptr, 10);
    if (parsed > max)
        return false;
    value = std::uint32_t(parsed);
    return true;
}

std::string versionText(const std::array<std::uint8_t, 3> &version)
{
    return std::to_string(version[0]) + "." + std::to_string(version[1]) + "." + std::to_string(version[2]);
}

int plug(EmuFolder &folder)
{
    if (folder.node().present)
        return 0;
    ControlState control = folder.control();
    ++control.generation;
    if (!folder.saveControl(control) || !folder.createNode())
        return failure("cannot plug the mouse in " + folder.dir() + ": " + files::lastError());
    return 0;
}

int status(const EmuFolder &folder)
{
    const ControlState &control = folder.control();
    std::printf("plugged=%s\n", folder.node().present ? "yes" : "no");
    std::printf("node=%s\n", folder.nodePath().c_str());
    std::printf("generation=%llu\n", static_cast<unsigned long long>(control.generation));
    std::printf("firmware=%s\n", versionText(folder.memory().firmwareVersion).c_str());
    std::printf("latency_us=%u\n", unsigned(control.latencyMicroseconds));
    std::printf("capture=%s\n", control.capturePath.empty() ? "off" : control.capturePath.c_str());
    std::printf("fail_reads=%u\n", unsigned(control.failReads));
    std::printf("fail_config_write=%u\n", unsigned(control.failConfigWrite));
    return 0;
}

int setCapture(EmuFolder &folder, const std::string &file)
{
    ControlState control = folder.control();
    if (file == "off") {
        control.capturePath.clear();
    } else {
        if (file.find('\n') != std::string::npos)
            return usage();
        control.capturePath = absolutePath(file);
        files::AppendFile capture;
        if (!capture.open(control.capturePath))
            return failure("cannot open " + control.capturePath + ": " + files::lastError());
    }
    return folder.saveControl(control) ? 0 : failure("cannot write " + folder.controlPath());
}

}

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    const std::string &command = args[0];
    const bool takesValue = command == "fail-reads" || command == "fail-config-write" || command == "latency"
        || command == "capture";
    if (args.size() != (takesValue ? 2u : 1u))
        return usage();

    std::uint32_t number = 0;
    if (command == "fail-reads" || command == "fail-config-write") {
        if (!parseCount(args[1], UINT32_MAX, number))
            return usage();
    } else if (command == "latency") {
        if (!parseCount(args[1], MaxLatencyMicroseconds, number))
            return usage();
    } else if (!takesValue && command != "plug" && command != "unplug" && command != "status" && command != "dump"
               && command != "press-dpi" && command != "reset") {
        return usage();
    }

    EmuFolder folder(tarnoEmuDefaultDir());
    std::string error;
    if (!folder.lock(&error))
        return failure(error);
    folder.refresh();

    ControlState control = folder.control();
    MouseMemory memory = folder.memory();
    if (command == "plug")
        return plug(folder);
    if (command == "unplug")
        return folder.removeNode() ? 0 : failure("cannot remove " + folder.nodePath() + ": " + files::lastError());
    if (command == "status")
        return status(folder);
    if (command == "dump") {
        std::fputs(formatMemory(memory).c_str(), stdout);
        return 0;
    }
    if (command == "capture")
        return setCapture(folder, args[1]);
    if (command == "press-dpi") {
        if (!folder.node().present)
            return failure("the mouse is unplugged");
        pressDpiButton(memory);
    } else if (command == "reset") {
        restoreFactorySettings(memory);
    } else if (command == "fail-reads") {
        control.failReads = number;
    } else if (command == "fail-config-write") {
        control.failConfigWrite = number;
    } else if (command == "latency") {
        control.latencyMicroseconds = number;
    }
    if (!folder.saveMemory(memory))
        return failure("cannot write " + folder.memoryPath());
    if (!folder.saveControl(control))
        return failure("cannot write " + folder.controlPath());
    return 0;
}

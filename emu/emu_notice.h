// Tells the system's programs that the emulated mouse arrived or left. On Windows that is the broadcast a real
// device's interface causes (WM_DEVICECHANGE with the interface's name, here the node's path); elsewhere the
// node file itself is what programs watch, so there is nothing to send.
#ifndef TARNO_EMU_NOTICE_H
#define TARNO_EMU_NOTICE_H

#include <string>

namespace tarno_emu {

#ifdef _WIN32
void announceDevice(bool arrival, const std::string &nodePath);
#else
inline void announceDevice(bool, const std::string &)
{ }
#endif

}

#endif

#ifndef STARTUP_H
#define STARTUP_H

// The whole program: single-instance check, device library, main window, event loop. Returns the exit code.
int runTarno(int argc, char *argv[]);

#endif

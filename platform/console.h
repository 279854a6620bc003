// Standard output and error for the command line of a program that is otherwise a window.
#ifndef CONSOLE_H
#define CONSOLE_H

// Makes what the program prints reach the terminal it was started from (on Windows a windowed executable
// has none of its own). Returns false when there is no such terminal.
bool useParentConsole();

#endif

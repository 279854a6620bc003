// Export and import of the mouse's configuration from the command line: no window, no tray, one line of result.
#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QCoreApplication>

// The command line's texts, also where the window words a result for it.
class CommandLineText
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

namespace CommandLine {

// NotRestored: an import failed half-way and the settings read before it could not be written back.
enum ExitCode { Success = 0, Failure = 1, BadUsage = 2, NotRestored = 3 };

// Without arguments, or with only Qt's own options (-platform, -style, ...), the window starts; any other
// argument asks for the command line.
bool wanted(int argc, char *argv[]);
// Parses the arguments and runs the one operation they ask for; returns the exit code.
int run(int argc, char *argv[]);

}   // namespace CommandLine

#endif

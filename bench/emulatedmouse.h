// The emulated mouse for the benchmarks: a fresh folder with the mouse plugged in, and its library's entry points
// in deviceContext as start-up leaves them, with the device opened.
#ifndef EMULATEDMOUSE_H
#define EMULATEDMOUSE_H

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class EmulatedMouse
{
public:
    EmulatedMouse();

    // Empty when the mouse is ready; otherwise what went wrong.
    QString error() const { return problem; }
    // Runs tarno-emu with these arguments on this mouse; false when it fails.
    bool emu(const QStringList &arguments);

private:
    QTemporaryDir folder;
    QString problem;
};


#endif

// What the fuzz targets share: a quiet headless application for the widget targets, and device-library entry
// points that answer every read with the next bytes of the fuzz input.
#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

// Drops the program's diagnostics, which would otherwise cost more than the code under test.
void silenceDiagnostics();
// Creates the one QApplication on the offscreen platform (idempotent).
void startHeadlessApplication(int *argc, char ***argv);

class Mouse;
// The pages' way to the mouse, over the fuzz-driven entry points below; jobs run at once on the calling thread.
Mouse &fuzzMouse();
// Hands the pages the answers of the jobs run so far.
void deliverAnswers();

// A fuzz-driven mouse: reads on either channel take their reply from the scripted bytes, `length` at a time;
// once the script runs dry every read fails, as a mouse that stopped answering. Writes succeed.
namespace FuzzDevice {
void install();
void script(const QByteArray &controlReplies, const QByteArray &configReplies);
// Every command written since the last script(), in order.
const QList<QByteArray> &controlWrites();
const QList<QByteArray> &configWrites();
} // namespace FuzzDevice

// Aborts with the message when `condition` is false, so that libFuzzer keeps the input that broke an invariant.
void fuzzCheck(bool condition, const char *message);

#endif

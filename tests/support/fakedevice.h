// Fake entry points for the device library: they record every call and answer reads from a script.
#ifndef FAKEDEVICE_H
#define FAKEDEVICE_H

#include "device/devicecontext.h"
#include "device/mouse.h"
#include "device/mouselink.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

struct FakeCall
{
    QString name;
    QByteArray bytes;   // what was written, or what a read put into the buffer
};

struct FakeDevice
{
    // Installs the fake entry points into the global device context and clears the record.
    static void install();

    static QList<FakeCall> calls;
    // Reads fail until this many reads have been made (on either channel); -1: always fail.
    static int failReadsUntil;
    static int readCount;
    // Reply bytes a successful read copies into the buffer (zero-padded to the read length).
    static QByteArray controlReply;
    static QByteArray configReply;
    // Status returned by WrtieConfig calls, in order; 0 once the list is used up.
    static QList<int> configWriteResults;
    static const char16_t *openResult;

    static QStringList names();
    static QList<QByteArray> writes(const QString &name);
};

// The pages' way to the mouse over the fake entry points. Jobs run at once on the test's thread, so the calls are
// recorded when a click returns; their answers reach the widgets with deliverAnswers().
struct FakeMouse
{
    MouseLink link { deviceContext, MouseLink::Threading::CallerThread };
    Mouse mouse { link };
};
void deliverAnswers();
// Waits until the link has done every job asked of it so far (a link on its own thread).
bool waitForLink(MouseLink &link);

#endif

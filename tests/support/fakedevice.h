// Fake entry points for the device library: they record every call and answer reads from a script.
#ifndef FAKEDEVICE_H
#define FAKEDEVICE_H

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

#endif

// Follows device nodes appearing in and leaving watched folders, and reports them as device changes with the
// node's path as the interface name.
#ifndef NODEWATCHER_H
#define NODEWATCHER_H

#include "platform/devicechange.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

struct NodeFolder
{
    QString dir;
    QStringList nameFilters;   // wildcard patterns of the node names
};

class NodeWatcher : public QObject
{
    Q_OBJECT

public:
    // Folders that do not exist yet are picked up once they are created.
    explicit NodeWatcher(const QList<NodeFolder> &folders, QObject *parent = nullptr);

    // The nodes named by TARNO_DEVICE_NODES: paths separated by ':' whose file names may hold wildcards. Without
    // it, the system's hidraw nodes (/dev/hidraw*).
    static QList<NodeFolder> configuredFolders();

    // Absolute paths of the nodes present at the last look.
    QStringList nodes() const;
    // The folders being watched now (the nearest existing parent stands in for a missing folder).
    QStringList watchedDirectories() const;

signals:
    void deviceChanged(const DeviceChange &change);

private:
    void rescan();
    void updateWatches();
    QHash<QString, quint64> scanNodes() const;

    QList<NodeFolder> folders;
    QFileSystemWatcher watcher;
    // node path -> identity of the file, so that a node replaced between two looks counts as out and in again
    QHash<QString, quint64> present;
};

#endif

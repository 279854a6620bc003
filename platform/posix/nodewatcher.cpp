#include "platform/posix/nodewatcher.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

quint64 fileIdentity(const QString &path)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return 0;
    return (quint64(info.st_dev) << 40) ^ quint64(info.st_ino);
}

// The absolute form the device library gives its paths: relative paths go after the current directory, trailing
// slashes are dropped, nothing else is rewritten. The removal of a node is recognised by this text.
QString libraryAbsolutePath(const QString &path)
{
    QString absolute = path;
    if (!absolute.startsWith(QLatin1Char('/')))
        absolute = QDir::currentPath() + (absolute.isEmpty() ? QString() : QLatin1Char('/') + absolute);
    while (absolute.size() > 1 && absolute.endsWith(QLatin1Char('/')))
        absolute.chop(1);
    return absolute;
}

// The folder itself when it exists, otherwise its nearest existing parent.
QString existingAncestor(const QString &dir)
{
    QString current = QDir::cleanPath(dir);
    while (!QFileInfo(current).isDir()) {
        const QString parent = QFileInfo(current).path();
        if (parent == current)
            return QString();
        current = parent;
    }
    return current;
}

} // namespace

NodeWatcher::NodeWatcher(const QList<NodeFolder> &folders, QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<DeviceChange>();
    for (NodeFolder folder : folders) {
        folder.dir = libraryAbsolutePath(folder.dir);
        this->folders.append(folder);
    }
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &NodeWatcher::rescan);
    updateWatches();
    present = scanNodes();
}

QList<NodeFolder> NodeWatcher::configuredFolders()
{
    const QString configured = qEnvironmentVariable("TARNO_DEVICE_NODES");
    const QStringList patterns = configured.isEmpty() ? QStringList { QStringLiteral("/dev/hidraw*") }
                                                      : configured.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    QList<NodeFolder> folders;
    for (const QString &pattern : patterns) {
        const QFileInfo node(pattern);
        folders.append({ node.path(), { node.fileName() } });
    }
    return folders;
}

QStringList NodeWatcher::nodes() const
{
    QStringList paths = present.keys();
    paths.sort();
    return paths;
}

QStringList NodeWatcher::watchedDirectories() const
{
    return watcher.directories();
}

void NodeWatcher::updateWatches()
{
    QStringList wanted;
    for (const NodeFolder &folder : folders) {
        const QString dir = existingAncestor(folder.dir);
        if (!dir.isEmpty() && !wanted.contains(dir))
            wanted.append(dir);
    }
    for (const QString &dir : watcher.directories()) {
        if (!wanted.contains(dir))
            watcher.removePath(dir);
    }
    for (const QString &dir : wanted) {
        if (!watcher.directories().contains(dir) && !watcher.addPath(dir))
            qDebug() << "cannot watch" << dir;
    }
}

QHash<QString, quint64> NodeWatcher::scanNodes() const
{
    QHash<QString, quint64> found;
    for (const NodeFolder &folder : folders) {
        const QDir dir(folder.dir);
        if (!dir.exists())
            continue;
        const QStringList names = dir.entryList(folder.nameFilters,
                                                QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString &name : names) {
            const QString path = folder.dir + QLatin1Char('/') + name;
            const quint64 identity = fileIdentity(path);
            if (identity != 0)
                found.insert(path, identity);
        }
    }
    return found;
}

void NodeWatcher::rescan()
{
    // A folder created or removed since the last look changes what has to be watched.
    updateWatches();
    const QHash<QString, quint64> now = scanNodes();
    const QHash<QString, quint64> before = present;
    present = now;

    QStringList removed;
    QStringList arrived;
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (now.value(it.key()) != it.value())
            removed.append(it.key());
    }
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (before.value(it.key()) != it.value())
            arrived.append(it.key());
    }
    removed.sort();
    arrived.sort();
    // Removals first: a node replaced between two looks is a plug-out followed by a plug-in.
    for (const QString &path : removed)
        emit deviceChanged({ DeviceChange::Removal, DeviceBroadcast::InterfaceType, path });
    for (const QString &path : arrived)
        emit deviceChanged({ DeviceChange::Arrival, DeviceBroadcast::InterfaceType, path });
}

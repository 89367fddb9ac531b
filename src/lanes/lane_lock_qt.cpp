#include "lanes/lane_lock_qt.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringList>

#include <cerrno>
#include <csignal>

namespace kuzelna {

namespace {

struct LockOwner {
    qint64 pid = 0;
    QString application;
    bool alive = false;
};

bool readOwner(const QString& path, LockOwner& owner) {
    if (!QFileInfo::exists(path)) return false;
    QLockFile lock(path);
    QString host;
    if (!lock.getLockInfo(&owner.pid, &host, &owner.application) || owner.pid <= 0) {
        // Another program's lock: a process id in text, nothing more.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return false;
        owner.pid = QString::fromLatin1(file.readLine()).trimmed().toLongLong();
        if (owner.pid <= 0) return false;
    }
#ifdef Q_OS_UNIX
    owner.alive = ::kill(static_cast<pid_t>(owner.pid), 0) == 0 || errno == EPERM;
#else
    owner.alive = true;
#endif
    return true;
}

QString ownerName(const QString& path) {
    const QString name = QFileInfo(path).owner();
    return name.isEmpty() ? QStringLiteral("jinému uživateli") : QStringLiteral("uživateli %1").arg(name);
}

} // namespace

QString laneLockPath(const QString& device) {
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.prepend(QLatin1String("/LCK.."));
    const QStringList folders = {
        QStringLiteral("/var/lock"),         QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"),   QStringLiteral("/tmp"),       QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock")};
    for (const QString& folder : folders) {
        const QFileInfo info(folder);
        if (!info.isReadable()) continue;
        if (QFile::exists(folder + name) || info.isWritable()) return folder + name;
    }
    return {};
}

QString reclaimStaleLaneLock(const QString& device) {
    const QString path = laneLockPath(device);
    LockOwner owner;
    if (path.isEmpty() || !readOwner(path, owner) || owner.alive) return {};
    if (QFile::remove(path))
        return QStringLiteral("zámek %1 po ukončeném procesu %2 odstraněn").arg(path).arg(owner.pid);
    return QStringLiteral("zámek %1 po ukončeném procesu %2 nelze odstranit (patří %3)")
        .arg(path)
        .arg(owner.pid)
        .arg(ownerName(path));
}

QString describeLaneLock(const QString& device) {
    const QString path = laneLockPath(device);
    LockOwner owner;
    if (path.isEmpty() || !readOwner(path, owner)) return {};
    if (owner.alive) {
        const QString program =
            owner.application.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(owner.application);
        return QStringLiteral("používá ho proces %1%2 (zámek %3)").arg(owner.pid).arg(program, path);
    }
    return QStringLiteral("zámek %1 po ukončeném procesu %2 nelze odstranit (patří %3)")
        .arg(path)
        .arg(owner.pid)
        .arg(ownerName(path));
}

} // namespace kuzelna

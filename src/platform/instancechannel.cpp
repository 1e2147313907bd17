#include "instancechannel.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include "channelprotocol.h"
#include "core/programfolder.h"

namespace {
constexpr int kClientTimeoutMs = 3000;  // a silent or slow client is dropped after this

// The user id at the other end of a connected local socket; -1 when it cannot be told.
qint64 peerUid(qintptr fd) {
    ucred cred{};
    socklen_t size = sizeof cred;
    if (fd < 0 || getsockopt(int(fd), SOL_SOCKET, SO_PEERCRED, &cred, &size) != 0) return -1;
    return cred.uid;
}
}  // namespace

QString PrivateFolderProblem(const QString &dir) {
    const QByteArray path = QFile::encodeName(dir);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("cannot make the folder %1").arg(dir);
    // Opened without following a link, then judged by what was opened: nobody can swap it
    // between the look and the use.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return QStringLiteral("%1 is not a folder of its own (a link?)").arg(dir);
    struct stat st {};
    QString problem;
    if (::fstat(fd, &st) != 0)
        problem = QStringLiteral("cannot look at %1").arg(dir);
    else if (st.st_uid != ::getuid())
        problem = QStringLiteral("%1 belongs to another user").arg(dir);
    else if (st.st_mode & (S_IWGRP | S_IWOTH))
        problem = QStringLiteral("%1 is open for others to write in").arg(dir);
    else if ((st.st_mode & 077) && ::fchmod(fd, 0700) != 0)
        problem = QStringLiteral("cannot close %1 to other users").arg(dir);
    ::close(fd);
    return problem;
}

InstanceChannel::InstanceChannel(const QString &dir, const QString &name, QObject *parent)
    : QObject(parent), dir_(dir), name_(name), lock_(dir + QLatin1Char('/') + name + ".lock") {
    // A live owner is never stale; a dead one (crash, kill) is, whatever its age.
    lock_.setStaleLockTime(0);
    // Another user's folder could hold a planted lock or take our addresses: only our own.
    folderError_ = PrivateFolderProblem(dir_);
}

InstanceChannel::~InstanceChannel() {
    if (server_) server_->close();
}

QString InstanceChannel::defaultDir() {
    const QString runtime = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && PrivateFolderProblem(runtime).isEmpty())
        return runtime;
    // Without a runtime folder: one in the shared temporary folder if it is ours, else one
    // in the home folder, which no other user can take first.
    const QString shared = QDir::tempPath() + QStringLiteral("/olumetta-%1").arg(getuid());
    if (PrivateFolderProblem(shared).isEmpty()) return shared;
    const QString cache = QDir::homePath() + QStringLiteral("/.cache");
    QDir().mkpath(cache);
    return cache + QStringLiteral("/olumetta-%1").arg(getuid());
}

QString InstanceChannel::nameFor(const QString &folder, const QString &display) {
    // However the folder is written (a link, a trailing '/'), it is the same folder.
    QString key = QFileInfo(folder).canonicalFilePath();
    if (key.isEmpty()) key = QDir::cleanPath(QDir(folder).absolutePath());
    // Hashed, the socket's path stays far below the 108 bytes a local address holds.
    const QByteArray hash =
        QCryptographicHash::hash((key + u'\n' + display).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("Orvex Lumetta-%1-%2")
        .arg(getuid())
        .arg(QLatin1String(hash.toHex().left(16)));
}

QString InstanceChannel::currentDisplay() {
    QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY"), x = qEnvironmentVariable("DISPLAY");
    // Where both are set (X on Wayland), the Wayland one, unless Qt is told to take X.
    if (!wayland.isEmpty() &&
        !qEnvironmentVariable("QT_QPA_PLATFORM").startsWith(QLatin1String("xcb"))) {
        if (!QDir::isAbsolutePath(wayland))  // a name alone is a socket in the runtime folder
            wayland = qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + wayland;
        return QStringLiteral("wayland ") + wayland;
    }
    if (x.isEmpty()) return {};
    // ":0.0" is ":0", its first screen.
    if (x.endsWith(QLatin1String(".0")) && x.lastIndexOf(u':') < x.size() - 2) x.chop(2);
    return QStringLiteral("x11 ") + x;
}

QString InstanceChannel::currentName() {
    return nameFor(AppDir(), currentDisplay());
}

QString InstanceChannel::socketPath() const {
    return dir_ + QLatin1Char('/') + name_;
}

bool InstanceChannel::claim() {
    return folderError_.isEmpty() && lock_.tryLock(0);
}

QString InstanceChannel::lockError() const {
    if (!folderError_.isEmpty()) return folderError_;
    switch (lock_.error()) {
        case QLockFile::NoError:
        case QLockFile::LockFailedError:  // held by the running instance
            return {};
        case QLockFile::PermissionError:
            return QStringLiteral("no permission to make %1").arg(lock_.fileName());
        case QLockFile::UnknownError:
            break;
    }
    return QStringLiteral("cannot make %1").arg(lock_.fileName());
}

bool InstanceChannel::listen() {
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath());  // left by an owner that was killed
    if (!server_->listen(socketPath())) return false;
    connect(server_.get(), &QLocalServer::newConnection, this, &InstanceChannel::onNewConnection);
    return true;
}

void InstanceChannel::onNewConnection() {
    while (QLocalSocket *client = server_->nextPendingConnection()) {
        auto reader = std::make_shared<channel::Reader>();
        auto *timeout = new QTimer(client);
        timeout->setSingleShot(true);
        connect(timeout, &QTimer::timeout, client, &QLocalSocket::abort);
        timeout->start(kClientTimeoutMs);
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        if (peerUid(client->socketDescriptor()) != qint64(::getuid())) {
            client->abort();  // only this user's later starts hand over
            continue;
        }
        connect(client, &QLocalSocket::readyRead, this, [this, client, reader] {
            const QStringList messages = reader->feed(client->readAll());
            if (reader->broken()) {
                client->abort();
                return;
            }
            for (const QString &m : messages) {
                client->write(&channel::kAck, 1);
                emit commandReceived(m);
            }
        });
    }
}

bool InstanceChannel::send(const QString &command, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    // The owner may still be starting up: try again until the deadline.
    while (!deadline.hasExpired()) {
        QLocalSocket s;
        s.connectToServer(socketPath());
        if (s.waitForConnected(int(qMin<qint64>(500, deadline.remainingTime())))) {
            // An address goes to our own running instance, never to another user's socket.
            if (peerUid(s.socketDescriptor()) != qint64(::getuid())) return false;
            s.write(channel::frame(command));
            if (!s.waitForBytesWritten(int(deadline.remainingTime()))) return false;
            while (s.bytesAvailable() < 1 && s.waitForReadyRead(int(deadline.remainingTime()))) {
            }
            const bool acked = s.read(1) == QByteArray(1, channel::kAck);
            s.disconnectFromServer();
            return acked;
        }
        QThread::msleep(50);
    }
    return false;
}

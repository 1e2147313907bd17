#include "instancechannel.h"

#include <unistd.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include "channelprotocol.h"

namespace {
QString baseName() {
    return QStringLiteral("Orvex Lumetta-%1").arg(getuid());
}
constexpr int kClientTimeoutMs = 3000;  // a silent or slow client is dropped after this
}  // namespace

InstanceChannel::InstanceChannel(const QString &dir, QObject *parent)
    : QObject(parent), dir_(dir), lock_(dir + QLatin1Char('/') + baseName() + ".lock") {
    // A live owner is never stale; a dead one (crash, kill) is, whatever its age.
    lock_.setStaleLockTime(0);
    if (!QDir().mkpath(dir_)) folderError_ = QStringLiteral("cannot make the folder %1").arg(dir_);
}

InstanceChannel::~InstanceChannel() {
    if (server_) server_->close();
}

QString InstanceChannel::defaultDir() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    const QString dir = QDir::tempPath() + QStringLiteral("/olumetta-%1").arg(getuid());
    if (QDir().mkpath(dir))
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
}

QString InstanceChannel::socketPath() const {
    return dir_ + QLatin1Char('/') + baseName();
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

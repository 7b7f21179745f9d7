#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include "platform/system.h"

namespace kavo {
namespace {

constexpr char kComeForward[] = "come-forward\n";

// Where the lock and the socket go: the session's runtime folder; outside a full session (no
// XDG_RUNTIME_DIR, where the toolkit would only complain) the temporary folder, the user's id
// keeping users apart.
QString NameBase(const QString& key) {
#ifndef _WIN32
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
    return QDir::tempPath() + QStringLiteral("/kavo-") + QString::number(platform::UserId()) +
           QLatin1Char('-') + key;
  }
#endif
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  return (runtime.isEmpty() ? QDir::tempPath() : runtime) + QStringLiteral("/kavo-") + key;
}

// The folder as the file system knows it, links resolved, so that two spellings of one folder
// meet; a folder not made yet (it is, at the first save) by its nearest existing parent.
QString CanonicalFolder(const QString& folder) {
  QString path = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
  QString missing;
  while (!QFileInfo::exists(path) && path != QFileInfo(path).path()) {
    missing = QLatin1Char('/') + QFileInfo(path).fileName() + missing;
    path = QFileInfo(path).path();
  }
  const QString existing = QFileInfo(path).canonicalFilePath();
  return QDir::cleanPath((existing.isEmpty() ? path : existing) + missing);
}

}  // namespace

SingleInstance::SingleInstance(const QString& folder) {
  const QString key = QString::fromLatin1(
      QCryptographicHash::hash(CanonicalFolder(folder).toUtf8(), QCryptographicHash::Sha256)
          .toHex()
          .left(16));
  const QString base = NameBase(key);
  lockPath_ = base + QStringLiteral(".lock");
#ifdef _WIN32
  serverName_ = QStringLiteral("kavo-") + key;
#else
  serverName_ = base + QStringLiteral(".socket");
#endif

  lock_ = std::make_unique<QLockFile>(lockPath_);
  // A bar runs for days: only a lock whose process has gone counts as stale, never an old one.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) return;
  // The lock is ours, so a socket left behind is a dead bar's.
  QLocalServer::removeServer(serverName_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(serverName_)) {
    qWarning("kavo: cannot listen for later starts at %s: %s", qPrintable(serverName_),
             qPrintable(server_->errorString()));
    return;
  }
  connect(server_, &QLocalServer::newConnection, this, [this] {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
      connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
      connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        while (socket->canReadLine()) {
          if (socket->readLine() == kComeForward) emit ComeForwardAsked();
        }
      });
    }
  });
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AskRunningBarToComeForward() {
  // The running bar may still be starting: it listens right after taking the lock.
  for (int attempt = 0; attempt < 30; ++attempt) {
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (socket.waitForConnected(500)) {
      socket.write(kComeForward);
      const bool sent = socket.waitForBytesWritten(1000);
      socket.disconnectFromServer();
      return sent;
    }
    QThread::msleep(100);
  }
  return false;
}

}  // namespace kavo

#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include "platform/files.h"
#include "platform/instance_channel.h"
#include "platform/loop_watch.h"
#include "platform/system.h"

namespace kavo {
namespace {

constexpr char kComeForward[] = "come-forward";

// Where the lock and the socket go: the session's runtime folder; outside a full session (no
// XDG_RUNTIME_DIR, where the toolkit would only complain) the temporary folder, the user's id
// keeping users apart.
QString NameBase(const QString& key) {
  if (!platform::HasSessionRuntimeFolder()) {
    return QDir::tempPath() + QStringLiteral("/kavo-") + QString::number(platform::UserId()) +
           QLatin1Char('-') + key;
  }
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
  channelName_ =
      QString::fromStdU16String(platform::ChannelName(key.toStdU16String(), base.toStdU16String()));

  lock_ = std::make_unique<QLockFile>(lockPath_);
  // A bar runs for days: only a lock whose process has gone counts as stale, never an old one.
  lock_->setStaleLockTime(0);
  if (!lock_->tryLock(0)) return;
  first_ = true;
  // The lock is ours, so a channel left behind is a dead bar's, and is replaced.
  platform::ErrorCode error = 0;
  channel_ = platform::ListenForLaterStarts(channelName_.toStdU16String(), error);
  if (!channel_) {
    qWarning("kavo: cannot listen for later starts at %s: %s", qPrintable(channelName_),
             qPrintable(QString::fromStdU16String(platform::ErrorText(error))));
    return;
  }
  const auto takeMessages = [this] {
    for (const std::string& line : channel_->TakeMessages()) {
      if (line == kComeForward) emit ComeForwardAsked();
    }
  };
  watch_ = platform::WatchInLoop(channel_->Waitable(), takeMessages);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::AskRunningBarToComeForward() {
  // The running bar may still be starting: it listens right after taking the lock.
  for (int attempt = 0; attempt < 30; ++attempt) {
    if (platform::SendToRunningInstance(channelName_.toStdU16String(), kComeForward)) return true;
    QThread::msleep(100);
  }
  return false;
}

}  // namespace kavo

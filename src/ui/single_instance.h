#pragma once
// One bar per settings folder: a second start for the same folder brings the running bar forward
// instead of racing it for the same files.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

namespace kavo {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // Takes the folder's lock when no running bar holds it; a lock left by a bar that ended
  // abnormally is taken over.
  explicit SingleInstance(const QString& folder);
  ~SingleInstance() override;

  // Whether this process holds the lock, and so is the folder's bar.
  bool IsFirst() const { return server_ != nullptr; }

  // For a second start: asks the running bar to come forward. False when it does not answer.
  bool AskRunningBarToComeForward();

 signals:
  void ComeForwardAsked();

 private:
  QString lockPath_;
  QString serverName_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace kavo

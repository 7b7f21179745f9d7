#pragma once
// One bar per settings folder: a second start for the same folder brings the running bar forward
// instead of racing it for the same files.

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace kavo {

namespace platform {
class InstanceChannel;
class LoopWatch;
}  // namespace platform

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // Takes the folder's lock when no running bar holds it; a lock left by a bar that ended
  // abnormally is taken over.
  explicit SingleInstance(const QString& folder);
  ~SingleInstance() override;

  // Whether this process holds the lock, and so is the folder's bar.
  bool IsFirst() const { return first_; }

  // For a second start: asks the running bar to come forward. False when it does not answer.
  bool AskRunningBarToComeForward();

 signals:
  void ComeForwardAsked();

 private:
  QString lockPath_;
  QString channelName_;
  std::unique_ptr<QLockFile> lock_;
  bool first_ = false;
  std::unique_ptr<platform::InstanceChannel> channel_;
  // Watches the channel; goes before it.
  std::unique_ptr<platform::LoopWatch> watch_;
};

}  // namespace kavo

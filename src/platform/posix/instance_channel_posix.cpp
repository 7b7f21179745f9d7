// The later-start channel on POSIX: a Unix domain socket, mode 0600.

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/text_codec.h"
#include "platform/instance_channel.h"
#include "platform/posix/fd.h"

namespace kavo::platform {
namespace {

// A line is a short command; anything longer is not one of ours.
constexpr std::size_t kMaxLine = 256;
// A start that connected has written its line by then; one that has not is not waited for.
constexpr int kReadTimeoutMs = 500;

bool SocketAddress(std::u16string_view name, sockaddr_un& address) {
  const std::string path = ToUtf8(name);
  address = {};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return true;
}

// One line from a connected start, read until its line end, its close or the timeout.
std::string ReadLine(int fd) {
  std::string line;
  char buffer[64];
  while (line.size() < kMaxLine) {
    pollfd wait{fd, POLLIN, 0};
    if (::poll(&wait, 1, kReadTimeoutMs) <= 0) break;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    line.append(buffer, static_cast<std::size_t>(n));
    if (line.find('\n') != std::string::npos) break;
  }
  return line.substr(0, line.find('\n'));
}

class SocketChannel final : public InstanceChannel {
 public:
  SocketChannel(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~SocketChannel() override {
    ::close(fd_);
    ::unlink(path_.c_str());
  }

  std::intptr_t Waitable() const override { return fd_; }

  std::vector<std::string> TakeMessages() override {
    std::vector<std::string> lines;
    while (true) {
      const int client = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) {
        if (errno == EINTR) continue;
        break;  // EAGAIN: nobody else waits
      }
      const Fd connection(client);
      lines.push_back(ReadLine(connection.get()));
    }
    return lines;
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

std::unique_ptr<InstanceChannel> ListenForLaterStarts(std::u16string_view name, ErrorCode& error) {
  sockaddr_un address;
  if (!SocketAddress(name, address)) {
    error = ENAMETOOLONG;
    return nullptr;
  }
  Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (fd.get() < 0) {
    error = errno;
    return nullptr;
  }
  ::unlink(address.sun_path);  // a socket left by a bar that ended
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd.get(), 8) != 0) {
    error = errno;
    ::unlink(address.sun_path);
    return nullptr;
  }
  error = 0;
  return std::make_unique<SocketChannel>(fd.release(), address.sun_path);
}

bool SendToRunningInstance(std::u16string_view name, std::string_view line) {
  sockaddr_un address;
  if (!SocketAddress(name, address)) return false;
  const Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) return false;
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return false;
  }
  const std::string message = std::string(line) + '\n';
  std::size_t sent = 0;
  while (sent < message.size()) {
    const ssize_t n = ::send(fd.get(), message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

std::u16string ChannelName(std::u16string_view, std::u16string_view lockBase) {
  return std::u16string(lockBase) + u".socket";
}

}  // namespace kavo::platform

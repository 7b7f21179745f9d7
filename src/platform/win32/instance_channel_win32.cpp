// The later-start channel on Windows: a named pipe that only this user's processes may open
// (the default security of a pipe), waited on through an overlapped connect's event.

#include <windows.h>

#include "platform/instance_channel.h"
#include "platform/win32/wide.h"

namespace kavo::platform {
namespace {

constexpr DWORD kMaxLine = 256;
constexpr DWORD kReadTimeoutMs = 500;

class PipeChannel final : public InstanceChannel {
 public:
  PipeChannel(HANDLE pipe, HANDLE event) : pipe_(pipe), event_(event) {
    overlapped_.hEvent = event_;
    Arm();
  }
  ~PipeChannel() override {
    CancelIo(pipe_);
    CloseHandle(pipe_);
    CloseHandle(event_);
  }

  std::intptr_t Waitable() const override { return reinterpret_cast<std::intptr_t>(event_); }

  std::vector<std::string> TakeMessages() override {
    std::vector<std::string> lines;
    DWORD unused = 0;
    if (!connected_ && !GetOverlappedResult(pipe_, &overlapped_, &unused, FALSE)) return lines;
    lines.push_back(ReadLine());
    DisconnectNamedPipe(pipe_);
    Arm();
    return lines;
  }

 private:
  // Waits for the next start to connect; one that connected already signals at once.
  void Arm() {
    ResetEvent(event_);
    connected_ = false;
    if (ConnectNamedPipe(pipe_, &overlapped_)) return;
    const DWORD error = GetLastError();
    if (error == ERROR_PIPE_CONNECTED) {
      connected_ = true;
      SetEvent(event_);
    }
  }

  std::string ReadLine() {
    char buffer[kMaxLine];
    OVERLAPPED read{};
    read.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD got = 0;
    if (!ReadFile(pipe_, buffer, sizeof buffer, nullptr, &read) &&
        GetLastError() == ERROR_IO_PENDING &&
        WaitForSingleObject(read.hEvent, kReadTimeoutMs) != WAIT_OBJECT_0) {
      CancelIo(pipe_);
    }
    GetOverlappedResult(pipe_, &read, &got, TRUE);
    CloseHandle(read.hEvent);
    const std::string line(buffer, got);
    return line.substr(0, line.find('\n'));
  }

  HANDLE pipe_;
  HANDLE event_;
  OVERLAPPED overlapped_{};
  bool connected_ = false;
};

}  // namespace

std::unique_ptr<InstanceChannel> ListenForLaterStarts(std::u16string_view name, ErrorCode& error) {
  const HANDLE pipe =
      CreateNamedPipeW(win32::Wide(name).c_str(),
                       PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                       PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
                       1, 0, kMaxLine, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE) {
    error = static_cast<ErrorCode>(GetLastError());
    return nullptr;
  }
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!event) {
    error = static_cast<ErrorCode>(GetLastError());
    CloseHandle(pipe);
    return nullptr;
  }
  error = 0;
  return std::make_unique<PipeChannel>(pipe, event);
}

bool SendToRunningInstance(std::u16string_view name, std::string_view line) {
  const std::wstring pipeName = win32::Wide(name);
  HANDLE pipe = CreateFileW(pipeName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (pipe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PIPE_BUSY &&
      WaitNamedPipeW(pipeName.c_str(), 500)) {
    pipe = CreateFileW(pipeName.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  if (pipe == INVALID_HANDLE_VALUE) return false;
  const std::string message = std::string(line) + '\n';
  DWORD written = 0;
  const bool sent =
      WriteFile(pipe, message.data(), static_cast<DWORD>(message.size()), &written, nullptr) &&
      written == message.size();
  CloseHandle(pipe);
  return sent;
}

std::u16string ChannelName(std::u16string_view key, std::u16string_view) {
  return u"\\\\.\\pipe\\kavo-" + std::u16string(key);
}

}  // namespace kavo::platform

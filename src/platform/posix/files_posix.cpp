#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

#include "base/text_codec.h"
#include "platform/code_page.h"
#include "platform/files.h"

namespace kavo::platform {
namespace {

std::string Native(std::u16string_view path) {
  return ToUtf8(path);
}

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// A symbolic link stays a link: the file it points to is the one replaced.
std::string ResolveTarget(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved)) return resolved;
  return path;
}

std::string TempNameBeside(const std::string& target) {
  static std::minstd_rand rng(std::random_device{}());
  const auto slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  return dir + "." + base + "." + std::to_string(::getpid()) + "-" + std::to_string(rng()) + ".tmp";
}

}  // namespace

ErrorCode ReadWholeFile(std::u16string_view path, std::string& bytes) {
  Fd fd(::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return errno;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  std::string data;
  // One byte more than the size, so the read that finds the end needs no bigger buffer.
  data.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1
                                                    : 4096);
  std::size_t used = 0;
  while (true) {
    if (used == data.size()) data.resize(data.size() * 2);
    const ssize_t n = ::read(fd.get(), data.data() + used, data.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  data.resize(used);
  bytes = std::move(data);
  return 0;
}

bool IsExistingFile(std::u16string_view path) {
  struct stat st {};
  return ::stat(Native(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::u16string FullPath(std::u16string_view path) {
  std::error_code ec;
  std::filesystem::path p(Native(path));
  if (p.is_relative()) {
    const auto cwd = std::filesystem::current_path(ec);
    if (!ec) p = cwd / p;
  }
  return FromUtf8Lossy(p.lexically_normal().string());
}

std::u16string ErrorText(ErrorCode code) {
  // strerror speaks the language of the user's locale, in its character set.
  return SystemCodePage().Decode(std::strerror(code));
}

SaveResult ReplaceWholeFile(std::u16string_view path, std::string_view bytes) {
  const std::string target = ResolveTarget(Native(path));

  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists) {
    if (S_ISDIR(st.st_mode)) return {SaveStage::Create, EISDIR};
    // A rename would replace a read-only file, and root passes access(); so the mode bits decide.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return {SaveStage::Create, EACCES};
    if (::access(target.c_str(), W_OK) != 0) return {SaveStage::Create, errno};
  }

  std::string temp;
  int raw = -1;
  for (int attempt = 0; attempt < 16 && raw < 0; ++attempt) {
    temp = TempNameBeside(target);
    raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (raw < 0 && errno != EEXIST) return {SaveStage::Create, errno};
  }
  if (raw < 0) return {SaveStage::Create, EEXIST};
  Fd fd(raw);
  auto fail = [&](SaveStage stage, int code) {
    ::close(fd.release());
    ::unlink(temp.c_str());
    return SaveResult{stage, code};
  };

  if (exists) {
    // Keep the replaced file's permissions, and its owner where we may: only root can give a
    // file away, and anyone else simply owns what they write.
    [[maybe_unused]] const int chmodded = ::fchmod(fd.get(), st.st_mode & 07777);
    [[maybe_unused]] const int chowned = ::fchown(fd.get(), st.st_uid, st.st_gid);
  }

  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(SaveStage::Write, errno);
    if (n == 0) return fail(SaveStage::Write, ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  // The new content must be on disk before it takes the old one's name.
  if (::fdatasync(fd.get()) != 0) return fail(SaveStage::Write, errno);
  if (::close(fd.release()) != 0) {
    const int code = errno;
    ::unlink(temp.c_str());
    return {SaveStage::Write, code};
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    const int code = errno;
    ::unlink(temp.c_str());
    return {SaveStage::Create, code};
  }
  return {};
}

}  // namespace kavo::platform

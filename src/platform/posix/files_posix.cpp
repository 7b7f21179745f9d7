#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <utility>

#include "base/text_codec.h"
#include "platform/code_page.h"
#include "platform/files.h"
#include "platform/posix/fd.h"

namespace kavo::platform {
namespace {

// Links followed in a row before a chain counts as a loop, as the kernel counts them.
constexpr int kMaxLinkHops = 40;

std::string Native(std::u16string_view path) {
  return ToUtf8(path);
}

// "dir/" of "dir/name", empty without a folder; and "name".
std::string FolderPart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
std::string FilePart(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where a save lands: the end of a chain of symbolic links, so that a link stays a link. A link
// that points nowhere names the file to create. 0, or the error that refuses the save.
int FinalTarget(std::string path, std::string& target) {
  for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
      // A missing file is created; a loop among the folders on the way refuses the save; any
      // other failure is met, and reported, by the steps that follow.
      if (errno == ELOOP) return ELOOP;
      target = std::move(path);
      return 0;
    }
    if (!S_ISLNK(st.st_mode)) {
      target = std::move(path);
      return 0;
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0) return errno;
    link.resize(static_cast<std::size_t>(n));
    path = link.starts_with('/') ? link : FolderPart(path) + link;
  }
  return ELOOP;
}

std::string TempNameBeside(const std::string& target) {
  static std::minstd_rand rng(std::random_device{}());
  return FolderPart(target) + "." + FilePart(target) + "." + std::to_string(::getpid()) + "-" +
         std::to_string(rng()) + ".tmp";
}

// The process that wrote entry, when entry is a new file that a save of base made
// ("." base "." pid "-" number ".tmp").
std::optional<pid_t> TempFileWriter(std::string_view entry, std::string_view base) {
  // Compared piece by piece: GCC 12 warns falsely (-Wrestrict) about "." + base + ".".
  const std::size_t prefix = base.size() + 2;
  if (entry.size() < prefix + 4 || entry[0] != '.' || entry.substr(1, base.size()) != base ||
      entry[prefix - 1] != '.' || !entry.ends_with(".tmp")) {
    return std::nullopt;
  }
  const std::string_view middle = entry.substr(prefix, entry.size() - prefix - 4);
  const auto dash = middle.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 == middle.size()) return std::nullopt;
  const auto digits = [](std::string_view t) {
    return std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!digits(middle.substr(0, dash)) || !digits(middle.substr(dash + 1))) return std::nullopt;
  pid_t pid = 0;
  const auto [end, ec] = std::from_chars(middle.data(), middle.data() + dash, pid);
  if (ec != std::errc() || pid <= 0) return std::nullopt;
  return pid;
}

// A save killed before its rename leaves its new file behind; nothing else would ever remove
// it. Files of live processes (saving right now) and of this one are left alone.
void RemoveStaleTempFiles(const std::string& target) {
  const std::string folder = FolderPart(target);
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  const std::string base = FilePart(target);
  while (const dirent* entry = ::readdir(dir)) {
    const auto writer = TempFileWriter(entry->d_name, base);
    if (!writer || *writer == ::getpid()) continue;
    if (::kill(*writer, 0) == 0 || errno != ESRCH) continue;
    const std::string path = folder + entry->d_name;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

}  // namespace

ErrorCode ReadWholeFile(std::u16string_view path, std::string& bytes) {
  // O_NONBLOCK: opening a FIFO nobody writes to must not wait for a writer. Only regular files
  // are read, so the flag changes nothing for what is read.
  Fd fd(::open(Native(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) return errno;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  // A FIFO, a socket or a device (/dev/zero) is no text file, and may never end.
  if (!S_ISREG(st.st_mode)) return ENOTSUP;
  if (static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) return EFBIG;
  std::string data;
  // One byte more than the size, so the read that finds the end needs no bigger buffer.
  data.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t used = 0;
  while (true) {
    if (used == data.size()) {
      // The file grew while it was read; it still may not pass the bound.
      if (used > kMaxReadBytes) return EFBIG;
      data.resize(std::min<std::size_t>(data.size() * 2, kMaxReadBytes + 1));
    }
    const ssize_t n = ::read(fd.get(), data.data() + used, data.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  if (used > kMaxReadBytes) return EFBIG;
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

std::u16string WithSeparator(std::u16string folder) {
  if (folder.empty() || folder.back() != u'/') folder += u'/';
  return folder;
}

std::u16string UserConfigFolder() {
  // XDG Base Directory: a relative XDG_CONFIG_HOME is to be ignored.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const auto withoutSlash = [](std::string folder) {
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder;
  };
  std::string base;
  if (config && config[0] == '/') {
    base = withoutSlash(config);
  } else {
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
      const passwd* entry = ::getpwuid(::getuid());
      home = entry && entry->pw_dir ? entry->pw_dir : "/";
    }
    base = withoutSlash(home) + "/.config";
  }
  return FromUtf8Lossy(base + "/kavo/");
}

bool IsWritableFolder(std::u16string_view folder) {
  struct stat st {};
  const std::string path = Native(folder);
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         ::access(path.c_str(), W_OK | X_OK) == 0;
}

ErrorCode CreateFolders(std::u16string_view folder) {
  const std::string path = Native(folder);
  for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
    const std::string part = path.substr(0, end);
    if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (end == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

std::u16string ErrorText(ErrorCode code) {
  // strerror speaks the language of the user's locale, in its character set.
  return SystemCodePage().Decode(std::strerror(code));
}

// Writes bytes over the file's own content, for a file that may be written in a folder where no
// file may be created. Space for the new content is taken first, so that the disk cannot run
// full half-way; a write that fails all the same puts the old content back as far as it can.
static SaveResult RewriteInPlace(const std::string& target, std::string_view bytes) {
  const int raw = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (raw < 0) return {SaveStage::Create, errno};
  Fd fd(raw);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return {SaveStage::Create, errno};
  if (!S_ISREG(st.st_mode)) return {SaveStage::Create, ENOTSUP};
  if (static_cast<std::uint64_t>(st.st_size) > kMaxReadBytes) return {SaveStage::Create, EFBIG};
  std::string old(static_cast<std::size_t>(st.st_size), '\0');
  for (std::size_t got = 0; got < old.size();) {
    const ssize_t n =
        ::pread(fd.get(), old.data() + got, old.size() - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {SaveStage::Create, errno};
    if (n == 0) {
      old.resize(got);
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  if (bytes.size() > old.size()) {
    const int code = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(bytes.size()));
    // Some file systems cannot reserve space: the write finds out.
    if (code != 0 && code != EOPNOTSUPP && code != EINVAL) return {SaveStage::Write, code};
  }
  const auto writeAll = [&](std::string_view content) {
    std::size_t done = 0;
    while (done < content.size()) {
      const ssize_t n = ::pwrite(fd.get(), content.data() + done, content.size() - done,
                                 static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return errno;
      if (n == 0) return ENOSPC;
      done += static_cast<std::size_t>(n);
    }
    if (::ftruncate(fd.get(), static_cast<off_t>(content.size())) != 0) return errno;
    return ::fdatasync(fd.get()) != 0 ? errno : 0;
  };
  if (const int code = writeAll(bytes)) {
    [[maybe_unused]] const int restored = writeAll(old);
    return {SaveStage::Write, code};
  }
  return {};
}

SaveResult ReplaceWholeFile(std::u16string_view path, std::string_view bytes) {
  std::string target;
  if (const int code = FinalTarget(Native(path), target)) return {SaveStage::Create, code};
  RemoveStaleTempFiles(target);

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
    // No new file in this folder, yet the file itself may be written: rewritten in place.
    if (raw < 0 && exists && (errno == EACCES || errno == EPERM || errno == EROFS)) {
      const int code = errno;
      const SaveResult inPlace = RewriteInPlace(target, bytes);
      return inPlace.stage == SaveStage::Create ? SaveResult{SaveStage::Create, code} : inPlace;
    }
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

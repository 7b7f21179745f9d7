// A save replaces its file only once every byte is written; a failed one leaves it untouched.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>

#include <cstring>
#include <filesystem>

#include "as_test_user.h"
#include "base/errors.h"
#include "bindings/key_list.h"
#include "platform/code_page.h"
#include "test_support.h"

namespace kavo {
namespace {

namespace fs = std::filesystem;

class SafeSaveTest : public testing::Test {
 protected:
  KeyList Defaults() const {
    KeyList list;
    for (const auto& line : DefaultBindings()) list.Add(line);
    return list;
  }
  std::vector<std::string> Entries(const std::string& folder) const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  platform::ScopedCodePage codePage_{1252};
  test::TempDir dir_;
  const std::string saved_ = "Undo,Ctrl,Z\r\nCut,Ctrl,X\r\nCopy,Ctrl,C\r\nPast,Ctrl,V\r\n";
};

TEST_F(SafeSaveTest, ReplacesTheFileAndLeavesNothingElseBehind) {
  test::WriteBytes(dir_.Native("k.txt"), "old content that is longer than the new one ...........");
  Defaults().SaveToFile(dir_.File("k.txt"));
  EXPECT_EQ(test::ReadBytes(dir_.Native("k.txt")), saved_);
  EXPECT_EQ(Entries(dir_.path()), std::vector<std::string>{"k.txt"});
}

#ifndef _WIN32
TEST_F(SafeSaveTest, KeepsPermissionsAndFollowsSymbolicLinks) {
  const std::string target = dir_.Native("real.txt");
  test::WriteBytes(target, "old");
  ::chmod(target.c_str(), 0640);
  fs::create_symlink(target, dir_.Native("link.txt"));
  Defaults().SaveToFile(dir_.File("link.txt"));
  EXPECT_TRUE(fs::is_symlink(dir_.Native("link.txt")));
  EXPECT_EQ(test::ReadBytes(target), saved_);
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // A link to a file not there yet creates it, through a chain of links, relative ones
  // resolved from their own folder; the links stay links.
  fs::create_directory(dir_.Native("sub"));
  fs::create_symlink("sub/hop.txt", dir_.Native("dangling.txt"));
  fs::create_symlink("new-target.txt", dir_.Native("sub/hop.txt"));
  Defaults().SaveToFile(dir_.File("dangling.txt"));
  EXPECT_TRUE(fs::is_symlink(dir_.Native("dangling.txt")));
  EXPECT_TRUE(fs::is_symlink(dir_.Native("sub/hop.txt")));
  EXPECT_EQ(test::ReadBytes(dir_.Native("sub/new-target.txt")), saved_);

  const mode_t mask = ::umask(022);
  Defaults().SaveToFile(dir_.File("new.txt"));
  ::umask(mask);
  EXPECT_EQ(fs::status(dir_.Native("new.txt")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                fs::perms::others_read);
}
#endif

TEST_F(SafeSaveTest, TargetsThatCannotBeReplacedAreTheCreateErrorAndStayUntouched) {
  const std::string readOnly = dir_.Native("ro.txt");
  test::WriteBytes(readOnly, "keep me");
  test::SetReadOnly(readOnly);
  fs::create_directory(dir_.Native("folder.txt"));

  struct Case {
    std::string path;
    std::string reason;
  };
  std::vector<Case> cases = {
      {readOnly, test::FailureText(test::Failure::Denied)},
      {dir_.Native("missing/k.txt"), test::FailureText(test::Failure::NoSuchFolder)},
      {dir_.Native("folder.txt"), test::FailureText(test::Failure::ReplaceFolder)},
  };
  std::vector<std::string> left = {"folder.txt", "ro.txt"};
#ifndef _WIN32
  // Links that point at each other, directly or as a folder on the way.
  fs::create_symlink("loop-b.txt", dir_.Native("loop-a.txt"));
  fs::create_symlink("loop-a.txt", dir_.Native("loop-b.txt"));
  fs::create_symlink("loop-dir", dir_.Native("loop-dir"));
  cases.push_back({dir_.Native("loop-a.txt"), test::FailureText(test::Failure::LinkLoop)});
  cases.push_back({dir_.Native("loop-dir/k.txt"), test::FailureText(test::Failure::LinkLoop)});
  left = {"folder.txt", "loop-a.txt", "loop-b.txt", "loop-dir", "ro.txt"};
#endif
  for (const auto& c : cases) {
    try {
      Defaults().SaveToFile(test::U16(c.path));
      ADD_FAILURE() << c.path << " saved";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "ファイル \"" + c.path + "\" を作成できません。" + c.reason);
    }
  }
  EXPECT_EQ(test::ReadBytes(readOnly), "keep me");
  EXPECT_EQ(Entries(dir_.path()), left);
#ifndef _WIN32
  EXPECT_TRUE(fs::is_symlink(dir_.Native("loop-a.txt")));
#endif
}

// A save killed before it renamed its new file leaves that file behind; the next save removes
// such files of processes that have ended, and only those.
TEST_F(SafeSaveTest, NewFilesLeftByEndedProcessesAreRemovedBeforeSaving) {
  // No system gives out process ids this high.
  const std::string ended = "999999996";
#ifdef _WIN32
  const auto temp = [](const std::string& file, const std::string& rest) {
    return file + "." + rest;
  };
  const std::string own = std::to_string(GetCurrentProcessId());
#else
  const auto temp = [](const std::string& file, const std::string& rest) {
    return "." + file + "." + rest;
  };
  const std::string own = std::to_string(::getpid());
#endif
  const std::vector<std::string> stale = {temp("k.txt", ended + "-12345.tmp"),
                                          temp("k.txt", ended + "-1.tmp")};
  std::vector<std::string> kept = {
      temp("k.txt", own + "-7.tmp"),        // this process's own
      temp("other.txt", ended + "-1.tmp"),  // another file's
      temp("k.txt", ended + "-x.tmp"),      // not a name a save makes
      temp("k.txt", ended + ".tmp"),        //
      "k.txt." + ended + "-1.bak",          //
  };
#ifndef _WIN32
  kept.push_back(temp("k.txt", std::to_string(::getppid()) + "-3.tmp"));  // a live process's
#endif
  for (const auto& name : stale) test::WriteBytes(dir_.Native(name), "partial");
  for (const auto& name : kept) test::WriteBytes(dir_.Native(name), "partial");
  Defaults().SaveToFile(dir_.File("k.txt"));
  kept.push_back("k.txt");
  std::sort(kept.begin(), kept.end());
  EXPECT_EQ(Entries(dir_.path()), kept);
}

#ifndef _WIN32
// On Windows a folder's write permission is an ACL and mounting needs privileges: not tried.
// Where no new file can be made beside it, a file that may be written is rewritten in place;
// one that may not, or a new one, is the create error.
TEST_F(SafeSaveTest, InAFolderWithoutWritePermissionAWritableFileIsRewrittenInPlace) {
  const std::string folder = dir_.Native("locked");
  fs::create_directory(folder);
  test::WriteBytes(folder + "/writable.txt", std::string(500, 'x'));  // longer than the new
  test::WriteBytes(folder + "/short.txt", "A,B\r\n");                 // shorter
  test::WriteBytes(folder + "/readonly.txt", "keep me");
  ::chmod((folder + "/readonly.txt").c_str(), 0444);
  ::chmod(folder.c_str(), 0555);
  test::AsUnprivilegedUser(dir_.path(), [&] {
    for (const char* name : {"writable.txt", "short.txt"}) {
      Defaults().SaveToFile(test::U16(folder + "/" + name));
      EXPECT_EQ(test::ReadBytes(folder + "/" + name), saved_) << name;
    }
    EXPECT_THROW(Defaults().SaveToFile(test::U16(folder + "/readonly.txt")), EFCreateError);
    EXPECT_THROW(Defaults().SaveToFile(test::U16(folder + "/new.txt")), EFCreateError);
    EXPECT_EQ(test::ReadBytes(folder + "/readonly.txt"), "keep me");
  });
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(Entries(folder),
            (std::vector<std::string>{"readonly.txt", "short.txt", "writable.txt"}));
}

// A file system too small for the new content: the write fails and the old file survives.
class FullDiskTest : public SafeSaveTest {
 protected:
  void SetUp() override {
    mount_ = dir_.Native("tiny");
    fs::create_directory(mount_);
    if (::mount("tmpfs", mount_.c_str(), "tmpfs", 0, "size=16k") != 0) {
      GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << ")";
    }
    mounted_ = true;
  }
  void TearDown() override {
    if (mounted_) ::umount(mount_.c_str());
  }
  std::string mount_;
  bool mounted_ = false;
};

TEST_F(FullDiskTest, FailedWriteIsTheWriteErrorAndKeepsThePreviousFile) {
  const std::string file = mount_ + "/k.txt";
  Defaults().SaveToFile(test::U16(file));
  KeyList big;
  for (int i = 0; i < 5000; ++i) big.Add(u"A rather long caption for a binding,Ctrl,Shift,Z");
  try {
    big.SaveToFile(test::U16(file));
    ADD_FAILURE() << "saved";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "ストリームへの書き込みエラー");
  }
  EXPECT_EQ(test::ReadBytes(file), saved_);
  EXPECT_EQ(Entries(mount_), std::vector<std::string>{"k.txt"});
}
#endif  // folder permissions and a small file system: POSIX only

}  // namespace
}  // namespace kavo

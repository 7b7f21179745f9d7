// A save replaces its file only once every byte is written; a failed one leaves it untouched.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#endif

#include <cstring>
#include <filesystem>

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

  const struct {
    std::string path;
    std::string reason;
  } cases[] = {
      {readOnly, test::FailureText(test::Failure::Denied)},
      {dir_.Native("missing/k.txt"), test::FailureText(test::Failure::NoSuchFolder)},
      {dir_.Native("folder.txt"), test::FailureText(test::Failure::ReplaceFolder)},
  };
  for (const auto& c : cases) {
    try {
      Defaults().SaveToFile(test::U16(c.path));
      ADD_FAILURE() << c.path << " saved";
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "ファイル \"" + c.path + "\" を作成できません。" + c.reason);
    }
  }
  EXPECT_EQ(test::ReadBytes(readOnly), "keep me");
  EXPECT_EQ(Entries(dir_.path()), (std::vector<std::string>{"folder.txt", "ro.txt"}));
}

#ifndef _WIN32
// On Windows a folder's write permission is an ACL and mounting needs privileges: not tried.
TEST_F(SafeSaveTest, FolderWithoutWritePermissionIsTheCreateError) {
  if (test::IsPrivileged()) GTEST_SKIP() << "root writes into any folder";
  const std::string folder = dir_.Native("locked");
  fs::create_directory(folder);
  test::WriteBytes(folder + "/k.txt", "keep me");
  ::chmod(folder.c_str(), 0555);
  EXPECT_THROW(Defaults().SaveToFile(test::U16(folder + "/k.txt")), EFCreateError);
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(test::ReadBytes(folder + "/k.txt"), "keep me");
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

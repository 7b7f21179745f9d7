// Where the two files live: the folder asked for, a portable copy's own, or the user's config
// folder for an installed or read-only copy.

#include "settings/home_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#ifndef _WIN32
#include <sys/mount.h>
#include <sys/stat.h>
#endif

#include "platform/files.h"
#include "test_support.h"

namespace kavo {
namespace {

namespace fs = std::filesystem;
using test::U16;

#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';

// Sets an environment variable for the scope, putting back what was there.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};
#endif

class HomeFolderTest : public testing::Test {
 protected:
  std::string Folder(const std::string& name) {
    fs::create_directories(dir_.Native(name));
    return dir_.Native(name) + kSep;
  }
  test::TempDir dir_;
};

TEST_F(HomeFolderTest, FilesBesideAProgramThatCannotWriteThereStartTheConfigFoldersOnce) {
  const std::string program = Folder("readonly");
  test::WriteBytes(program + "KavoKey.txt", "Redo,Ctrl,Y\r\n");
  test::WriteBytes(program + "Kavo.ini", "[Form]\r\nTop=7\r\n");
  const std::string config = dir_.Native("config") + kSep + "kavo" + kSep;
  const Home home{U16(config), HomeKind::UserConfig};
  SeedHomeFromProgramFolder(home, U16(program));
  EXPECT_EQ(test::ReadBytes(config + "KavoKey.txt"), "Redo,Ctrl,Y\r\n");
  EXPECT_EQ(test::ReadBytes(config + "Kavo.ini"), "[Form]\r\nTop=7\r\n");
  // Copied once: the user's own files from then on are never replaced.
  test::WriteBytes(config + "KavoKey.txt", "Mine,Ctrl,M\r\n");
  fs::remove(config + "Kavo.ini");
  test::WriteBytes(program + "KavoKey.txt", "Changed,Ctrl,C\r\n");
  SeedHomeFromProgramFolder(home, U16(program));
  EXPECT_EQ(test::ReadBytes(config + "KavoKey.txt"), "Mine,Ctrl,M\r\n");
  EXPECT_TRUE(fs::exists(config + "Kavo.ini"));
  // A home of any other kind takes nothing.
  const std::string portable = Folder("portable");
  SeedHomeFromProgramFolder({U16(portable), HomeKind::Portable}, U16(program));
  EXPECT_FALSE(fs::exists(portable + "KavoKey.txt"));
}

TEST_F(HomeFolderTest, AFolderGivenOnTheCommandLineIsUsedAsItIsMadeAbsolute) {
  const std::string program = Folder("portable");
  const Home given = ChooseHome(U16(dir_.Native("elsewhere")), U16(program));
  EXPECT_EQ(given.folder, U16(dir_.Native("elsewhere") + kSep));
  EXPECT_EQ(given.kind, HomeKind::Chosen);

  const auto cwd = fs::current_path();
  fs::current_path(dir_.path());
  const Home relative = ChooseHome(u"sub/../bars/one/", U16(program));
  fs::current_path(cwd);
  EXPECT_EQ(relative.folder, U16(dir_.Native("bars") + kSep + "one" + kSep));
}

TEST_F(HomeFolderTest, APortableCopyKeepsItsFilesInItsOwnFolder) {
  const std::string program = Folder("portable");
  const Home home = ChooseHome(u"", U16(program));
  EXPECT_EQ(home.folder, U16(program));
  EXPECT_EQ(home.kind, HomeKind::Portable);
}

#ifndef _WIN32
TEST_F(HomeFolderTest, AnInstalledCopyUsesTheConfigFolderFromTheEnvironment) {
  const std::string program = Folder("usr/bin");
  fs::create_directories(dir_.Native("usr/share/kavo"));
  test::WriteBytes(dir_.Native("usr/share/kavo/installed"), "");
  const std::string home = Folder("home");
  const ScopedEnv homeVariable("HOME", home.c_str());
  const struct {
    const char* config;
    std::string folder;
  } cases[] = {
      {nullptr, home + ".config/kavo/"},
      {"relative/config", home + ".config/kavo/"},  // not absolute: ignored
      {"/xdg/config/", "/xdg/config/kavo/"},
  };
  for (const auto& c : cases) {
    const ScopedEnv config("XDG_CONFIG_HOME", c.config);
    const Home chosen = ChooseHome(u"", U16(program));
    EXPECT_EQ(chosen.folder, U16(c.folder)) << (c.config ? c.config : "unset");
    EXPECT_EQ(chosen.kind, HomeKind::UserConfig);
  }
}

TEST_F(HomeFolderTest, APortableCopyOnAReadOnlyMediumFallsBackToTheConfigFolder) {
  const std::string program = Folder("medium");
  bool mounted = false;
  if (test::IsPrivileged()) {
    // Root writes into any folder, but not onto a read-only file system.
    mounted = ::mount("tmpfs", program.c_str(), "tmpfs", MS_RDONLY, "size=16k") == 0;
    if (!mounted) GTEST_SKIP() << "cannot mount a read-only tmpfs here";
  } else {
    ::chmod(program.c_str(), 0555);
  }
  const ScopedEnv config("XDG_CONFIG_HOME", dir_.Native("config").c_str());
  const Home home = ChooseHome(u"", U16(program));
  if (mounted) ::umount(program.c_str());
  EXPECT_EQ(home.folder, U16(dir_.Native("config") + "/kavo/"));
  EXPECT_EQ(home.kind, HomeKind::UserConfig);
}

TEST_F(HomeFolderTest, FoldersAreCreatedWithTheirMissingParentsForThisUserOnly) {
  const std::string folder = dir_.Native("a/b/kavo/");
  EXPECT_EQ(platform::CreateFolders(U16(folder)), 0);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(platform::CreateFolders(U16(folder)), 0);  // already there
  test::WriteBytes(dir_.Native("file"), "");
  EXPECT_EQ(platform::CreateFolders(U16(dir_.Native("file/kavo/"))), ENOTDIR);
}
#endif

}  // namespace
}  // namespace kavo

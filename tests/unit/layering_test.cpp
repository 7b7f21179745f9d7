// The tree's floors: every #include of the program's sources goes to the folder's own floor or
// one below it, as the table says. A new edge that goes the wrong way (the core reaching a
// window, one backend another) fails here before it settles in.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace kavo {
namespace {

namespace fs = std::filesystem;

// Which folders each folder's files may include from, besides its own.
const std::map<std::string, std::set<std::string>>& AllowedIncludes() {
  static const std::map<std::string, std::set<std::string>> allowed = {
      {"base", {}},
      // The ports, and the one place that chooses a backend for the session.
      {"platform", {"base", "platform/x11", "platform/wayland", "platform/kde", "platform/win32"}},
      {"platform/common", {"platform", "base"}},
      {"platform/posix", {"platform", "base"}},
      {"platform/win32", {"platform", "base"}},
      {"platform/x11", {"platform/common", "platform", "base"}},
      {"platform/wayland", {"platform/common", "platform", "base"}},
      // KDE Plasma's backend is built on what the Wayland backends share.
      {"platform/kde", {"platform/wayland", "platform/common", "platform", "base"}},
      {"platform/fake", {"platform", "base"}},
      {"files", {"platform", "base"}},
      {"bindings", {"files", "platform", "base"}},
      {"settings", {"files", "platform", "base"}},
      {"widgets", {"base"}},
      {"ui", {"widgets", "bindings", "settings", "files", "platform", "base"}},
      {"app", {"ui", "widgets", "bindings", "settings", "files", "platform", "base"}},
  };
  return allowed;
}

// Folders whose code is plain standard C++ with the OS reached only through the ports.
const std::set<std::string> kCore = {"base", "files", "bindings", "settings"};

struct Source {
  std::string folder;  // relative to src/ ("ui", "platform/x11"), or "app"
  std::string path;    // for messages
  std::string text;
};

std::vector<Source> ProgramSources() {
  const fs::path root(KAVO_SOURCE_DIR);
  std::vector<Source> sources;
  for (const fs::path& top : {root / "src", root / "app"}) {
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string text((std::istreambuf_iterator<char>(in)), {});
      const fs::path folder = entry.path().parent_path();
      const std::string name = top.filename() == "app"
                                   ? "app"
                                   : folder.lexically_relative(root / "src").generic_string();
      sources.push_back({name, entry.path().lexically_relative(root).generic_string(), text});
    }
  }
  return sources;
}

// The folders of the project's own includes: "ui/Unit2.h" is in "ui"; a bare name is the
// file's own folder (or a generated file beside it).
std::vector<std::string> IncludedFolders(const std::string& text) {
  static const std::regex include(R"re(#include\s+"([^"]+)")re");
  std::vector<std::string> folders;
  for (std::sregex_iterator it(text.begin(), text.end(), include), end; it != end; ++it) {
    const std::string path = (*it)[1];
    if (const auto slash = path.rfind('/'); slash != std::string::npos) {
      folders.push_back(path.substr(0, slash));
    }
  }
  return folders;
}

TEST(Layering, EveryIncludeGoesToTheSameFloorOrBelow) {
  const std::vector<Source> sources = ProgramSources();
  ASSERT_GT(sources.size(), 50u) << "the sources were not found under " << KAVO_SOURCE_DIR;
  for (const Source& source : sources) {
    const auto rule = AllowedIncludes().find(source.folder);
    ASSERT_NE(rule, AllowedIncludes().end())
        << source.path << ": its folder has no place in the table; give it one";
    for (const std::string& folder : IncludedFolders(source.text)) {
      if (folder == source.folder) continue;
      EXPECT_TRUE(rule->second.contains(folder)) << source.path << " includes from " << folder
                                                 << ", which " << source.folder << " may not use";
    }
  }
}

TEST(Layering, TheCoreUsesNoToolkitAndNoSystemHeaders) {
  static const std::regex foreign(
      R"re(#include\s+<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]+|windows\.h|X11/[^>]+|unistd\.h|wayland-[^>]+)>)re");
  for (const Source& source : ProgramSources()) {
    if (!kCore.contains(source.folder)) continue;
    std::smatch match;
    EXPECT_FALSE(std::regex_search(source.text, match, foreign))
        << source.path << " includes " << match.str();
  }
}

// Code for one system or another is chosen by the build among platform's folders; elsewhere
// there are no branches on the system.
TEST(Layering, SystemBranchesStayInThePlatformFolders) {
  static const std::regex branch(R"re(#\s*if(n?def)?\s*[(!]*\s*(defined\s*\(\s*)?_WIN32)re");
  for (const Source& source : ProgramSources()) {
    if (source.folder.starts_with("platform")) continue;
    EXPECT_FALSE(std::regex_search(source.text, branch)) << source.path;
  }
}

}  // namespace
}  // namespace kavo

#include "settings/home_folder.h"

#include "base/errors.h"
#include "files/file_io.h"
#include "platform/files.h"

namespace kavo {

using platform::WithSeparator;

Home ChooseHome(std::u16string_view requested, std::u16string_view programFolder) {
  if (!requested.empty()) return {WithSeparator(platform::FullPath(requested)), HomeKind::Chosen};
  const std::u16string program(programFolder);
  const bool installed = platform::IsExistingFile(program + std::u16string(kInstalledMarker));
  if (!installed && platform::IsWritableFolder(program)) {
    return {WithSeparator(program), HomeKind::Portable};
  }
  return {platform::UserConfigFolder(), HomeKind::UserConfig};
}

void SeedHomeFromProgramFolder(const Home& home, std::u16string_view programFolder) {
  if (home.kind != HomeKind::UserConfig) return;
  const std::u16string program = WithSeparator(std::u16string(programFolder));
  if (program == home.folder) return;
  for (const std::u16string_view name : {u"Kavo.ini", u"KavoKey.txt"}) {
    const std::u16string from = program + std::u16string(name);
    const std::u16string to = home.folder + std::u16string(name);
    if (!platform::IsExistingFile(from) || platform::IsExistingFile(to)) continue;
    const std::string bytes = ReadFileBytes(from);
    PrepareHomeFor(home.folder, to);
    WriteFileBytes(to, bytes);
  }
}

void PrepareHomeFor(std::u16string_view home, std::u16string_view file) {
  if (!file.starts_with(home) || platform::IsWritableFolder(home)) return;
  if (const platform::ErrorCode code = platform::CreateFolders(home)) {
    throw EFCreateError(platform::FullPath(file), platform::ErrorText(code));
  }
}

}  // namespace kavo

#include "settings/home_folder.h"

#include "base/errors.h"
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

void PrepareHomeFor(std::u16string_view home, std::u16string_view file) {
  if (!file.starts_with(home) || platform::IsWritableFolder(home)) return;
  if (const platform::ErrorCode code = platform::CreateFolders(home)) {
    throw EFCreateError(platform::FullPath(file), platform::ErrorText(code));
  }
}

}  // namespace kavo

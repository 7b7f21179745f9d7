#include "platform/system.h"

namespace kavo::platform {

std::u16string ExecutableFileName() {
  const std::u16string path = ExecutablePath();
  return path.substr(FolderOf(path).size());
}

}  // namespace kavo::platform

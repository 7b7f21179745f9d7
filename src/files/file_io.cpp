#include "files/file_io.h"

#include "base/errors.h"
#include "platform/files.h"

namespace kavo {

std::string ReadFileBytes(std::u16string_view path) {
  std::string bytes;
  if (const platform::ErrorCode code = platform::ReadWholeFile(path, bytes)) {
    throw EFOpenError(platform::FullPath(path), platform::ErrorText(code));
  }
  return bytes;
}

void WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  const platform::SaveResult result = platform::ReplaceWholeFile(path, bytes);
  switch (result.stage) {
    case platform::SaveStage::Done:
      return;
    case platform::SaveStage::Create:
      throw EFCreateError(platform::FullPath(path), platform::ErrorText(result.code));
    case platform::SaveStage::Write:
      throw EWriteError();
  }
}

}  // namespace kavo

#include "app/data_folder.h"

#include <filesystem>
#include <system_error>

bool DataFolderPresent() {
  std::error_code error;
  return std::filesystem::is_directory("graphics", error);
}

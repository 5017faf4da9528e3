#include "app/error_box.h"

#include <iostream>

void ReportError(const std::string& line) {
  std::cerr << line << '\n' << std::flush;
  ShowErrorToPlayer(line);
}

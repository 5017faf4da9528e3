#include "app/error_box.h"

void ShowErrorToPlayer(const std::string&) {}

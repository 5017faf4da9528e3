#include "app/application.h"

int main(int argc, char** argv) {
  return CApplication::Instance().Run(argc, argv);
}

// jq_sfx <folder>: writes every sound of the game into <folder>/sounds/.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "tools/sfx/effects.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: jq_sfx <build folder>\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/" + SOUND_FOLDER;
  mkdir(folder.c_str(), 0755);
  for (int i = 0; i < SOUND_COUNT; ++i) {
    const std::string path = folder + "/" + SOUND_FILES[i];
    if (!WriteWav(path, MakeSound(static_cast<SoundId>(i)))) {
      std::fprintf(stderr, "jq_sfx: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

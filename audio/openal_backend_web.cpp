#include "audio/openal_backend.h"

// The browser says nothing on standard error about its sound, and its OpenAL
// has no limiter to ask for.
void QuietenOpenALBackend() {}

const ALCint* OpenALContextAttributes(ALCdevice*) {
  return nullptr;
}

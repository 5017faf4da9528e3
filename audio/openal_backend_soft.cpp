#include <AL/alext.h>
#include <alsa/asoundlib.h>

#include <cstdlib>

#include "audio/openal_backend.h"

namespace {
// ALSA reports a missing sound card on standard error by default; the game is
// silent about it.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

// Many sounds at once sum past full scale: OpenAL Soft's limiter keeps them from
// clipping where it has one.
const ALCint LIMITED[] = {ALC_OUTPUT_LIMITER_SOFT, ALC_TRUE, 0};
}  // namespace

void QuietenOpenALBackend() {
  // A player who sets the log level himself keeps it.
  setenv("ALSOFT_LOGLEVEL", "0", 0);
  snd_lib_error_set_handler(QuietAlsa);
}

const ALCint* OpenALContextAttributes(ALCdevice* device) {
  return alcIsExtensionPresent(device, "ALC_SOFT_output_limiter") ? LIMITED : nullptr;
}

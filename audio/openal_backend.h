#pragma once

#include <AL/alc.h>

// What the OpenAL sink needs of the OpenAL beneath it that differs by platform:
// OpenAL Soft over ALSA on Linux (openal_backend_soft.cpp), the browser's Web
// Audio behind emscripten's OpenAL (openal_backend_web.cpp).

// Keeps the sound libraries quiet on standard error; called before OpenAL first
// looks at its settings and devices.
void QuietenOpenALBackend();

// The attributes a new context gets on this device (0-terminated), or nullptr.
const ALCint* OpenALContextAttributes(ALCdevice* device);

// Playing a WAV file through ALSA's default device.
#pragma once

#include "platform/win/types.h"

// Plays the sound file (path view) synchronously: returns when it has finished. Any file that
// libsndfile reads is played, converted to 16-bit samples at its own rate and channel count.
// A missing or unreadable file, or no usable sound device, plays nothing and returns FALSE
// (SND_NODEFAULT: there is no default sound to fall back on, so it is implied). Files with
// more than 8 channels or a rate outside 1 kHz..384 kHz are taken for damaged and refused
// (ERROR_NOT_SUPPORTED, as for files libsndfile cannot read); without a device the error is
// ERROR_DEVICE_NOT_CONNECTED. A file without samples returns TRUE and needs no device. A null
// path returns TRUE at once. SND_ASYNC, SND_LOOP and SND_MEMORY are not offered and return
// FALSE (ERROR_NOT_SUPPORTED).
BOOL sndPlaySoundW(LPCWSTR soundName, UINT flags);

// Glue between program start-up and the backend's audio device; never included by the game.
#pragma once

// Opens the audio device and starts mixing into it (mixSoundChannels, backend.h). Without a device the
// channels still run, in step with the clock, and nothing is heard.
void openSoundDevice();

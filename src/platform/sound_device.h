// Glue between the sound module and program start-up; never included outside src/platform/.
#pragma once

// Opens the audio device and starts mixing into it. Without a device the channels still run, in step
// with the clock, and nothing is heard.
void openSoundDevice();

// Finding the synthesizer's SoundFont and reading it on a thread of its own,
// so that the first picture never waits for a font of a hundred megabytes.
// A load in progress can be abandoned at any moment (the game closes, or
// --list-ports only counts the ports).
#pragma once

#include <fluidsynth.h>

#include <functional>
#include <string>

namespace platform::desktop {

// The SoundFont the synthesizer loads: $TONQUILL_SOUNDFONT when set, else
// the first of Debian's GM SoundFonts that exists; "" when none does.
std::string FindSoundFont();

// Whether the file begins as a SoundFont does (a RIFF form of type sfbk);
// reads 12 bytes, never the font.
bool LooksLikeSoundFont(const std::string& path);

// Loads the font into the synthesizer on a new thread and calls
// finished(true) there once every preset is usable, finished(false) when
// the font cannot be read. An abandoned load calls nothing.
void StartLoadingSoundFont(fluid_synth_t* synth, const std::string& path, std::function<void(bool)> finished);

// Abandons the load in progress, if any, and waits for its thread to end;
// afterwards the synthesizer may be deleted. Called by the main thread.
void StopLoadingSoundFont();

// Tests: while held, a load waits before it reads the font, so that the
// synthesizer can be seen before it is ready.
void HoldSoundFontLoading(bool held);

}  // namespace platform::desktop

// DEMO lights the keys of the guide part's notes while they sound, in the
// look of the note to play, so a learner can watch the part before playing
// it; the keys go dark when the run stops.
#pragma once

namespace game {

// A note of the guide part started (on) or ended in DEMO.
void ShowDemoNote(int note, bool on);
// Every key DEMO lit goes dark (the run stopped).
void DarkenDemoKeys();

}  // namespace game

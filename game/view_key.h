// The view step: Tab steps what the main screen shows above and on the
// piano keys, plain -> names -> names and the notes ahead -> plain, and the
// choice is kept for the next start. At a player's first start the lyric
// bar says which key shows the notes ahead, once.
#pragma once

#include <string>

namespace game {

// Once per frame of the main scene: Tab steps the view.
void RunViewKey();
// The next view, kept in the settings; the keys are drawn again for it.
void StepView();
// At start-up, after the settings are read: a player who has never been
// told gets the hint in the lyric bar this run, and it is noted as told.
void NoteFirstStart();
// The hint while it is due: from the first start until the first run
// starts, the view key is pressed or a part is chosen; empty otherwise.
std::string NotesAheadHintDue();
// The player chose something else to see in the bar: the hint is done.
void DismissNotesAheadHint();

}  // namespace game

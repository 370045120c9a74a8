// The main screen's panels: title, position, signature, tempo, verdict,
// score, lyric bar and lit keys.
#pragma once

namespace game {

// Redraws the title panel with the current song title.
void DrawTitlePanel();

}  // namespace game

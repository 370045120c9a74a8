#include "game/button_faces.h"

#include "draw/redraw.h"
#include "draw/text.h"
#include "game/adaptive_loop.h"
#include "game/controls.h"
#include "game/main_command.h"
#include "game/panels.h"
#include "game/part_button.h"
#include "player/passage_loop.h"
#include "player/playback_clock.h"

namespace game {

static constexpr int kBevelWidth = 3;
static constexpr int kFaceTextHeight = 12;                // single-byte characters 6 pixels wide
static constexpr std::uint32_t kFaceTextColour = 0x3C241C;  // the artwork's button text, as 0x00BBGGRR
static constexpr std::uint32_t kDimmedTextColour = 0xA09890;

// "3-6" for a loop over measures 3 to 6 (as the measure panel counts them),
// "3-6 auto" when it sets its own speed, "3-" while only its start is marked.
static std::string LoopFaceText() {
  switch (player::LoopStage()) {
    case player::kLoopStartMarked: return std::to_string(player::LoopFirstMeasure() + 1) + "-";
    case player::kLoopSet: {
      const std::string range = std::to_string(player::LoopFirstMeasure() + 1) + "-" + std::to_string(player::LoopLastMeasure() + 1);
      // The self-setting loop says so, shorter where the range is long.
      if (!AdaptiveLoopOn()) return range;
      return range + (range.size() <= 5 ? " auto" : "A");
    }
    default: return "LOOP";
  }
}

std::string ButtonFaceText(int button) {
  switch (button) {
    case kButtonPart: return PartButtonFaceText();
    case kButtonSpeed: return std::to_string(player::PlaybackSpeedPercent()) + "%";
    case kButtonLoop: return LoopFaceText();
    default: return {};
  }
}

ButtonFace ButtonFaceOf(int button) {
  const bool gamePlays = player::PlayState() == player::kPlaying && player::RunMode() == player::PlayMode::Game;
  return {ButtonFaceText(button), button == kButtonLoop && gamePlays};
}

void DrawButtonFace(int button) {
  const ButtonFace face = ButtonFaceOf(button);
  const std::string& text = face.text;
  if (text.empty()) return;
  const SourceRect r = ButtonRect(button);
  RestoreBackground({r.left + kBevelWidth, r.top + kBevelWidth, r.right - kBevelWidth, r.bottom - kBevelWidth});
  const int width = static_cast<int>(text.size()) * kFaceTextHeight / 2;
  draw::BeginText(draw::kFaceGothic, kFaceTextHeight);
  draw::SetTextColors(face.dimmed ? kDimmedTextColour : kFaceTextColour, 0, 1);
  const int x = r.left + (kButtonWidth - width) / 2, y = r.top + (kButtonBottom - kButtonTop - kFaceTextHeight) / 2;
  // Twice, a pixel apart: as bold as the artwork's own labels.
  draw::PutText(x, y, text.c_str());
  draw::PutText(x + 1, y, text.c_str());
  draw::EndText();
  draw::RequestRedraw();
}

}  // namespace game

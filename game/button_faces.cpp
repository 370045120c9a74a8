#include "game/button_faces.h"

#include "draw/redraw.h"
#include "draw/text.h"
#include "game/controls.h"
#include "game/panels.h"
#include "game/part_button.h"

namespace game {

static constexpr int kBevelWidth = 3;
static constexpr int kFaceTextHeight = 12;                // single-byte characters 6 pixels wide
static constexpr std::uint32_t kFaceTextColour = 0x3C241C;  // the artwork's button text, as 0x00BBGGRR

std::string ButtonFaceText(int button) {
  switch (button) {
    case kButtonPart: return PartButtonFaceText();
    default: return {};
  }
}

void DrawButtonFace(int button) {
  const std::string text = ButtonFaceText(button);
  if (text.empty()) return;
  const SourceRect r = ButtonRect(button);
  RestoreBackground({r.left + kBevelWidth, r.top + kBevelWidth, r.right - kBevelWidth, r.bottom - kBevelWidth});
  const int width = static_cast<int>(text.size()) * kFaceTextHeight / 2;
  draw::BeginText(draw::kFaceGothic, kFaceTextHeight, 0, 0, 0, 0);
  draw::SetTextColors(kFaceTextColour, 0, 1);
  const int x = r.left + (kButtonWidth - width) / 2, y = r.top + (kButtonBottom - kButtonTop - kFaceTextHeight) / 2;
  // Twice, a pixel apart: as bold as the artwork's own labels.
  draw::PutText(x, y, text.c_str());
  draw::PutText(x + 1, y, text.c_str());
  draw::EndText();
  draw::RequestRedraw();
}

}  // namespace game

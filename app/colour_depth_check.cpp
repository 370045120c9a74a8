#include "app/colour_depth_check.h"

#include "app/shutdown.h"
#include "draw/eldraw.h"
#include "draw/messages.h"
#include "platform/platform.h"

namespace app {

static const char* const kColourCounts[4] = {"16", "256", "65536", "1670万"};
static const char* const kColourCountsEnglish[4] = {"16", "256", "65536", "16.7 million"};
static constexpr report::PlayerText kSwitchToFullScreen = {"フルスクリーンに切り換えますか？", "Switch to full screen?"};

// The screen shows too few colours for a window: says so in the player's
// language.
static void ShowDepthTooLow(int index) {
  if (platform::SystemLanguageIsJapanese())
    draw::ShowMessage("　ウィンドウ状態で実行しようとしていますが、画面が%s色以下に設定されています。\n"
                      "正しく動作させるには、%s色以上に設定するか、フルスクリーンで実行させて下さい。",
                      kColourCounts[index - 1], kColourCounts[index]);
  else
    draw::ShowMessage("The game is to run in a window, but the screen is set to %s colours or fewer.\n"
                      "To run correctly, set it to %s colours or more, or run the game in full screen.",
                      kColourCountsEnglish[index - 1], kColourCountsEnglish[index]);
}

int CheckWindowedColourDepth() {
  int index = 0;
  switch (kRequiredDepth) {
    case 8: index = 1; break;
    case 16: index = 2; break;
    case 24:
    case 32: index = 3; break;
    default: return 1;
  }
  if (draw::FullScreenFlag()) return 1;
  if (draw::DesktopDepth() >= kRequiredDepth) return 1;
  ShowDepthTooLow(index);
  if (draw::AskYesNo("%s", draw::InPlayersLanguage(kSwitchToFullScreen))) {
    draw::SetFullScreenFlag(true);
    return 1;
  }
  Shutdown();
  return 0;
}

}  // namespace app

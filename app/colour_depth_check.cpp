#include "app/colour_depth_check.h"

#include "app/shutdown.h"
#include "draw/eldraw.h"
#include "draw/messages.h"

namespace app {

static const char* const kColourCounts[4] = {"16", "256", "65536", "1670万"};

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
  draw::ShowMessage("　ウィンドウ状態で実行しようとしていますが、画面が%s色以下に設定されています。\n"
                    "正しく動作させるには、%s色以上に設定するか、フルスクリーンで実行させて下さい。",
                    kColourCounts[index - 1], kColourCounts[index]);
  if (draw::AskYesNo("フルスクリーンに切り換えますか？") == 1) {
    draw::SetFullScreenFlag(true);
    return 1;
  }
  Shutdown();
  return 0;
}

}  // namespace app

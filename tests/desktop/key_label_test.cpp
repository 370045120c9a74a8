// The keys' names on a real X server whose keyboard layout changes while
// the window is open: each note key is named by what it types now. The
// expected names are read off the layouts' own tables (xkb-data's symbols).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "desktop_kit.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "xvfb.h"

namespace {

namespace vk = platform::vk;

// Runs `body` in a child process and passes when it raised no failure.
#define EXPECT_PASSES_IN_A_CHILD(body) \
  EXPECT_EXIT((body(), std::exit(::testing::Test::HasFailure() ? 1 : 0)), ::testing::ExitedWithCode(0), "")

struct Layout {
  const char* name;
  std::vector<std::pair<int, std::string>> labels;  // virtual key, its name
};

const Layout kLayouts[] = {
    {"fr", {{'A', "Q"}, {'W', "Z"}, {vk::kRightOfL, "M"}, {vk::kTwoRightOfL, "Ù"}, {vk::kTwoRightOfP, "$"}, {'Y', "Y"}}},
    {"de", {{'Y', "Z"}, {'A', "A"}, {vk::kRightOfL, "Ö"}, {vk::kTwoRightOfL, "Ä"}, {vk::kThreeRightOfL, "#"}}},
    // A dead key types nothing by itself: its place's name stands for it.
    {"es", {{vk::kRightOfL, "Ñ"}, {vk::kTwoRightOfL, "'"}, {vk::kThreeRightOfL, "Ç"}}},
    {"ru", {{'A', "Ф"}, {'W', "Ц"}, {vk::kRightOfL, "Ж"}}},
    {"us", {{'A', "A"}, {'Y', "Y"}, {vk::kRightOfL, ";"}, {vk::kTwoRightOfP, "]"}, {vk::kThreeRightOfL, "\\"}}},
};

bool LabelsAre(const Layout& layout) {
  for (const auto& [key, label] : layout.labels)
    if (platform::KeyLabel(key) != label) return false;
  return true;
}

void NamesFollowTheLayout() {
  ASSERT_TRUE(platform::CreateMainWindow("Tonquill key names", false, 640, 480));
  EXPECT_EQ(platform::KeyLabel(vk::kTab), "Tab") << "a key that types nothing visible";
  EXPECT_EQ(platform::KeyLabel(0xE0), "") << "a virtual key no key gives";
  for (const Layout& layout : kLayouts) {
    SCOPED_TRACE(layout.name);
    ASSERT_EQ(std::system((std::string("setxkbmap ") + layout.name).c_str()), 0);
    // The names change once the events that tell the new layout are taken.
    const bool changed = test::WaitUntil(
        [&layout] {
          platform::Event event;
          while (platform::PollEvent(event)) {
          }
          return LabelsAre(layout);
        },
        10);
    EXPECT_TRUE(changed);
    for (const auto& [key, label] : layout.labels) EXPECT_EQ(platform::KeyLabel(key), label) << "key " << key;
  }
  platform::DestroyMainWindow();
}

TEST(DesktopKeyLabels, EachKeyIsNamedAsThePlayersLayoutTypesIt) {
  if (std::system("command -v setxkbmap >/dev/null") != 0)
    GTEST_SKIP() << "needs setxkbmap (x11-xkb-utils; tools/run-tests.sh installs it)";
  test::Xvfb display;
  ASSERT_TRUE(display.Running());
  EXPECT_PASSES_IN_A_CHILD(NamesFollowTheLayout);
}

}  // namespace

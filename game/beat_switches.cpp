#include "game/beat_switches.h"

#include <string>

#include "draw/messages.h"
#include "files/settings.h"
#include "game/lyric_bar.h"
#include "platform/platform.h"
#include "platform/virtual_keys.h"
#include "player/event_dispatch.h"
#include "player/run_step.h"
#include "scene/input.h"

namespace game {

static constexpr std::uint32_t kNoticeMs = 2000;

static constexpr draw::PlayerText kCountInOn = {"カウントイン：オン", "Count-in: on"};
static constexpr draw::PlayerText kCountInOff = {"カウントイン：オフ", "Count-in: off"};
static constexpr draw::PlayerText kMetronomeOn = {"メトロノーム：オン", "Metronome: on"};
static constexpr draw::PlayerText kMetronomeOff = {"メトロノーム：オフ", "Metronome: off"};
static constexpr draw::PlayerText kNotKept = {"（設定ファイルに保存できません）", " (the settings file cannot be written)"};

void TakeKeptBeatChoices() {
  player::SetCountInOn(files::CurrentSettings().countIn);
  player::SetMetronomeOn(files::CurrentSettings().metronome);
}

// Keeps the choices in force and says the new state; a file that cannot be
// written is said too (the choice holds for this run all the same).
static void KeepAndSay(files::Settings changed, const draw::PlayerText& state) {
  int errorNumber = 0;
  std::string notice = draw::InPlayersLanguage(state);
  if (!files::ChangeSettings(changed, errorNumber)) notice += draw::InPlayersLanguage(kNotKept);
  ShowTimedLyricBarNotice(notice, platform::TimeMs() + kNoticeMs);
}

void RunBeatKeys() {
  EndTimedLyricBarNotice(platform::TimeMs());
  files::Settings changed = files::CurrentSettings();
  if (scene::KeyWentDown(platform::vk::kF12)) {
    changed.countIn = !player::CountInOn();
    player::SetCountInOn(changed.countIn);
    KeepAndSay(changed, changed.countIn ? kCountInOn : kCountInOff);
  }
  if (scene::KeyWentDown(platform::vk::kF11)) {
    changed.metronome = !player::MetronomeOn();
    player::SetMetronomeOn(changed.metronome);
    KeepAndSay(changed, changed.metronome ? kMetronomeOn : kMetronomeOff);
  }
}

}  // namespace game

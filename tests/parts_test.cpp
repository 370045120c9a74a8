// The parts of a song: which there are, which is the default, and that the
// chosen one is the guide in TRAINING and GAME (silenced, halted at, judged)
// while the rest of the song plays, run through tonquill-trace.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files/ranking.h"
#include "game/controls.h"
#include "game/lyric_bar.h"
#include "platform/virtual_keys.h"
#include "player/guide_track.h"
#include "player/playback_clock.h"
#include "program_fixture.h"
#include "smf_builder.h"

namespace {

using test::Bytes;
using test::Track;

Bytes FormatZero(const Track& track) {
  Bytes file = test::HeaderChunk(0, 1, 480);
  const Bytes chunk = test::Chunk("MTrk", track.data);
  file.insert(file.end(), chunk.begin(), chunk.end());
  return file;
}

// One track, 120 beats per minute, named like a song: Violin on channel 2
// (4 notes, one ended by a velocity-0 note-on), channel 4 without a program
// (3 notes, two under running status), a piano on channel 6 (2 notes) and
// 3 drum notes on channel 10.
Bytes ThreeChannelsAndDrums() {
  Track t;
  t.Text(0, 3, "Fable").Tempo(0, 500000).Event(0, {0xC1, 40}).Event(0, {0xC5, 0});
  t.Event(240, {0x99, 36, 100}).Event(240, {0x91, 60, 90}).Event(120, {0x91, 60, 0});
  t.Event(120, {0x93, 48, 80}).Event(120, {0x83, 48, 0});
  t.Event(120, {0x91, 62, 90}).Event(120, {0x81, 62, 0});
  t.Event(120, {0x95, 67, 70}).Event(120, {0x85, 67, 0});
  t.Event(120, {0x91, 64, 90}).Event(0, {0x99, 38, 100}).Event(120, {0x81, 64, 0});
  t.Event(120, {0x93, 50, 80}).Event(120, {50, 0}).Event(120, {52, 80}).Event(120, {0x83, 52, 0});
  t.Event(120, {0x91, 65, 90}).Event(120, {0x81, 65, 0});
  t.Event(120, {0x95, 69, 70}).Event(120, {0x85, 69, 0});
  t.Event(120, {0x99, 42, 100}).End(240);
  return FormatZero(t);
}

// Made for the game: the tune on the second track (channel 2, 3 notes), an
// accompaniment on the third (channel 3, 2 notes).
Bytes TuneOnTheSecondTrack() {
  Track conductor, tune, band;
  conductor.Tempo(0, 500000).End(2400);
  tune.Event(480, {0x91, 64, 90}).Event(240, {0x81, 64, 0}).Event(240, {0x91, 67, 90}).Event(240, {0x81, 67, 0});
  tune.Event(240, {0x91, 72, 90}).Event(240, {0x81, 72, 0}).End(0);
  band.Event(600, {0x92, 48, 70}).Event(480, {0x82, 48, 0}).Event(240, {0x92, 43, 70}).Event(240, {0x82, 43, 0}).End(0);
  return test::SmfFile({conductor, tune, band});
}

// The first track plays a tune too (channel 2, 2 notes) besides the
// tempo; the second track (channel 3, 3 notes) is the default part.
Bytes TuneOnTheFirstTrack() {
  Track first, second;
  first.Tempo(0, 500000).Event(480, {0x91, 60, 90}).Event(240, {0x81, 60, 0});
  first.Event(720, {0x91, 62, 90}).Event(240, {0x81, 62, 0}).End(720);
  second.Event(600, {0x92, 64, 70}).Event(240, {0x82, 64, 0}).Event(240, {0x92, 65, 70}).Event(240, {0x82, 65, 0});
  second.Event(240, {0x92, 67, 70}).Event(240, {0x82, 67, 0}).End(0);
  return test::SmfFile({first, second});
}

std::string TraceOf(const std::string& options, const std::string& song, int* status = nullptr) {
  return test::CommandOutput(std::string(TONQUILL_TRACE) + " " + options + " " + song + " 2>&1", status);
}

TEST(Parts, EachKindOfSongListsItsPartsAndDefault) {
  Track conductor, tempoMap, melody, drums, bass, unnamed, mixed;
  conductor.Tempo(0, 500000).End(960);
  tempoMap.Tempo(0, 500000).Tempo(480, 400000).End(0);
  melody.Text(0, 3, "Melody").Event(0, {0xC0, 73}).Event(0, {0x90, 60, 90}).Event(240, {0x90, 62, 90}).End(0);
  drums.Event(0, {0x99, 36, 100}).Event(240, {0x89, 36, 0}).End(0);
  bass.Event(0, {0xC2, 33}).Event(0, {0x92, 40, 90}).End(0);
  unnamed.Event(0, {0x94, 40, 90}).End(0);
  // Drum notes on a track with a tune count among its notes: the guide
  // follows every note of a whole track.
  mixed.Event(0, {0x99, 36, 100}).Event(0, {0x90, 60, 90}).Event(240, {0x90, 62, 90}).End(0);
  struct Case {
    const char* name;
    Bytes song;
    std::string parts;
  };
  const Case cases[] = {
      {"format 0: three channels and drums", ThreeChannelsAndDrums(),
       "# part t1c2 4 Violin\n# part t1c4 3 Channel 4\n# part t1c6 2 Acoustic Grand Piano\n# default-part t1c2\n"},
      {"format 1: the second track a tempo map", test::SmfFile({conductor, tempoMap, melody, drums, bass, unnamed}),
       "# part t3 2 Melody\n# part t5 1 Electric Bass (finger)\n# part t6 1 Channel 5\n# default-part t3\n"},
      {"made for the game", TuneOnTheSecondTrack(), "# part t2 3 Channel 2\n# part t3 2 Channel 3\n# default-part t2\n"},
      {"notes on the first track too", test::SmfFile({mixed, mixed}),
       "# part t1 3 Channel 1\n# part t2 3 Channel 1\n# default-part t2\n"},
      {"drums only", test::SmfFile({conductor, drums}), "# default-part none\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    int status = -1;
    EXPECT_EQ(TraceOf("--list-parts", test::WriteTempFile(c.song), &status), c.parts);
    EXPECT_EQ(status, 0);
  }
}

struct PartRun {
  std::map<int, int> noteOns;  // per channel: note-ons with velocity
  int partChannelMessages = 0;  // note messages of the part's channel
  int goods = 0, others = 0, score = -1;
};

PartRun ReadRun(const std::string& output, int partChannel) {
  PartRun run;
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    if (line.rfind("# verdict", 0) == 0) {
      (line.find(" Good") != std::string::npos ? run.goods : run.others) += 1;
    } else if (line.rfind("# score ", 0) == 0) {
      run.score = std::stoi(line.substr(8));
    } else if (line[0] != '#') {
      long time = 0;
      int port = 0;
      unsigned status = 0, note = 0, velocity = 0;
      in >> time >> port >> std::hex >> status >> note >> velocity;
      const int channel = static_cast<int>(status & 0x0F);
      const unsigned kind = status & 0xF0;
      if (kind == 0x90 && velocity != 0) ++run.noteOns[channel];
      if ((kind == 0x80 || kind == 0x90 || kind == 0xA0) && channel == partChannel) ++run.partChannelMessages;
    }
  }
  return run;
}

// TRAINING and GAME at offset 0 on each part: the part's channel sends
// the player's notes alone (a note-on and a note-off for each of the
// part's notes, none of the song's own), every other channel plays all its
// notes, each press is Good, and the score is the Good presses x 1000 / 99.
// DEMO plays everything whatever the choice.
TEST(Parts, TheChosenPartIsSilencedAndJudgedWhileTheRestPlays) {
  const std::string fable = test::WriteTempFile(ThreeChannelsAndDrums(), "fable.mid");
  const std::string tune = test::WriteTempFile(TuneOnTheSecondTrack(), "tune.mid");
  const std::string first = test::WriteTempFile(TuneOnTheFirstTrack(), "first.mid");
  const std::map<int, int> fableNotes = {{1, 4}, {3, 3}, {5, 2}, {9, 3}};
  const std::map<int, int> tuneNotes = {{1, 3}, {2, 2}};
  struct Case {
    std::string song, part;
    int channel, notes, score;
    std::map<int, int> songNotes;
  };
  const Case cases[] = {
      {fable, "t1c2", 1, 4, 40, fableNotes}, {fable, "t1c4", 3, 3, 30, fableNotes}, {fable, "t1c6", 5, 2, 20, fableNotes},
      {tune, "t2", 1, 3, 30, tuneNotes},     {tune, "t3", 2, 2, 20, tuneNotes},
      {first, "t1", 1, 2, 20, {{1, 2}, {2, 3}}},  // the song still ends with its first track
  };
  for (const Case& c : cases) {
    for (const char* mode : {"training", "game"}) {
      SCOPED_TRACE(c.part + " " + mode);
      const std::string output = TraceOf(std::string("--press-offset-ms 0 --mode ") + mode + " --part " + c.part, c.song);
      const PartRun run = ReadRun(output, c.channel);
      EXPECT_EQ(output.find("# stopped after"), std::string::npos) << "the song ends";
      EXPECT_EQ(run.noteOns, c.songNotes);
      EXPECT_EQ(run.partChannelMessages, 2 * c.notes);
      EXPECT_EQ(run.goods, c.notes);
      EXPECT_EQ(run.others, 0);
      EXPECT_EQ(run.score, c.score);
    }
    SCOPED_TRACE(c.part + " demo");
    const std::string demo = TraceOf("--mode demo --part " + c.part, c.song);
    EXPECT_EQ(demo, TraceOf("--mode demo", c.song));
    EXPECT_EQ(ReadRun(demo, c.channel).noteOns, c.songNotes);
  }
  // The program change of the silenced channel still goes out.
  EXPECT_NE(TraceOf("--mode training --part t1c2", fable).find(" c1 28\n"), std::string::npos);
  int status = 0;
  EXPECT_NE(TraceOf("--mode training --part t9", fable, &status).find("has no part t9"), std::string::npos);
  EXPECT_NE(status, 0);
}

// The bundled songs choose their second track, and choosing it by its ID
// changes nothing.
TEST(Parts, TheDefaultPartOfABundledSongIsItsSecondTrack) {
  for (const char* name : {"twinkle.mid", "amazing_grace.mid", "sakura.mid"}) {
    const std::string song = std::string(TONQUILL_SOURCE_DIR) + "/assets/songs/" + name;
    SCOPED_TRACE(name);
    const std::string parts = TraceOf("--list-parts", song);
    EXPECT_NE(parts.find("# default-part t2\n"), std::string::npos) << parts;
    for (const char* mode : {"demo", "training", "game"})
      EXPECT_EQ(TraceOf(std::string("--mode ") + mode + " --part t2", song), TraceOf(std::string("--mode ") + mode, song)) << mode;
  }
}

class PartsInTheGame : public test::ProgramTest {};

// PART steps through the parts while stopped (not while playing): a click
// to the next, Shift+click or a right click to the one before. While
// stopped the lyric bar shows the chosen part's number, name and notes, for
// as long as it stays stopped. Each part reads its own ranking, which a new
// best score then replaces; the default part's file keeps its name and
// bytes. A MIDI keyboard plays the chosen part. Loading a song goes back to
// its default part.
TEST_F(PartsInTheGame, ThePartButtonStepsBothWaysEachPartWithItsRanking) {
  namespace fs = std::filesystem;
  namespace pt = platform::testing;
  const fs::path folder = SongFolder();
  const auto write = [](const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; };
  const Bytes song = ThreeChannelsAndDrums();
  write(folder / "fable.mid", std::string(song.begin(), song.end()));
  const std::string defaultRanking = "DEF        0700 " + std::string(files::kDefaultRankingText + 16, 64);
  write(folder / "fable.DAT", defaultRanking);
  write(folder / "fable.DAT.t1c4", "FOUR       0900 " + std::string(files::kDefaultRankingText + 16, 64));
  Start((folder / "fable.mid").string());
  const auto rightClick = [this](int x, int y) {
    pt::PushEvent({platform::EventKind::MouseMove, x, y});
    pt::PushEvent({platform::EventKind::RightDown, x, y});
    Pass();
  };
  const game::SourceRect partButton = game::ButtonRect(game::kButtonPart);

  enum How { kClick, kShiftClick, kRightClick };
  struct Step {
    How how;
    std::string part;
    int best;
    std::string label;
  };
  const Step steps[] = {{kClick, "t1c4", 900, "PART 2/3: Channel 4 (3 notes)"},
                        {kClick, "t1c6", 500, "PART 3/3: Acoustic Grand Piano (2 notes)"},
                        {kRightClick, "t1c4", 900, "PART 2/3: Channel 4 (3 notes)"},
                        {kShiftClick, "t1c2", 700, "PART 1/3: Violin (4 notes)"},
                        {kShiftClick, "t1c6", 800, "PART 3/3: Acoustic Grand Piano (2 notes)"},
                        {kClick, "t1c2", 700, "PART 1/3: Violin (4 notes)"},
                        {kClick, "t1c4", 900, "PART 2/3: Channel 4 (3 notes)"}};
  ASSERT_EQ(player::ChosenPartId(), "t1c2");
  EXPECT_EQ(files::RankingScore(0), 700);
  EXPECT_EQ(game::LyricBarText(), "PART 1/3: Violin (4 notes)") << "shown from the start";
  for (const Step& step : steps) {
    SCOPED_TRACE(step.part + " " + std::to_string(step.how));
    pt::SetKeyDown(platform::vk::kShift, step.how == kShiftClick);
    if (step.how == kRightClick) rightClick(partButton.left, partButton.top + 1);
    else ClickButton(game::kButtonPart);
    pt::SetKeyDown(platform::vk::kShift, false);
    EXPECT_EQ(player::ChosenPartId(), step.part);
    EXPECT_EQ(files::RankingScore(0), step.best);
    PassUntil(platform::TimeMs() + 5000);
    EXPECT_EQ(game::LyricBarText(), step.label) << "and still five seconds later";
    EXPECT_FALSE(ShowsArtwork(15, 224, game::kLyricBar));
    if (step.part == "t1c6" && step.how == kClick) {
      // A new best score of the part, as name entry writes it.
      std::memcpy(files::RankingText(), "SIX        0800 ", 16);
      ASSERT_TRUE(files::WriteRankingFile());
      EXPECT_EQ(test::ReadText(folder / "fable.DAT.t1c6").substr(0, 16), "SIX        0800 ");
    }
  }
  rightClick(partButton.left - 1, partButton.top + 1);
  EXPECT_EQ(player::ChosenPartId(), "t1c4") << "a right click elsewhere does nothing";
  EXPECT_EQ(player::PlayState(), player::kStopped);
  EXPECT_EQ(test::ReadText(folder / "fable.DAT"), defaultRanking);

  ClickButton(game::kButtonDemo);
  EXPECT_EQ(game::LyricBarText(), "") << "the bar is the lyrics' while a run plays";
  ClickButton(game::kButtonPart);
  rightClick(partButton.left, partButton.top + 1);
  EXPECT_EQ(player::ChosenPartId(), "t1c4") << "PART does nothing while a run plays";
  ClickButton(game::kButtonStop);
  EXPECT_EQ(game::LyricBarText(), "PART 2/3: Channel 4 (3 notes)") << "back once stopped";
  // In TRAINING any key of a MIDI keyboard plays the part's next note, on
  // the part's channel.
  ClickButton(game::kButtonTraining);
  TakeSent();
  pt::PushMidiInput({platform::MidiInputEvent::NoteOn, 0, 70, 100});
  Pass();
  std::vector<Bytes> channelFour;
  for (const Bytes& m : TakeSent())
    if (m[0] == 0x93) channelFour.push_back(m);
  EXPECT_EQ(channelFour, (std::vector<Bytes>{{0x93, 48, 80}})) << "channel 4's first note, the next one's velocity";
  ClickButton(game::kButtonStop);

  platform::testing::ScriptFileChoice((folder / "fable.mid").string());
  ClickButton(game::kButtonFile);
  EXPECT_EQ(player::ChosenPartId(), "t1c2") << "a loaded song starts from its default part";
  EXPECT_EQ(files::RankingScore(0), 700);
}

// A default that moved to the tune takes no ranking kept for another
// part: the song's own file stays the second track's, and the tune's has
// its ID added.
TEST_F(PartsInTheGame, RankingsStayWithThePartTheyWereKeptFor) {
  namespace fs = std::filesystem;
  Track conductor, bass, tune;
  conductor.Tempo(0, 500000).End(1920);
  bass.Text(0, 3, "Bass").Event(0, {0x91, 40, 90}).Event(480, {0x81, 40, 0}).End(0);
  tune.Text(0, 3, "Melody").Event(0, {0x92, 72, 90}).Event(480, {0x82, 72, 0}).End(0);
  const Bytes song = test::SmfFile({conductor, bass, tune});
  const fs::path folder = SongFolder();
  std::ofstream(folder / "tune.mid", std::ios::binary).write(reinterpret_cast<const char*>(song.data()), static_cast<long>(song.size()));
  const std::string rest(files::kDefaultRankingText + 16, 64);
  std::ofstream(folder / "tune.DAT") << "BASS       0600 " + rest;
  std::ofstream(folder / "tune.DAT.t3") << "MELODY     0800 " + rest;
  Start((folder / "tune.mid").string());
  ASSERT_EQ(player::ChosenPartId(), "t3");
  EXPECT_EQ(files::RankingScore(0), 800);
  ClickButton(game::kButtonPart);
  ASSERT_EQ(player::ChosenPartId(), "t2");
  EXPECT_EQ(files::RankingScore(0), 600);
  std::memcpy(files::RankingText(), "LOW        0700 ", 16);
  ASSERT_TRUE(files::WriteRankingFile());
  EXPECT_EQ(test::ReadText(folder / "tune.DAT").substr(0, 16), "LOW        0700 ");
  EXPECT_EQ(test::ReadText(folder / "tune.DAT.t3").substr(0, 16), "MELODY     0800 ");
}

// The keys sound on the chosen part's channel and port: in a game on
// port 1 the player's notes leave there, while another track plays the
// same channel on port 0.
TEST(Parts, ThePlayersNotesLeaveOnThePartsPort) {
  Track conductor, tune, other;
  conductor.Tempo(0, 500000).End(1920);
  tune.Meta(0, 0x21, {1}).Event(0, {0xCF, 73});
  for (const std::uint8_t note : {72, 74, 76}) tune.Event(240, {0x9F, note, 90}).Event(240, {0x8F, note, 0});
  tune.End(0);
  other.Event(0, {0x9F, 48, 90}).Event(480, {0x8F, 48, 0}).Event(0, {0x9F, 50, 90}).Event(480, {0x8F, 50, 0}).End(0);
  const std::string output = TraceOf("--ports 2 --mode game --press-offset-ms 0", test::WriteTempFile(test::SmfFile({conductor, tune, other})));
  std::map<std::string, int> noteOns;  // "port channel"
  std::istringstream lines(output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    long time = 0;
    int port = 0;
    unsigned status = 0, note = 0, velocity = 0;
    if (line[0] != '#' && (in >> time >> port >> std::hex >> status >> note >> velocity) && (status & 0xF0) == 0x90 && velocity != 0)
      ++noteOns[std::to_string(port) + " " + std::to_string((status & 0x0F) + 1)];
  }
  EXPECT_EQ(noteOns, (std::map<std::string, int>{{"1 16", 3}, {"0 16", 2}})) << output;
}

// While stopped the first note after a run, a song or another part sends
// the part's program first (its own track's, else the first another track
// sets on its channel), on its channel. A note ends where it began, and
// the pedal goes up where it went down, whatever part was chosen between.
TEST_F(PartsInTheGame, TheKeysPlayThePartsInstrumentOnItsChannel) {
  namespace pt = platform::testing;
  Track conductor, flute, marimba;
  conductor.Tempo(0, 500000).Event(0, {0xC4, 12}).End(1920);
  flute.Event(0, {0xCF, 73}).Event(0, {0x9F, 72, 90}).Event(480, {0x8F, 72, 0}).End(0);
  marimba.Event(0, {0x94, 60, 90}).Event(480, {0x84, 60, 0}).Event(0, {0x94, 62, 90}).Event(480, {0x84, 62, 0}).End(0);
  StartWithSong({conductor, flute, marimba});
  ASSERT_EQ(player::ChosenPartId(), "t2");
  const auto pedal = [](int value) { pt::PushMidiInput({platform::MidiInputEvent::Sustain, 0, 64, value}); };
  const Bytes fluteProgram = {0xCF, 73}, marimbaProgram = {0xC4, 12};
  const Bytes fluteOn = {0x9F, 60, 100}, fluteOff = {0x9F, 60, 0}, marimbaOn = {0x94, 60, 100}, marimbaOff = {0x94, 60, 0};
  enum Action { kTap, kRunAndStop, kPart, kKeyDown, kKeyUp, kPedalDown, kPedalUp };
  const struct {
    Action action;
    std::vector<Bytes> sent;
  } steps[] = {
      {kTap, {fluteProgram, fluteOn, fluteOff}},
      {kTap, {fluteOn, fluteOff}},
      {kRunAndStop, {}},
      {kTap, {fluteProgram, fluteOn, fluteOff}},
      {kPart, {}},
      {kKeyDown, {marimbaProgram, marimbaOn}},
      {kPedalDown, {{0xB4, 64, 127}}},
      {kPart, {}},
      {kKeyUp, {marimbaOff}},
      {kPedalUp, {{0xB4, 64, 0}}},
      {kTap, {fluteProgram, fluteOn, fluteOff}},
  };
  for (std::size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    TakeSent();
    switch (steps[i].action) {
      case kTap: Tap('A'); break;
      case kRunAndStop:
        ClickButton(game::kButtonDemo);
        ClickButton(game::kButtonStop);
        break;
      case kPart: ClickButton(game::kButtonPart); break;
      case kKeyDown:
        KeyDown('A');
        Pass();
        break;
      case kKeyUp:
        KeyUp('A');
        Pass();
        break;
      case kPedalDown:
      case kPedalUp:
        pedal(steps[i].action == kPedalDown ? 127 : 0);
        Pass();
        break;
    }
    if (steps[i].action != kRunAndStop) {
      EXPECT_EQ(TakeSent(), steps[i].sent);
    }
  }
}

}  // namespace

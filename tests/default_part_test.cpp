// Which part a song starts from: made-up parts of every kind, what the
// survey of a made-up song finds in its parts, and the real-world songs
// beside the project (where it has them).
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "smf_builder.h"
#include "song/default_part.h"
#include "song/song_parts.h"

namespace {

using song::SongPart;
using test::Track;

// A part as the survey describes it. `name` is the track's own ("" for
// none); IDs count tracks from 1 as the game shows them.
SongPart P(const std::string& id, const std::string& name, int program, int notes, int chordNotes, int middle,
           int drumNotes = 0) {
  SongPart p;
  p.id = id;
  p.track = std::stoi(id.substr(1)) - 1;
  p.name = name;
  p.named = !name.empty();
  p.program = program;
  p.notes = notes;
  p.chordNotes = chordNotes;
  p.middlePitch = middle;
  p.drumNotes = drumNotes;
  return p;
}

constexpr int kNone = song::kNoProgram;

TEST(DefaultPart, TheTuneAmongPartsOfEveryKind) {
  struct Case {
    const char* what;
    std::vector<SongPart> parts;
    std::string expected;  // "" for no default
  };
  const Case cases[] = {
      {"made for the game",
       {P("t2", "Melody", 73, 28, 0, 69), P("t3", "Chords and lyrics", 48, 45, 30, 60), P("t4", "Bass", 32, 15, 0, 43)},
       "t2"},
      {"a bass line on the second track (by its instrument)",
       {P("t2", "", 33, 100, 0, 50), P("t3", "", 0, 80, 0, 67), P("t4", "", 0, 200, 150, 60)}, "t3"},
      {"a kick drum before the tune, strings between",
       {P("t2", "Kick", kNone, 112, 0, 36), P("t3", "Strings", 48, 300, 200, 60), P("t4", "", 0, 150, 0, 72)}, "t4"},
      {"a part named as a melody wins over the second track",
       {P("t2", "", 0, 100, 0, 70), P("t5", "Lead Vocal", kNone, 80, 0, 65)}, "t5"},
      {"backing vocals accompany; a bassoon is no bass",
       {P("t2", "Backing Vocals", kNone, 100, 0, 70), P("t3", "Bassoon", 70, 60, 0, 50)}, "t3"},
      {"a second track of chords gives way to a line of single notes",
       {P("t2", "", 0, 1000, 400, 64), P("t3", "", 73, 200, 0, 70)}, "t3"},
      {"a second track of chords stays against a bass",
       {P("t2", "", 0, 1000, 400, 64), P("t3", "", 33, 200, 0, 40)}, "t2"},
      {"a few high notes do not outweigh the tune",
       {P("t1c3", "", 9, 300, 0, 63), P("t1c14", "", 0, 74, 0, 80), P("t1c2", "", 34, 1100, 0, 37)}, "t1c3"},
      {"the busiest part at most a fourth below the highest",
       {P("t1c3", "", 0, 100, 0, 67), P("t1c7", "", 0, 150, 0, 62), P("t1c9", "", 0, 200, 0, 61)}, "t1c7"},
      {"only a bass and an accompaniment", {P("t2", "Bass", 32, 96, 0, 38), P("t4", "Chord", 24, 556, 500, 62)}, "t4"},
      {"only drums on a track of their own", {P("t2", "", kNone, 100, 0, 60, 80)}, "t2"},
      {"a Japanese name: melody over piano",
       {P("t2", "\x83\x73\x83\x41\x83\x6D", 0, 100, 0, 70), P("t3", "\x83\x81\x83\x8D\x83\x66\x83\x42", 0, 50, 0, 65)}, "t3"},
      {"a low part without a name or an instrument plays the bass",
       {P("t2", "", kNone, 100, 0, 45), P("t3", "", kNone, 100, 60, 60)}, "t3"},
      {"no parts", {}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int chosen = song::ChooseDefaultPart(c.parts);
    EXPECT_EQ(chosen == song::kNoPart ? std::string() : c.parts[static_cast<std::size_t>(chosen)].id, c.expected);
  }
}

// What the survey finds of each part: the channel and port the keys sound
// on, the program (another track's when its own sets none), blank names,
// chords (a strum 4 ticks apart among them) and the middle pitch.
TEST(DefaultPart, TheSurveyOfEachPart) {
  Track conductor, bass, strummed, mixed, oneTrack;
  conductor.Tempo(0, 500000).Event(0, {0xC4, 12}).End(1920);
  bass.Text(0, 3, "   ").Event(0, {0xC1, 33}).Event(0, {0x91, 40, 90}).Event(480, {0x91, 45, 90}).Event(480, {0x91, 43, 90}).End(0);
  strummed.Meta(0, 0x21, {1}).Event(0, {0x9F, 60, 90}).Event(0, {0x9F, 64, 90}).Event(4, {0x9F, 67, 90});
  strummed.Event(476, {0x9F, 72, 90}).Event(480, {0x9F, 74, 90}).End(0);
  mixed.Event(0, {0x99, 36, 90}).Event(0, {0x94, 50, 90}).Event(480, {0x99, 38, 90}).Event(0, {0x94, 52, 90}).End(0);
  oneTrack.Event(0, {0xCF, 73}).Event(0, {0x92, 60, 90}).Meta(240, 0x21, {2}).Event(0, {0x9F, 72, 90}).End(240);
  struct Expected {
    std::string id, name;
    bool named;
    int soundChannel, port, program, notes, drumNotes, chordNotes, middlePitch;
  };
  struct Case {
    const char* what;
    test::Bytes song;
    std::vector<Expected> parts;
  };
  const Case cases[] = {
      {"format 1",
       test::SmfFile({conductor, bass, strummed, mixed}),
       {{"t2", "Electric Bass (finger)", false, 1, 0, 33, 3, 0, 0, 43},
        {"t3", "Channel 16", false, 15, 1, kNone, 5, 0, 3, 67},
        {"t4", "Channel 5", false, 4, 0, 12, 4, 2, 0, 50}}},
      {"format 0: channel 16 after a port prefix",
       [&] {
         test::Bytes file = test::HeaderChunk(0, 1, 480);
         const test::Bytes chunk = test::Chunk("MTrk", oneTrack.data);
         file.insert(file.end(), chunk.begin(), chunk.end());
         return file;
       }(),
       {{"t1c3", "Channel 3", false, 2, 0, kNone, 1, 0, 0, 60}, {"t1c16", "Flute", false, 15, 2, 73, 1, 0, 0, 72}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::FreshStore();
    test::InstallAndScan(c.song);
    ASSERT_EQ(song::PartCount(), static_cast<int>(c.parts.size()));
    for (int i = 0; i < song::PartCount(); ++i) {
      const SongPart& got = song::Part(i);
      const Expected& e = c.parts[static_cast<std::size_t>(i)];
      SCOPED_TRACE(e.id);
      EXPECT_EQ(got.id, e.id);
      EXPECT_EQ(got.name, e.name);
      EXPECT_EQ(got.named, e.named);
      EXPECT_EQ((std::vector<int>{got.soundChannel, got.port, got.program, got.notes, got.drumNotes, got.chordNotes, got.middlePitch}),
                (std::vector<int>{e.soundChannel, e.port, e.program, e.notes, e.drumNotes, e.chordNotes, e.middlePitch}));
    }
  }
}

// The real-world songs start from the part worked out by hand from their
// notes (read by another program): the glockenspiel's line of Fable, the
// upper voice of the invention; where no part is plainly the tune, never a
// bass or a drum part.
TEST(DefaultPart, RealWorldSongsStartFromTheirTune) {
  const std::string folder = std::string(TONQUILL_SOURCE_DIR) + "/../shared/songs-real/";
  if (!std::ifstream(folder + "README.md")) GTEST_SKIP() << "no real-world songs beside the project";
  const struct {
    const char* file;
    const char* part;
  } songs[] = {
      {"midifile_Avgvst_Fable.mid", "t1c3"},    {"playmidi_bach-invention-01.mid", "t2"},
      {"midifile-ts_song.mid", "t5"},           {"mma_lib-pflib_slowrock.mid", "t4"},
      {"mma_lyrics_twinkle.mid", "t4"},         {"openmsx_midnight_snow_run.mid", "t6"},
      {"playmidi_gmstriving.mid", "t4"},
  };
  for (const auto& s : songs) {
    SCOPED_TRACE(s.file);
    const std::string parts = test::CommandOutput(std::string(TONQUILL_TRACE) + " --list-parts " + folder + s.file);
    EXPECT_NE(parts.find(std::string("# default-part ") + s.part + "\n"), std::string::npos) << parts;
  }
}

}  // namespace

// tonquill-trace against an independent model of playback: for every song
// under tests/data and assets/songs, each track's channel and exclusive
// messages must leave in order, on the first frame whose position has
// passed their time (a frame ends early after an exclusive message).
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "smf_builder.h"

namespace {

using test::Bytes;

struct FileEvent {
  long tick;
  enum Kind { Message, Exclusive, End, Other } kind;
  Bytes wire;  // what goes on the wire
};

// A plain reader of Standard MIDI Files, written apart from the program's.
std::vector<std::vector<FileEvent>> ReadSong(const Bytes& file) {
  std::vector<std::vector<FileEvent>> tracks;
  std::size_t p = 8 + ((file[4] << 24) | (file[5] << 16) | (file[6] << 8) | file[7]);
  while (p + 8 <= file.size()) {
    const std::size_t length = (file[p + 4] << 24) | (file[p + 5] << 16) | (file[p + 6] << 8) | file[p + 7];
    std::size_t q = p + 8;
    const std::size_t end = q + length;
    std::vector<FileEvent> events;
    long tick = 0;
    std::uint8_t running = 0;
    auto varlen = [&] {
      long v = 0;
      while (q < end) {
        const std::uint8_t b = file[q++];
        v = v * 128 + (b & 0x7F);
        if (!(b & 0x80)) break;
      }
      return v;
    };
    while (q < end) {
      tick += varlen();
      const std::uint8_t b = file[q];
      if (b == 0xFF) {
        const std::uint8_t type = file[q + 1];
        q += 2;
        q += static_cast<std::size_t>(varlen());
        events.push_back({tick, type == 0x2F ? FileEvent::End : FileEvent::Other, {}});
        if (type == 0x2F) break;
      } else if (b == 0xF0) {
        ++q;
        const auto n = static_cast<std::size_t>(varlen());
        Bytes wire{0xF0};
        wire.insert(wire.end(), file.begin() + static_cast<long>(q), file.begin() + static_cast<long>(q + n));
        q += n;
        events.push_back({tick, FileEvent::Exclusive, wire});
      } else {
        if (b & 0x80) running = file[q++];
        const std::size_t dataBytes = (running >= 0xC0 && running <= 0xDF) ? 1 : 2;
        Bytes wire{running};
        wire.insert(wire.end(), file.begin() + static_cast<long>(q), file.begin() + static_cast<long>(q + dataBytes));
        q += dataBytes;
        events.push_back({tick, FileEvent::Message, wire});
      }
    }
    tracks.push_back(events);
    p = end;
  }
  // The song ends with its longest track: track 0 is re-ended there.
  long songEnd = 0;
  for (const auto& events : tracks)
    if (!events.empty()) songEnd = std::max(songEnd, events.back().tick);
  if (!tracks.empty() && !tracks[0].empty() && tracks[0].back().kind == FileEvent::End) tracks[0].back().tick = songEnd;
  return tracks;
}

struct Frame {
  long time;
  long position;
  std::vector<Bytes> sent;
};

std::vector<Frame> RunTrace(const std::string& song) {
  const std::string command = std::string(TONQUILL_TRACE) + " --positions " + song;
  std::vector<Frame> frames;
  std::vector<std::pair<long, Bytes>> messages;
  FILE* pipe = popen(command.c_str(), "r");
  char line[4096];
  while (pipe && std::fgets(line, sizeof line, pipe)) {
    std::istringstream in(line);
    if (line[0] == '#') {
      std::string hash, word;
      long time = 0, position = 0;
      in >> hash >> word >> time >> position;
      if (word == "position") frames.push_back({time, position, {}});
      continue;
    }
    long time = 0;
    int port = 0;
    in >> time >> port;
    Bytes bytes;
    unsigned value;
    while (in >> std::hex >> value) bytes.push_back(static_cast<std::uint8_t>(value));
    messages.emplace_back(time, bytes);
  }
  if (pipe) pclose(pipe);
  for (auto& [time, bytes] : messages)
    for (Frame& f : frames)
      if (f.time == time) f.sent.push_back(bytes);
  return frames;
}

// What the model expects each frame to send, until track 0 ends.
std::vector<std::vector<Bytes>> Model(const std::vector<std::vector<FileEvent>>& tracks, const std::vector<Frame>& frames) {
  std::vector<std::size_t> next(tracks.size(), 0);
  std::vector<std::vector<Bytes>> expected;
  for (std::size_t f = 0; f < frames.size(); ++f) {
    const bool last = f + 1 == frames.size();  // the song ended here (and rewound)
    std::vector<Bytes> sent;
    bool passEnded = false, songEnded = false;
    for (std::size_t t = 0; t < tracks.size() && !passEnded; ++t) {
      while (next[t] < tracks[t].size() && (last || tracks[t][next[t]].tick < frames[f].position)) {
        const FileEvent& e = tracks[t][next[t]++];
        if (e.kind == FileEvent::End) {
          next[t] = tracks[t].size();
          songEnded = songEnded || t == 0;
        } else if (e.kind == FileEvent::Message) {
          sent.push_back(e.wire);
        } else if (e.kind == FileEvent::Exclusive) {
          sent.push_back(e.wire);
          passEnded = true;
          break;
        }
      }
    }
    expected.push_back(sent);
    if (songEnded) break;
  }
  return expected;
}

std::vector<std::string> Songs() {
  std::vector<std::string> songs;
  for (const char* dir : {TONQUILL_TEST_DATA, TONQUILL_SOURCE_DIR "/assets/songs"}) {
    if (DIR* d = opendir(dir)) {
      while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() > 4 && name.substr(name.size() - 4) == ".mid") songs.push_back(std::string(dir) + "/" + name);
      }
      closedir(d);
    }
  }
  return songs;
}

TEST(Trace, EveryMessageLeavesInOrderOnTheFirstFramePastItsTime) {
  const auto songs = Songs();
  ASSERT_GE(songs.size(), 4u);
  for (const std::string& song : songs) {
    SCOPED_TRACE(song);
    const auto tracks = ReadSong(test::ReadFile(song));
    const auto frames = RunTrace(song);
    ASSERT_FALSE(frames.empty());
    const auto expected = Model(tracks, frames);
    ASSERT_EQ(expected.size(), frames.size()) << "the song ends on the frame the model ends it";
    for (std::size_t f = 0; f < frames.size(); ++f) {
      SCOPED_TRACE(frames[f].time);
      std::vector<Bytes> sent = frames[f].sent;
      if (f + 1 == frames.size()) {
        // The end: the notes still sounding are turned off, then FCh.
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), Bytes{0xFC});
        sent.resize(std::min(sent.size(), expected[f].size()));
      }
      EXPECT_EQ(sent, expected[f]);
    }
  }
}

TEST(Trace, RefusesWhatIsNotASong) {
  const std::string trace = TONQUILL_TRACE;
  EXPECT_NE(std::system((trace + " /nonexistent.mid 2>/dev/null").c_str()), 0);
  const std::string junk = test::WriteTempFile(Bytes(100, 'x'), "junk.mid");
  EXPECT_NE(std::system((trace + " " + junk + " 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((trace + " --frame-ms 0 " + junk + " 2>/dev/null").c_str()), 0);
}

}  // namespace

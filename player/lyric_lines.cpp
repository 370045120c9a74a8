#include "player/lyric_lines.h"

#include <vector>

#include "base/module_state.h"
#include "song/song_store.h"
#include "song/track_cursor.h"
#include "song/track_reader.h"

namespace player {

namespace {

// Where one gathered event's syllable stands: its line and its bytes there
// (line -1 for an event that only marks a line's end).
struct Syllable {
  int line = -1;
  int start = 0;
  int length = 0;
};

// The gathered lines, the syllable of each gathered event in order, the
// track and event type they come from, the song they were read from, and
// how far playback has reached.
struct State {
  bool gathered = false;
  std::uint32_t songEdition = 0;
  bool bySyllable = false;
  int track = -1;
  std::int32_t type = 0;
  std::vector<std::string> lines;
  std::vector<Syllable> syllables;
  std::size_t reached = 0;
  int shownLine = -1;
};
base::ModuleState<State> state;

// One meta event's type and text.
struct MetaText {
  std::int32_t type;
  std::string text;
};

// The meta events of a track that carry text (lyrics and text events), in
// order.
std::vector<MetaText> TextEvents(int track) {
  std::vector<MetaText> events;
  song::TrackCursor cursor = song::TrackCursor::AtTrack(track);
  for (song::TrackEvent e = cursor.Next(); e.kind != song::EventKind::End; e = cursor.Next())
    if (e.kind == song::EventKind::Meta && (e.metaType == song::kMetaLyric || e.metaType == song::kMetaText))
      events.push_back({e.metaType, song::MetaText(e, SIZE_MAX)});
  return events;
}

bool HasLineEnd(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }
bool StartsLine(const std::string& text) { return !text.empty() && (text[0] == '/' || text[0] == '\\'); }

// Gathers the events of `type` into lines: a carriage return or line feed
// ends a line; in karaoke text a leading '/' or '\' starts one, and a
// leading '@' marks a header line, which is no lyric. Returns whether a
// line holds two or more events.
bool Gather(const std::vector<MetaText>& events, std::int32_t type, bool karaoke) {
  std::vector<int> eventsInLine;
  bool lineOpen = false;
  const auto endLine = [&] { lineOpen = false; };
  const auto openLine = [&] {
    if (lineOpen) return;
    state.lines.emplace_back();
    eventsInLine.push_back(0);
    lineOpen = true;
  };
  for (const MetaText& event : events) {
    if (event.type != type) continue;
    std::string text = event.text;
    if (karaoke && !text.empty() && text[0] == '@') {
      state.syllables.push_back({});
      continue;
    }
    if (karaoke && StartsLine(text)) {
      endLine();
      text.erase(0, 1);
    }
    Syllable syllable;
    std::string piece;
    const auto placePiece = [&] {
      if (piece.empty()) return;
      openLine();
      std::string& line = state.lines.back();
      syllable = {static_cast<int>(state.lines.size()) - 1, static_cast<int>(line.size()), static_cast<int>(piece.size())};
      line += piece;
      ++eventsInLine.back();
      piece.clear();
    };
    for (char c : text) {
      if (c == '\r' || c == '\n') {
        placePiece();
        endLine();
      } else {
        piece += c;
      }
    }
    placePiece();
    state.syllables.push_back(syllable);
  }
  for (int count : eventsInLine)
    if (count >= 2) return true;
  return false;
}

// The source of a song's lines: the track and the event type, and whether
// it is karaoke text; false when the song has none.
bool FindSource(int& track, std::int32_t& type, bool& karaoke) {
  std::vector<std::vector<MetaText>> tracks;
  bool hasHeader = false;
  for (int i = 0; i < song::TrackCount(); ++i) {
    tracks.push_back(TextEvents(i));
    for (const MetaText& event : tracks.back())
      if (event.type == song::kMetaText && !event.text.empty() && event.text[0] == '@') hasHeader = true;
  }
  for (int i = 0; i < static_cast<int>(tracks.size()); ++i)
    for (const MetaText& event : tracks[i])
      if (event.type == song::kMetaLyric && HasLineEnd(event.text)) {
        track = i, type = song::kMetaLyric, karaoke = false;
        return true;
      }
  if (!hasHeader) return false;
  for (int i = 0; i < static_cast<int>(tracks.size()); ++i)
    for (const MetaText& event : tracks[i])
      if (event.type == song::kMetaText && StartsLine(event.text)) {
        track = i, type = song::kMetaText, karaoke = true;
        return true;
      }
  return false;
}

}  // namespace

void RewindLyricLines() {
  state.reached = 0;
  state.shownLine = -1;
}

// A long lyric track takes a while to read: it is read once a song.
void GatherLyricLines() {
  if (state.gathered && state.songEdition == song::SongEdition()) return RewindLyricLines();
  state.Reset();
  state.gathered = true;
  state.songEdition = song::SongEdition();
  int track = -1;
  std::int32_t type = 0;
  bool karaoke = false;
  if (!FindSource(track, type, karaoke)) return;
  if (!Gather(TextEvents(track), type, karaoke)) {
    state.lines.clear();
    state.syllables.clear();
    return;
  }
  state.bySyllable = true;
  state.track = track;
  state.type = type;
}

bool LyricsBySyllable() { return state.bySyllable; }

bool IsGatheredLyricEvent(int trackIndex, int type) {
  return state.bySyllable && trackIndex == state.track && type == state.type;
}

ReachedSyllable ReachNextSyllable() {
  ReachedSyllable reached;
  if (state.reached >= state.syllables.size()) return reached;
  const Syllable& syllable = state.syllables[state.reached++];
  if (syllable.line < 0) return reached;
  reached.line = &state.lines[static_cast<std::size_t>(syllable.line)];
  reached.start = syllable.start;
  reached.length = syllable.length;
  reached.newLine = syllable.line != state.shownLine;
  state.shownLine = syllable.line;
  return reached;
}

}  // namespace player

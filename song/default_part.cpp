#include "song/default_part.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <string_view>

namespace song {

namespace {

constexpr int kSecondTrack = 1;
constexpr int kLowestNonBassPitch = 48;  // C3: a part whose middle lies below plays a bass line
constexpr int kFourth = 5;               // semitones

// Words of a track's own name, matched anywhere in it: the English ones in
// any case, the Japanese ones as Shift-JIS bytes.
constexpr std::string_view kDrumWords[] = {"drum", "perc", "kit", "cymbal", "snare", "kick", "hihat", "hi-hat",
                                           "\x83\x68\x83\x89\x83\x80" /* doramu */};
constexpr std::string_view kBassWords[] = {"bass", "\x83\x78\x81\x5B\x83\x58" /* be-su */};
constexpr std::string_view kAccompanimentWords[] = {
    "chord", "accomp", "backing", "pad", "rhythm", "harmony", "strum", "arpeg", "left hand", "lefthand",
    "\x94\xBA\x91\x74" /* bansou */, "\x98\x61\x89\xB9" /* waon */, "\x8D\xB6\x8E\xE8" /* hidarite */};
constexpr std::string_view kMelodyWords[] = {
    "melod", "lead", "vocal", "vox", "voice", "solo", "tune", "right hand", "righthand",
    "\x83\x81\x83\x8D" /* mero */, "\x8E\xE5\x90\xF9\x97\xA5" /* shusenritsu */,
    "\x83\x7B\x81\x5B\x83\x4A\x83\x8B" /* bo-karu */, "\x89\xCC" /* uta */, "\x89\x45\x8E\xE8" /* migite */};

// Only a word of plain ASCII letters is matched in any case: lowering the
// bytes of a double-byte character would change it.
bool HasWord(std::string_view name, std::string_view lowered, std::string_view word) {
  const bool ascii = std::all_of(word.begin(), word.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return (ascii ? lowered : name).find(word) != std::string_view::npos;
}

template <std::size_t N>
bool HasAnyWord(std::string_view name, std::string_view lowered, const std::string_view (&words)[N]) {
  return std::any_of(std::begin(words), std::end(words), [&](std::string_view w) { return HasWord(name, lowered, w); });
}

// The role a track's own name gives, if any. A bassoon is no bass.
bool RoleByName(const std::string& name, PartRole& role) {
  std::string lowered = name;
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string withoutBassoon = lowered;
  for (std::size_t at; (at = withoutBassoon.find("bassoon")) != std::string::npos;) withoutBassoon.replace(at, 7, "oboe");
  if (HasAnyWord(name, lowered, kDrumWords)) role = PartRole::Drums;
  else if (HasAnyWord(name, withoutBassoon, kBassWords)) role = PartRole::Bass;
  else if (HasAnyWord(name, lowered, kAccompanimentWords)) role = PartRole::Accompaniment;
  else if (HasAnyWord(name, lowered, kMelodyWords)) role = PartRole::Melody;
  else return false;
  return true;
}

// The role a General MIDI program gives, if any.
bool RoleByProgram(int program, PartRole& role) {
  constexpr int kContrabass = 43, kTimpani = 47;
  if ((program >= 32 && program <= 39) || program == kContrabass) role = PartRole::Bass;
  else if (program == kTimpani || program >= 112) role = PartRole::Drums;  // percussive and sound effects
  else if ((program >= 48 && program <= 55) || (program >= 88 && program <= 103)) role = PartRole::Accompaniment;
  else return false;
  return true;
}

}  // namespace

PartRole RoleOf(const SongPart& part) {
  PartRole role = PartRole::Plain;
  if (part.named && RoleByName(part.name, role)) return role;
  if (RoleByProgram(part.program, role)) return role;
  if (part.drumNotes * 2 > part.notes) return PartRole::Drums;
  if (part.notes > part.drumNotes && part.middlePitch < kLowestNonBassPitch) return PartRole::Bass;
  return PartRole::Plain;
}

bool MostlySingleNotes(const SongPart& part) { return part.chordNotes * 3 < part.notes - part.drumNotes; }

int ChooseDefaultPart(const std::vector<SongPart>& parts) {
  // A hand part is never the default: the part it comes from is.
  std::vector<int> candidates;
  for (int i = 0; i < static_cast<int>(parts.size()); ++i)
    if (parts[static_cast<std::size_t>(i)].hand == PartHand::Both) candidates.push_back(i);
  if (candidates.empty()) return kNoPart;
  std::vector<PartRole> roles;
  for (const SongPart& part : parts) roles.push_back(RoleOf(part));
  const auto roleOf = [&roles](int i) { return roles[static_cast<std::size_t>(i)]; };
  PartRole best = roleOf(candidates.front());
  for (int i : candidates) best = std::min(best, roleOf(i));
  std::erase_if(candidates, [&](int i) { return roleOf(i) != best; });
  const auto part = [&parts](int i) -> const SongPart& { return parts[static_cast<std::size_t>(i)]; };
  const auto keepOnly = [&candidates](auto keep) {
    std::vector<int> kept;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(kept), keep);
    if (!kept.empty()) candidates = kept;
  };

  keepOnly([&](int i) { return MostlySingleNotes(part(i)); });
  if (best == PartRole::Melody || best == PartRole::Plain)
    for (int i : candidates)
      if (part(i).track == kSecondTrack) return i;
  int busiest = 0;
  for (int i : candidates) busiest = std::max(busiest, part(i).notes);
  keepOnly([&](int i) { return part(i).notes * 4 >= busiest; });
  int highest = 0;
  for (int i : candidates) highest = std::max(highest, part(i).middlePitch);
  keepOnly([&](int i) { return part(i).middlePitch >= highest - kFourth; });
  int chosen = candidates.front();
  for (int i : candidates)
    if (part(i).notes > part(chosen).notes) chosen = i;
  return chosen;
}

}  // namespace song

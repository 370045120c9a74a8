#include "song/hand_split.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace song {

namespace {

constexpr int kPitches = 128;
constexpr int kOctave = 12;

// The measure (index into `measureStarts`) a tick falls in.
std::size_t MeasureOf(std::int32_t tick, const std::vector<std::int32_t>& measureStarts) {
  const auto after = std::upper_bound(measureStarts.begin(), measureStarts.end(), tick);
  return after == measureStarts.begin() ? 0 : static_cast<std::size_t>(after - measureStarts.begin() - 1);
}

std::int64_t EndOf(const HandNote& note) { return std::int64_t{note.tick} + std::max(note.length, 0); }

// The pitch that best divides `pitches` into a lower and an upper group
// (the upper from it on): the one with the largest spread between the
// groups' averages weighed by their sizes, which is the one with the least
// spread within the groups; in the middle of the gap between the groups,
// where a point carried to the next measures divides them most evenly.
// None when all pitches are one.
std::optional<int> BestSplit(const std::vector<int>& pitches) {
  int count[kPitches]{};
  long total = 0, sum = 0;
  for (int raw : pitches) {
    const int p = std::clamp(raw, 0, kPitches - 1);
    ++count[p];
    ++total;
    sum += p;
  }
  std::optional<int> best;
  int bestGapEnd = 0;  // the last split of the gap `best` begins
  double bestSpread = 0;
  long below = 0, belowSum = 0;
  for (int split = 1; split < kPitches; ++split) {
    below += count[split - 1];
    belowSum += long{count[split - 1]} * (split - 1);
    const long above = total - below;
    if (below == 0 || above == 0) continue;
    const double gap = double(sum - belowSum) / double(above) - double(belowSum) / double(below);
    const double spread = double(below) * double(above) * gap * gap;
    if (spread > bestSpread) {
      bestSpread = spread;
      best = bestGapEnd = split;
    } else if (best && bestGapEnd == split - 1 && count[split - 1] == 0) {
      bestGapEnd = split;  // no pitch between: the same division
    }
  }
  if (best) best = (*best + bestGapEnd + 1) / 2;
  return best;
}

// How many of `notes` (those `in` the set, in order of start) start while
// a note of the other hand sounds, or together with one.
int NotesWithTheOtherHand(const std::vector<HandNote>& notes, const std::vector<Hand>& hands,
                          const std::vector<std::size_t>& in) {
  int together = 0;
  std::int64_t soundsUntil[2] = {INT64_MIN, INT64_MIN};  // by hand: the latest end of the notes begun
  for (std::size_t i = 0; i < in.size();) {
    // Every note starting at this tick is begun before any is weighed.
    std::size_t j = i;
    bool startsHere[2] = {false, false};
    for (; j < in.size() && notes[in[j]].tick == notes[in[i]].tick; ++j) {
      const auto hand = static_cast<std::size_t>(hands[in[j]]);
      startsHere[hand] = true;
      soundsUntil[hand] = std::max(soundsUntil[hand], EndOf(notes[in[j]]));
    }
    for (std::size_t k = i; k < j; ++k) {
      const std::size_t other = 1 - static_cast<std::size_t>(hands[in[k]]);
      if (startsHere[other] || soundsUntil[other] > notes[in[k]].tick) ++together;
    }
    i = j;
  }
  return together;
}

Hand HandOfPitch(int pitch, int split) { return pitch >= split ? Hand::Right : Hand::Left; }

// Each measure's split point from the notes sounding in it and in its
// neighbours; nullopt where those never sound on both sides at once. One
// sweep: the windows move forward, so a note that ended before one window
// sounds in none after it.
std::vector<std::optional<int>> WindowSplits(const std::vector<HandNote>& notes,
                                             const std::vector<std::int32_t>& measureStarts) {
  const std::size_t measures = measureStarts.size();
  std::vector<std::optional<int>> splits(measures);
  std::vector<std::size_t> sounding;  // notes begun before the window's end, in order of start
  std::vector<Hand> hands(notes.size());
  std::vector<int> pitches;
  std::size_t next = 0;
  for (std::size_t m = 0; m < measures; ++m) {
    const std::int64_t from = m == 0 ? INT64_MIN : measureStarts[m - 1];
    const std::int64_t to = m + 2 < measures ? std::int64_t{measureStarts[m + 2]} : INT64_MAX;
    while (next < notes.size() && notes[next].tick < to) sounding.push_back(next++);
    // A note of no length sounds at its tick; a longer one until its end.
    std::erase_if(sounding, [&](std::size_t i) { return EndOf(notes[i]) < from || (EndOf(notes[i]) == from && notes[i].tick < from); });
    pitches.clear();
    for (std::size_t i : sounding) pitches.push_back(notes[i].pitch);
    const std::optional<int> split = BestSplit(pitches);
    if (!split) continue;
    for (std::size_t i : sounding) hands[i] = HandOfPitch(notes[i].pitch, *split);
    if (NotesWithTheOtherHand(notes, hands, sounding) > 0) splits[m] = split;
  }
  return splits;
}

}  // namespace

HandSplit SplitHands(const std::vector<HandNote>& notes, const std::vector<std::int32_t>& measureStarts) {
  HandSplit result;
  result.hands.assign(notes.size(), Hand::Right);
  if (notes.empty() || measureStarts.empty()) return result;
  std::vector<std::optional<int>> splits = WindowSplits(notes, measureStarts);
  const auto first = std::find_if(splits.begin(), splits.end(), [](const auto& s) { return s.has_value(); });
  if (first == splits.end()) return result;  // the hands never play together
  std::optional<int> carried = *first;
  for (std::optional<int>& split : splits) {
    if (split) carried = split;
    else split = carried;
  }

  std::vector<int> pitchesOf[2];
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const Hand hand = HandOfPitch(notes[i].pitch, *splits[MeasureOf(notes[i].tick, measureStarts)]);
    result.hands[i] = hand;
    pitchesOf[static_cast<std::size_t>(hand)].push_back(notes[i].pitch);
  }
  std::vector<std::size_t> all(notes.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  const auto share = [&notes](std::size_t n) { return n * 5 >= notes.size(); };
  const auto middle = [](std::vector<int> pitches) {
    std::nth_element(pitches.begin(), pitches.begin() + static_cast<long>((pitches.size() - 1) / 2), pitches.end());
    return pitches[(pitches.size() - 1) / 2];
  };
  const std::vector<int>& left = pitchesOf[static_cast<std::size_t>(Hand::Left)];
  const std::vector<int>& right = pitchesOf[static_cast<std::size_t>(Hand::Right)];
  result.twoHands = share(left.size()) && share(right.size()) &&
                    share(static_cast<std::size_t>(NotesWithTheOtherHand(notes, result.hands, all))) &&
                    middle(right) - middle(left) > kOctave;
  return result;
}

}  // namespace song

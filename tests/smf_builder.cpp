#include "smf_builder.h"

#include <ftw.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "files/song_file.h"
#include "platform/testing/testing.h"
#include "song/song_scan.h"
#include "song/song_store.h"
#include "song/track_reader.h"

namespace test {

Bytes VarLen(std::uint32_t value) {
  Bytes out{static_cast<std::uint8_t>(value & 0x7F)};
  while ((value >>= 7) != 0) out.insert(out.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
  return out;
}

Track& Track::Event(std::uint32_t delta, Bytes bytes) {
  Bytes d = VarLen(delta);
  data.insert(data.end(), d.begin(), d.end());
  data.insert(data.end(), bytes.begin(), bytes.end());
  return *this;
}

Track& Track::Meta(std::uint32_t delta, std::uint8_t type, Bytes payload) {
  Bytes e{0xFF, type};
  Bytes n = VarLen(static_cast<std::uint32_t>(payload.size()));
  e.insert(e.end(), n.begin(), n.end());
  e.insert(e.end(), payload.begin(), payload.end());
  return Event(delta, e);
}

Track& Track::Tempo(std::uint32_t delta, std::uint32_t us) {
  return Meta(delta, 0x51, {static_cast<std::uint8_t>(us >> 16), static_cast<std::uint8_t>(us >> 8),
                            static_cast<std::uint8_t>(us)});
}

Track& Track::TimeSignature(std::uint32_t delta, std::uint8_t numerator, std::uint8_t exponent) {
  return Meta(delta, 0x58, {numerator, exponent, 24, 8});
}

Track& Track::Text(std::uint32_t delta, std::uint8_t type, const std::string& text) {
  return Meta(delta, type, Bytes(text.begin(), text.end()));
}

Track& Track::End(std::uint32_t delta) { return Meta(delta, 0x2F, {}); }

Bytes Chunk(const char id[4], const Bytes& data) {
  const auto n = static_cast<std::uint32_t>(data.size());
  Bytes out{static_cast<std::uint8_t>(id[0]), static_cast<std::uint8_t>(id[1]), static_cast<std::uint8_t>(id[2]),
            static_cast<std::uint8_t>(id[3]),  static_cast<std::uint8_t>(n >> 24), static_cast<std::uint8_t>(n >> 16),
            static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)};
  out.resize(8 + data.size());
  std::copy(data.begin(), data.end(), out.begin() + 8);
  return out;
}

Bytes HeaderChunk(std::uint16_t format, std::uint16_t tracks, std::uint16_t division) {
  return Chunk("MThd", {static_cast<std::uint8_t>(format >> 8), static_cast<std::uint8_t>(format),
                        static_cast<std::uint8_t>(tracks >> 8), static_cast<std::uint8_t>(tracks),
                        static_cast<std::uint8_t>(division >> 8), static_cast<std::uint8_t>(division)});
}

Bytes SmfFile(const std::vector<Track>& tracks, std::uint16_t division) {
  Bytes out = HeaderChunk(1, static_cast<std::uint16_t>(tracks.size()), division);
  for (const Track& t : tracks) {
    Bytes c = Chunk("MTrk", t.data);
    out.insert(out.end(), c.begin(), c.end());
  }
  return out;
}

void FreshStore() {
  platform::testing::Reset();
  song::ResetSongStore();
  song::ResetSongScan();
  files::ResetSongFile();
  song::PrepareSongStore();
  song::InstallEmptySong();
}

void InstallImage(const Bytes& image) {
  if (!image.empty()) std::memcpy(song::FreeSpace(), image.data(), image.size());
  song::InstallSongImage(static_cast<std::int32_t>(image.size()));
}

void InstallAndScan(const Bytes& image) {
  for (int t = song::TrackCount(); t >= 1; --t) song::ClearTrack(t);
  InstallImage(image);
  song::ScanSong(song::TrackEntry(0));
}

Bytes TrackBytes(int slot) {
  const std::int32_t d = song::TrackEntry(slot);
  const std::int32_t n = song::ReadBigEndian(d - 4, 4);
  const std::uint8_t* p = song::UsedSongBytes(d, n);
  return p ? Bytes(p, p + n) : Bytes{};
}

namespace {

// The folders WriteTempFile made. They are removed with everything the test
// put into them when the test program exits.
class TempFolders {
 public:
  TempFolders() = default;
  TempFolders(const TempFolders&) = delete;
  TempFolders& operator=(const TempFolders&) = delete;
  ~TempFolders() {
    for (const std::string& folder : folders_) nftw(folder.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  }
  void Add(const std::string& folder) { folders_.push_back(folder); }

 private:
  static int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return std::remove(path); }
  std::vector<std::string> folders_;
};

TempFolders& MadeFolders() {
  static TempFolders folders;
  return folders;
}

}  // namespace

std::string WriteTempFile(const Bytes& bytes, const std::string& name) {
  // Under TMPDIR, which a test process's private home points into.
  const char* temporary = std::getenv("TMPDIR");
  std::string dir = std::string(temporary != nullptr && *temporary != '\0' ? temporary : "/tmp") + "/tonquill-test-XXXXXX";
  const char* made = mkdtemp(dir.data());
  if (made != nullptr) MadeFolders().Add(made);
  std::string path = std::string(made ? made : "/tmp") + "/" + name;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return path;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadFile(path);
  return std::string(bytes.begin(), bytes.end());
}

std::string CommandOutput(const std::string& command, int* status) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    if (status != nullptr) *status = -1;
    return out;
  }
  char chunk[4096];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, got);
  const int closed = pclose(pipe);
  if (status != nullptr) *status = closed;
  return out;
}

}  // namespace test

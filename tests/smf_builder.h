// Builds Standard MIDI File images for the tests, and puts them into the
// song store the way the file loader does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test {

using Bytes = std::vector<std::uint8_t>;

// Variable-length quantity bytes of a value.
Bytes VarLen(std::uint32_t value);

// One track's events, added with their delta times.
struct Track {
  Bytes data;
  Track& Event(std::uint32_t delta, Bytes bytes);
  Track& Meta(std::uint32_t delta, std::uint8_t type, Bytes payload);
  Track& Tempo(std::uint32_t delta, std::uint32_t microseconds);
  Track& TimeSignature(std::uint32_t delta, std::uint8_t numerator, std::uint8_t exponent);
  Track& Text(std::uint32_t delta, std::uint8_t type, const std::string& text);
  Track& End(std::uint32_t delta = 0);  // end-of-track
};

Bytes Chunk(const char id[4], const Bytes& data);
Bytes HeaderChunk(std::uint16_t format, std::uint16_t tracks, std::uint16_t division);
// A format-1 file of the given tracks.
Bytes SmfFile(const std::vector<Track>& tracks, std::uint16_t division = 480);

// Fresh song store and scan, prepared with no command-line song.
void FreshStore();
// Puts an image at the fill offset and installs it (no scan).
void InstallImage(const Bytes& image);
// Installs and scans, as a successful load does.
void InstallAndScan(const Bytes& image);

// The track's bytes as they stand in the store (data offset to chunk end).
Bytes TrackBytes(int slot);

// Writes bytes to a file in a fresh temporary folder and returns its path.
// The folder, and whatever the test adds to it, is removed when the test
// program exits.
std::string WriteTempFile(const Bytes& bytes, const std::string& name = "song.mid");

Bytes ReadFile(const std::string& path);
// The same as text.
std::string ReadText(const std::string& path);

// Everything a shell command writes on its standard output; its exit status
// (as pclose gives it, -1 when it could not start) in `status` when given.
std::string CommandOutput(const std::string& command, int* status = nullptr);

}  // namespace test

// Where the program keeps a file of its own about a song in the user's data
// folder: named after the song's whole path, so that two songs never share
// one.
#pragma once

#include <string>

namespace files {

// The song's path with '%' written "%25" and '/' written "%2F", then
// `extension`. A name that would be too long for a file system keeps its
// end, then "%-" and a digest of the whole path: no name left whole holds
// "%-", so a cut name never equals another song's whole one.
std::string KeptFileName(const std::string& songPath, const char* extension);

// UserDataFolder()/subfolder/KeptFileName(...) for the song's resolved path
// (absolute, with no link and no "." or ".." in it); empty when there is no
// song or no data folder. A file the song had under the name an earlier
// version gave it (made from the path's letters alone, a long one cut and
// hashed otherwise) is still found while the new name holds nothing.
std::string KeptFilePath(const char* songPath, const char* subfolder, const char* extension);

}  // namespace files

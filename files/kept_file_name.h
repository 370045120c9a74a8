// Where the program keeps a file of its own about a song in the user's data
// folder: named after the song's whole path, so that two songs of the same
// name in different folders never share one.
#pragma once

#include <string>

namespace files {

// The song's absolute, normalised path with '%' written "%25" and '/'
// written "%2F", then `extension`. A name that would be too long for a file
// system keeps its end and gets a hash of the whole path instead.
std::string KeptFileName(const std::string& songPath, const char* extension);

// UserDataFolder()/subfolder/KeptFileName(...) for a song path; empty when
// there is no song or no data folder.
std::string KeptFilePath(const char* songPath, const char* subfolder, const char* extension);

}  // namespace files

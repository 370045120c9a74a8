// The SHA-256 digest of some bytes, for names that must stay apart even
// when someone tries to make two of them meet.
#pragma once

#include <string>
#include <string_view>

namespace files {

// The 32-byte digest written as 64 lowercase hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

}  // namespace files

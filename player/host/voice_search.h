// Where a voice named in a song is found: the voice directory settings
// (wildcards in their last component), the file name made from the voice
// name, and a letter-case-blind lookup inside each directory.
#pragma once

#include <string>
#include <string_view>

namespace kvt::host {

inline constexpr int kVoiceDirs = 2;
inline constexpr std::size_t kDirSettingSize = 256;

// The voice file's name: a three-letter extension cut, at most 8
// characters, ".kvw" appended. Empty for a name that cannot be a file name.
std::string voice_file_name(std::string_view voice_name);

// The path of the first readable voice file for `voice_name`, or empty.
std::string find_voice_file(std::string_view voice_name, const char (&dirs)[kVoiceDirs][kDirSettingSize]);

}  // namespace kvt::host

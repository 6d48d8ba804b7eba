// The file formats a rendering can be written in, chosen by name or by the
// output's extension, and the rates each of them can hold.
#pragma once

#include <optional>
#include <string>

namespace kvt::frontend {

enum class AudioFormat { wave, flac, vorbis, opus };

// "wav", "flac", "ogg" or "opus"; nothing for any other name.
std::optional<AudioFormat> format_named(const std::string& name);
// By the extension of `path`, blind to case; WAVE for any other extension,
// as every output was before there were other formats.
AudioFormat format_for_output(const std::string& path);
// ".wav", ".flac", ".ogg" or ".opus".
const char* format_extension(AudioFormat format);
// Whether the format drops detail: it then takes no 8-bit sound.
bool is_lossy(AudioFormat format);

// The rate an output is made at when none is asked for: Opus knows no
// 44100 Hz, so it gets 48000.
int default_rate(AudioFormat format);
// Why `format` cannot hold sound at `rate` Hz, or nothing when it can.
std::optional<std::string> rate_refusal(AudioFormat format, int rate);

}  // namespace kvt::frontend

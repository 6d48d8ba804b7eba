#include "audio_format.h"

#include "song_names.h"

namespace kvt::frontend {
namespace {

struct FormatName {
  AudioFormat format;
  const char* name;
  const char* extension;
};

constexpr FormatName kFormats[] = {
    {AudioFormat::wave, "wav", ".wav"},
    {AudioFormat::flac, "flac", ".flac"},
    {AudioFormat::vorbis, "ogg", ".ogg"},
    {AudioFormat::opus, "opus", ".opus"},
};

constexpr int kOpusRate = 48000;

}  // namespace

std::optional<AudioFormat> format_named(const std::string& name) {
  for (const FormatName& f : kFormats) {
    if (name == f.name) return f.format;
  }
  return std::nullopt;
}

AudioFormat format_for_output(const std::string& path) {
  for (const FormatName& f : kFormats) {
    if (has_extension(path, f.extension)) return f.format;
  }
  return AudioFormat::wave;
}

const char* format_extension(AudioFormat format) {
  for (const FormatName& f : kFormats) {
    if (f.format == format) return f.extension;
  }
  return ".wav";
}

bool is_lossy(AudioFormat format) { return format == AudioFormat::vorbis || format == AudioFormat::opus; }

int default_rate(AudioFormat format) { return format == AudioFormat::opus ? kOpusRate : 44100; }

std::optional<std::string> rate_refusal(AudioFormat format, int rate) {
  if (format == AudioFormat::opus && rate != kOpusRate) {
    return "Opus is made at 48000 Hz only, not at " + std::to_string(rate) + " Hz (leave out --rate, or give --rate 48000)";
  }
  return std::nullopt;
}

}  // namespace kvt::frontend

// Reading, writing and encoding go through libsndfile and resampling through
// libsoxr: both are small, long-kept standard libraries whose FLAC, Vorbis
// and Opus encoders and band-limited resampling a hand-written replacement
// would only match with far more code and far less testing.
#include "audio_export.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "file_reasons.h"
#include "resampler.h"

namespace kvt::frontend {
namespace {

constexpr sf_count_t kChunkFrames = 8192;

struct SoundFileCloser {
  void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

int sndfile_format(AudioFormat format, bool eight_bit) {
  switch (format) {
    case AudioFormat::flac: return SF_FORMAT_FLAC | (eight_bit ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_16);
    case AudioFormat::vorbis: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    case AudioFormat::opus: return SF_FORMAT_OGG | SF_FORMAT_OPUS;
    case AudioFormat::wave: break;
  }
  return SF_FORMAT_WAV | (eight_bit ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
}

// Writes interleaved frames; the reason when the file takes fewer.
std::optional<std::string> write_frames(SNDFILE* file, const std::vector<std::int16_t>& samples, int channels) {
  const auto frames = static_cast<sf_count_t>(samples.size() / static_cast<std::size_t>(channels));
  if (frames == 0 || sf_writef_short(file, samples.data(), frames) == frames) return std::nullopt;
  return sf_strerror(file);
}

class Exporter {
 public:
  Exporter(SNDFILE* in, const SF_INFO& from, SNDFILE* out, int rate, const ExportProgress& progress)
      : in_(in), from_(from), out_(out), progress_(progress) {
    if (rate != from.samplerate) resampler_.emplace(from.samplerate, rate, from.channels);
  }

  // Nothing when every frame was written, or stopped (then stopped()).
  std::optional<std::string> run() {
    std::vector<std::int16_t> chunk(static_cast<std::size_t>(kChunkFrames * from_.channels));
    sf_count_t done = 0;
    for (;;) {
      const sf_count_t got = sf_readf_short(in_, chunk.data(), kChunkFrames);
      if (got <= 0) break;
      if (auto failure = write_frames(out_, convert(chunk.data(), static_cast<std::size_t>(got)), from_.channels)) {
        return failure;
      }
      done += got;
      if (!progress_(static_cast<int>(done * 100 / std::max<sf_count_t>(from_.frames, 1)))) {
        stopped_ = true;
        return std::nullopt;
      }
    }
    return resampler_ ? write_frames(out_, resampler_->process(nullptr, 0), from_.channels) : std::nullopt;
  }

  bool stopped() const { return stopped_; }

 private:
  std::vector<std::int16_t> convert(const std::int16_t* samples, std::size_t frames) {
    if (resampler_) return resampler_->process(samples, frames);
    return {samples, samples + frames * static_cast<std::size_t>(from_.channels)};
  }

  SNDFILE* in_;
  SF_INFO from_;
  SNDFILE* out_;
  const ExportProgress& progress_;
  std::optional<Resampler> resampler_;
  bool stopped_ = false;
};

Outcome failed(std::optional<Message> why) {
  Outcome outcome;
  if (why) outcome.messages.push_back(std::move(*why));
  return outcome;
}

}  // namespace

Outcome export_audio(const std::string& wave, const std::string& out, const ExportSettings& settings,
                     const ExportProgress& progress) {
  SF_INFO from{};
  const SoundFile in(sf_open(wave.c_str(), SFM_READ, &from));
  if (!in) return failed(cannot("read", wave, sf_strerror(nullptr)));
  SF_INFO to{};
  to.samplerate = settings.rate;
  to.channels = from.channels;
  to.format = sndfile_format(settings.format, (from.format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_U8);
  SoundFile file(sf_open(out.c_str(), SFM_WRITE, &to));
  if (!file) return failed(cannot("write", out, sf_strerror(nullptr)));
  try {
    Exporter exporter(in.get(), from, file.get(), settings.rate, progress);
    if (const auto failure = exporter.run()) return failed(cannot("write", out, *failure));
    if (exporter.stopped()) return failed(std::nullopt);
  } catch (const std::runtime_error& e) {
    return failed(cannot("write", out, e.what()));
  }
  // Closing writes the encoder's last pages and the final header.
  const int closed = sf_close(file.release());
  if (closed != SF_ERR_NO_ERROR) return failed(cannot("write", out, sf_error_number(closed)));
  Outcome done;
  done.ok = true;
  return done;
}

}  // namespace kvt::frontend

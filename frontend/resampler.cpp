#include "resampler.h"

#include <soxr.h>

#include <stdexcept>
#include <string>

namespace kvt::frontend {

struct Resampler::Converter {
  soxr_t handle = nullptr;
  ~Converter() { soxr_delete(handle); }
};

Resampler::Resampler(int from_rate, int to_rate, int channels)
    : converter_(std::make_unique<Converter>()),
      channels_(channels),
      ratio_(static_cast<double>(to_rate) / from_rate) {
  // Without dither the same song always makes the same file; the rendering
  // is 16-bit already, so rounding adds nothing one could hear.
  const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
  soxr_io_spec_t undithered = io;
  undithered.flags |= SOXR_NO_DITHER;
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_error_t error = nullptr;
  converter_->handle = soxr_create(from_rate, to_rate, static_cast<unsigned>(channels), &error, &undithered, &quality,
                                   nullptr);
  if (error != nullptr) throw std::runtime_error(std::string("cannot resample: ") + error);
}

Resampler::~Resampler() = default;

const std::vector<std::int16_t>& Resampler::process(const std::int16_t* input, std::size_t frames) {
  output_.clear();
  // Room for what these frames make plus what the filter held back; the
  // loop goes on until the input is used up (or, draining, nothing comes).
  const std::size_t room = static_cast<std::size_t>(static_cast<double>(frames) * ratio_) + 4096;
  std::vector<std::int16_t> piece(room * static_cast<std::size_t>(channels_));
  std::size_t used = 0;
  for (;;) {
    std::size_t taken = 0;
    std::size_t made = 0;
    const std::int16_t* in = frames == 0 ? nullptr : input + used * static_cast<std::size_t>(channels_);
    const soxr_error_t error = soxr_process(converter_->handle, in, frames - used, &taken, piece.data(), room, &made);
    if (error != nullptr) throw std::runtime_error(std::string("cannot resample: ") + error);
    used += taken;
    output_.insert(output_.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(made) * channels_);
    if (frames == 0 ? made == 0 : used == frames && made < room) break;
  }
  return output_;
}

}  // namespace kvt::frontend

// Interleaved 16-bit sound from one rate to another, as a stream: fed in
// pieces, then drained.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace kvt::frontend {

class Resampler {
 public:
  // Throws std::runtime_error when the converter cannot be made.
  Resampler(int from_rate, int to_rate, int channels);
  ~Resampler();
  Resampler(const Resampler&) = delete;
  Resampler& operator=(const Resampler&) = delete;

  // The frames that `frames` more frames of input yield so far; an empty
  // input (frames 0) drains what the converter still holds.
  const std::vector<std::int16_t>& process(const std::int16_t* input, std::size_t frames);

 private:
  struct Converter;
  std::unique_ptr<Converter> converter_;
  int channels_;
  double ratio_;
  std::vector<std::int16_t> output_;
};

}  // namespace kvt::frontend

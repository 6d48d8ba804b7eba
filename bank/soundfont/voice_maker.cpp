#include "voice_maker.h"

#include <soxr.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "sample_pitch.h"

namespace kvt::soundfont {
namespace {

std::vector<std::int16_t> resampled(const std::vector<std::int16_t>& in, double from, double to) {
  std::vector<std::int16_t> out(static_cast<std::size_t>(std::ceil(in.size() * to / from)) + 1);
  std::size_t done = 0;
  const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
  const soxr_error_t error =
      soxr_oneshot(from, to, 1, in.data(), in.size(), nullptr, out.data(), out.size(), &done, &io, nullptr, nullptr);
  if (error != nullptr) throw std::runtime_error(std::string("cannot resample: ") + error);
  out.resize(done);
  return out;
}

std::uint32_t scaled(std::uint32_t at, double ratio) { return static_cast<std::uint32_t>(std::lround(at * ratio)); }

std::string voice_name(std::size_t index) {
  char name[16];
  std::snprintf(name, sizeof name, "s%04zu", index + 1);
  return name;
}

}  // namespace

VoiceMaker::Placed VoiceMaker::voice_for(const KeyZone& zone) {
  const Sample& s = file_.samples[zone.sample];
  const int cls = rate_class_.value_or(auto_rate_class(s.rate));
  const bool resample = kClassRates[cls] < s.rate;
  const double rate = resample ? kClassRates[cls] : s.rate;
  const SamplePitch pitch = sample_pitch(rate, cls, zone.tune_cents);
  const std::uint32_t end = zone.loop ? zone.loop_end : zone.end;
  const Key key{zone.start, end, zone.loop ? zone.loop_start : end, zone.loop, cls, pitch.tuning};
  if (const auto found = made_.find(key); found != made_.end()) return {found->second, pitch.semitones};

  if (voices_.size() >= kMaxVoices)
    throw Sf2Error("more samples than a bank holds (" + std::to_string(kMaxVoices) + ")");
  points_ += end - zone.start;
  if (points_ > max_points()) throw Sf2Error("its zones would copy the sample data more than four times over");
  bank::VoiceFile v;
  v.name = voice_name(voices_.size());
  v.samples.assign(file_.data.begin() + zone.start, file_.data.begin() + end);
  v.loop_start = zone.loop ? zone.loop_start - zone.start : 0;
  if (resample) {
    const double ratio = rate / s.rate;
    v.samples = resampled(v.samples, s.rate, rate);
    v.loop_start = std::min(scaled(v.loop_start, ratio), static_cast<std::uint32_t>(v.samples.size()));
  }
  if (v.samples.empty()) v.samples.push_back(0);
  v.one_shot = !zone.loop;
  v.rate_class = static_cast<std::uint8_t>(cls);
  v.tuning = pitch.tuning;
  const int index = static_cast<int>(voices_.size());
  voices_.push_back(std::move(v));
  made_.emplace(key, index);
  return {index, pitch.semitones};
}

}  // namespace kvt::soundfont

#include "wav_render.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "loader.h"
#include "song_tail.h"
#include "wav_file.h"

namespace kvt::host {
namespace {

constexpr const char kFinished[] = "\x8F\x49\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";  // "finished" in Shift-JIS

class Renderer {
 public:
  explicit Renderer(WavJob& job) : job_(job), driver_(*job.player.driver), tail_(job.clean_end, job.rate) {}

  void run();

 private:
  void start_pass();
  SongTail::Block next_block();  // fades once the loop count is reached
  std::size_t block_samples() const { return static_cast<std::size_t>(job_.channel) * kBlockFrames; }
  std::uint64_t block_limit(int bytes_per_sample) const;
  long seconds(long block) const { return (block * kBlockFrames + kBlockFrames) / static_cast<long>(job_.rate); }
  bool measure_peak();  // false when cancelled
  void write_file();
  std::size_t to_bytes(int divisor);
  void end(const char* text, int outcome);

  WavJob& job_;
  driver::Context& driver_;
  SongTail tail_;
  long peak_ = 0;
};

// A fade that the first pass reached still acts on the first tick of the
// restart, so the fade is stopped only after the driver is initialised.
void Renderer::start_pass() {
  driver_.sb16 = job_.rate_index;
  driver_.channel = job_.channel;
  driver_.effect_level = job_.effect_level;
  driver_.cpu_code = 1;
  driver_.dwDataSize = kWorkBufferSize;
  driver_.buffer = job_.buffer.get();
  driver_.soft_part_end = job_.clean_end;
  driver::init(driver_);
  driver_.fade_speed = 0;
  tail_.restart();
}

SongTail::Block Renderer::next_block() {
  const int r = driver::play(driver_);
  if (driver::passes(driver_) >= job_.loop) driver_.fade_speed = job_.fade * 16 + 4;
  return tail_.classify(r, job_.buffer.get(), block_samples(), kBlockFrames);
}

// Blocks that fit the 32-bit sizes of the file's header.
std::uint64_t Renderer::block_limit(int bytes_per_sample) const {
  return kWavDataLimit / (block_samples() * bytes_per_sample);
}

bool Renderer::measure_peak() {
  long shown = -1;
  char line[96];
  const std::uint64_t limit = block_limit(1);
  for (std::uint64_t n = 0; n < limit; ++n) {
    const SongTail::Block block = next_block();
    if (block == SongTail::Block::after) break;
    const std::int16_t* s = job_.buffer.get();
    for (std::size_t i = 0; i < block_samples(); ++i) peak_ = std::max<long>(peak_, std::labs(s[i]));
    if (seconds(static_cast<long>(n)) != shown) {
      shown = seconds(static_cast<long>(n));
      std::snprintf(line, sizeof line, "Pass 1 : Play time= %ld second", shown);
      job_.mailbox.show(line);
    }
    if (job_.end_flag.load() != kRendering) {
      job_.mailbox.append("\nStop converting to wave file.");
      return false;
    }
    if (block == SongTail::Block::last) break;
  }
  return true;
}

// Packs the block into 8-bit unsigned samples in place, scaled by `divisor`.
std::size_t Renderer::to_bytes(int divisor) {
  const int half = divisor / 2;
  const std::int16_t* s = job_.buffer.get();
  auto* out = reinterpret_cast<std::uint8_t*>(job_.buffer.get());
  for (std::size_t i = 0; i < block_samples(); ++i) {
    // Only a sample of exactly +128 x divisor reaches 256.
    out[i] = static_cast<std::uint8_t>(std::min((s[i] + 128 * divisor + half) / divisor, 255));
  }
  return block_samples();
}

void Renderer::write_file() {
  const bool eight = job_.bit == 8;
  const int divisor = static_cast<int>((peak_ - 1) / 128 + 1);
  WavFile file(job_.wav_path, WavFormat{job_.rate, static_cast<std::uint16_t>(job_.channel),
                                        static_cast<std::uint16_t>(eight ? 8 : 16)});
  char line[128];
  // The line changes once a second of song; the last block's line is shown
  // whatever its second, so the final size is exact.
  long shown = -1;
  long secs = 0;
  long size = 0;
  bool pending = false;
  const auto show_progress = [&] {
    if (eight) {
      std::snprintf(line, sizeof line, "Pass 2 [/%d]: Play time= %ld second   File size= %ld byte", divisor, secs, size);
    } else {
      std::snprintf(line, sizeof line, "Play time= %ld second   File size= %ld byte", secs, size);
    }
    job_.mailbox.show(line);
    shown = secs;
    pending = false;
  };
  const std::uint64_t limit = block_limit(eight ? 1 : 2);
  std::uint64_t n = 0;
  bool more = true;
  for (; more && n < limit; ++n) {
    const SongTail::Block block = next_block();
    if (block == SongTail::Block::after) break;
    more = block == SongTail::Block::song;
    const std::size_t bytes = eight ? to_bytes(divisor) : block_samples() * 2;
    if (!file.write(job_.buffer.get(), bytes)) {
      file.abandon();
      job_.mailbox.message("It failed to write out.", KVT_ICON_NONE);
      return end(nullptr, KVT_RENDER_NO_FILE);
    }
    size = static_cast<long>(bytes * (n + 1) + kWavHeaderSize);
    secs = seconds(static_cast<long>(n));
    pending = true;
    if (secs != shown) show_progress();
    if (job_.end_flag.load() != kRendering) break;
  }
  if (pending) show_progress();
  // Cut short by a cancel or by the largest size a WAVE file can count.
  const bool shorter = job_.end_flag.load() != kRendering || (more && n == limit);
  if (shorter) job_.mailbox.show("WAV file is closed halfway!", ProgressMailbox::Keep::always);
  if (!file.finish()) {
    job_.mailbox.message("It failed to write out.", KVT_ICON_NONE);
    return end(nullptr, KVT_RENDER_NO_FILE);
  }
  end(kFinished, shorter ? KVT_RENDER_SHORTER : KVT_RENDER_COMPLETE);
}

void Renderer::end(const char* text, int outcome) {
  free_kvw(job_.player);
  job_.outcome = outcome;
  if (text != nullptr) job_.mailbox.show(text, ProgressMailbox::Keep::always);
  job_.end_flag.store(kWorkerDone);
  job_.mailbox.done();
}

void Renderer::run() {
  driver_.fade_speed = 0;  // the first pass starts without a fade
  start_pass();
  if (job_.bit == 8) {
    if (!measure_peak()) return end(nullptr, KVT_RENDER_NO_FILE);
    start_pass();
  }
  write_file();
}

}  // namespace

WavJob::WavJob(Player& p, const char* path, std::uint32_t r, const playstruct& s, const OutputOptions& o)
    : player(p),
      wav_path(path),
      rate(r),
      rate_index(s.rate_index),
      channel(s.channel == 1 ? 1 : 2),
      effect_level(s.effect_level),
      fade(std::clamp(s.fade, 0, 2)),
      loop(o.loop > 0 ? o.loop : s.loop == 2 ? 2 : 1),
      bit(s.bit == 8 ? 8 : 16),
      clean_end(o.clean_end) {}

std::uint32_t wav_rate(int rate_index) {
  switch (rate_index) {
    case 0: return 44100;
    case 1: return 33075;
    case 2: return 22050;
    case 4: return 11025;
    default: return 0;  // 16538 Hz has no place in WAVE output
  }
}

void render_wav(WavJob& job) { Renderer(job).run(); }

}  // namespace kvt::host

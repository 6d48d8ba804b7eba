#include "song_builder.h"

#include <utility>

namespace kvt::test {
namespace {

void put16(Bytes& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}

void set16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

Bytes make_voice(const VoiceParams& s) {
  Bytes v(0x100, 0);
  const char* magic = s.wide ? "FSPW" : "FSPP";
  for (int i = 0; i < 4; ++i) v[i] = static_cast<std::uint8_t>(magic[i]);
  const auto length = static_cast<std::uint32_t>(s.samples.size());
  set16(v, 0x06, length & 0xFFFF);
  set16(v, 0x40, length >> 16);
  set16(v, 0x08, s.loop_start & 0xFFFF);
  set16(v, 0x42, s.loop_start >> 16);
  v[0x0A] = s.loop_fraction;
  v[0x0B] = s.rate_class;
  v[0x0C] = s.key_offset;
  v[0x0D] = s.default_set;
  v[0x0E] = s.one_shot ? 1 : 0;
  for (int set = 0; set < 4; ++set)
    for (int i = 0; i < 8; ++i) v[0x10 + 8 * set + i] = s.sets[set][i];
  set16(v, 0x30, s.tuning);
  for (int i = 0; i < 8; ++i) v[0x48 + i] = s.set_levels[i];
  std::vector<std::int32_t> data = s.samples;
  data.push_back(s.loop_start < data.size() ? data[s.loop_start] : 0);
  for (std::int32_t x : data) {
    if (s.wide) put16(v, static_cast<std::uint16_t>(x));
    else v.push_back(static_cast<std::uint8_t>(x));
  }
  return v;
}

Bytes voice_file(const VoiceParams& params) {
  Bytes v = make_voice(params);
  v.resize(v.size() - (params.wide ? 2 : 1));
  if (!params.wide) {
    for (std::size_t i = 0x100; i < v.size(); ++i) v[i] = static_cast<std::uint8_t>(v[i] - 0x80);
  }
  return v;
}

Bytes dc_voice(std::int32_t value, std::uint32_t length) {
  VoiceParams s;
  s.samples.assign(length, value);
  return make_voice(s);
}

Bytes make_song(const SongParams& params, const SongListing& listing) {
  const std::size_t count = params.parts.size();
  Bytes song = {'K', 'V', 'T', 'M', params.default_length};
  put16(song, params.tempo);
  const std::uint32_t table_end = 0x10 + 2 * static_cast<std::uint32_t>(count);
  put16(song, table_end);
  song.push_back(0);
  song.push_back(params.paragraphs ? 0x80 : 0xFF);
  put16(song, 0xFFFF);
  put16(song, 0xFFFF);
  song.push_back(0xFF);
  song.resize(table_end, 0);
  song[0x09] = static_cast<std::uint8_t>(listing.voices.size());
  const std::size_t voice_list = song.size();
  song.resize(song.size() + 2 * listing.voices.size(), 0);
  for (std::size_t i = 0; i < count; ++i) {
    if (params.parts[i].empty()) {
      set16(song, 0x10 + 2 * i, 0xFFFF);
      continue;
    }
    if (params.paragraphs) song.resize((song.size() + 15) & ~std::size_t{15}, 0);
    set16(song, 0x10 + 2 * i, params.paragraphs ? song.size() / 16 : song.size());
    song.insert(song.end(), params.parts[i].begin(), params.parts[i].end());
  }
  for (std::size_t i = 0; i < listing.voices.size(); ++i) {
    set16(song, voice_list + 2 * i, song.size());
    song.push_back(listing.voices[i].first);
    song.insert(song.end(), listing.voices[i].second.begin(), listing.voices[i].second.end());
    song.push_back(0);
  }
  if (listing.title) {
    set16(song, 0x0B, song.size());
    song.insert(song.end(), listing.title->begin(), listing.title->end());
  }
  return song;
}

Harness::Harness(Bytes song, std::map<int, Bytes> voices, Output out)
    : ctx_(driver::make_context()), song_(std::move(song)), voices_(std::move(voices)), buffer_(8192) {
  driver::Context& c = *ctx_;
  c.fm = song_.data();
  c.fm_size = song_.size();
  for (auto& [slot, image] : voices_) {
    c.kvw[slot] = image.data();
    c.kvw_size[slot] = image.size();
  }
  c.sb16 = out.rate_index;
  c.channel = out.channel;
  c.effect_level = out.effect_level;
  c.cpu_code = out.cpu_code;
  c.buffer = buffer_.data();
  c.dwDataSize = static_cast<int>(buffer_.size() * sizeof(std::int16_t));
  init();
}

void Harness::init() {
  driver::worksize();
  driver::init(*ctx_);
}

void Harness::set_block_frames(int frames) {
  ctx_->dwDataSize = frames * 8;
  init();
}

int Harness::play() { return driver::play(*ctx_); }

std::size_t Harness::block_samples() const { return ctx_->channel == 1 ? 2048 : 4096; }

std::vector<std::int16_t> Harness::render(int blocks) {
  std::vector<std::int16_t> out;
  for (int i = 0; i < blocks; ++i) {
    play();
    out.insert(out.end(), buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(block_samples()));
  }
  return out;
}

std::vector<std::int16_t> Harness::render_left(int blocks) {
  const std::vector<std::int16_t> all = render(blocks);
  if (ctx_->channel == 1) return all;
  std::vector<std::int16_t> left;
  for (std::size_t i = 0; i < all.size(); i += 2) left.push_back(all[i]);
  return left;
}

}  // namespace kvt::test

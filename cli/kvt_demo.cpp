// Renders a short built-in song with a built-in voice to a WAVE file, so a
// fresh build can be heard before any song or voice files exist.
//   kvt_demo OUT.wav
#include <cmath>
#include <numbers>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "kvt/driver.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<unsigned char>(v));
  b.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(Bytes& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// 16-bit voice: a 441 Hz tone at 44.1 kHz (100 samples per cycle) whose last
// cycle loops; key index 36 plays it at that pitch.
Bytes make_voice() {
  constexpr int kCycles = 40;
  constexpr int kPeriod = 100;
  constexpr int kLength = kCycles * kPeriod;
  Bytes v(0x100, 0);
  v[0] = 'F', v[1] = 'S', v[2] = 'P', v[3] = 'W';
  v[6] = kLength & 0xFF, v[7] = kLength >> 8;
  const int loop = kLength - kPeriod;
  v[8] = loop & 0xFF, v[9] = loop >> 8;
  const unsigned char envelope[8] = {100, 94, 70, 4, 40, 6, 10, 84};
  for (int s = 0; s < 4; ++s)
    for (int i = 0; i < 8; ++i) v[0x10 + 8 * s + i] = envelope[i];
  v[0x30] = 0x00, v[0x31] = 0x80;
  for (int i = 0; i < 8; ++i) v[0x48 + i] = 0xFF;
  std::vector<std::int16_t> samples;
  for (int i = 0; i < kLength; ++i) {
    const double t = 2 * std::numbers::pi * i / kPeriod;
    const double fade = 1.0 - 0.5 * i / kLength;  // brighter attack
    samples.push_back(static_cast<std::int16_t>(12000 * (std::sin(t) + 0.5 * fade * std::sin(2 * t) +
                                                         0.25 * fade * std::sin(3 * t))));
  }
  samples.push_back(samples[loop]);  // the renderer reads one sample past the end
  for (std::int16_t s : samples) put16(v, static_cast<std::uint16_t>(s));
  return v;
}

// Keys count semitones; key 36 is the tone's A.
Bytes make_song() {
  const std::vector<Bytes> parts = {
      // melody: volume, reverb send, a two-pass phrase with a slight vibrato
      {0x6D, 252, 0x70, 0xF6, 0x7B, 1, 0x76, 8, 0, 3, 24, 6, 0, 0x60, 2, 39, 24, 43, 24, 46, 48, 44, 24, 43, 24,
       39, 72, 0x75, 24, 0x61, 46, 24, 48, 24, 51, 96, 0xFF},
      // bass
      {0x6D, 248, 0x70, 10, 0x7F, 1, 0x60, 4, 27, 48, 34, 48, 0x61, 0xFF},
      // a held fifth, quieter, with reverb set up by this part
      {0x7C, 90, 120, 0xB4, 0x00, 0, 0x6D, 236, 0x7B, 1, 0xE1, 28, 0x60, 4, 31, 96, 0x61, 0xFF},
  };
  Bytes song = {'K', 'V', 'T', 'M', 24};
  put16(song, 28);                              // 120 bpm at 48 ticks per quarter
  const unsigned table_end = 0x10 + 2 * parts.size();
  put16(song, table_end);
  song.push_back(0);                            // no voice records: slot 0 is given directly
  song.push_back(0xFF);                         // byte offsets
  put16(song, 0xFFFF);                          // no title
  put16(song, 0xFFFF);                          // no key table
  song.push_back(0xFF);
  unsigned at = table_end;
  for (const Bytes& p : parts) {
    put16(song, at);
    at += p.size();
  }
  for (const Bytes& p : parts) song.insert(song.end(), p.begin(), p.end());
  return song;
}

Bytes wav_header(std::uint32_t data_bytes) {
  Bytes h = {'R', 'I', 'F', 'F'};
  put32(h, data_bytes + 36);
  for (char c : std::string("WAVEfmt ")) h.push_back(static_cast<unsigned char>(c));
  put32(h, 16);
  put16(h, 1);
  put16(h, 2);
  put32(h, 44100);
  put32(h, 44100 * 4);
  put16(h, 4);
  put16(h, 16);
  for (char c : std::string("data")) h.push_back(static_cast<unsigned char>(c));
  put32(h, data_bytes);
  return h;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kvt_demo OUT.wav\n");
    return 2;
  }
  const Bytes song = make_song();
  const Bytes voice = make_voice();
  std::vector<std::int16_t> buffer(8192);

  kvt_driver* driver = kvt_driver_default();
  kvt_driver_inputs* io = kvt_driver_io(driver);
  io->fm = song.data();
  io->fm_size = song.size();
  for (int i = 0; i < 256; ++i) io->kvw[i] = KVT_EMPTY_VOICE;
  io->kvw[0] = voice.data();
  io->kvw_size[0] = voice.size();
  io->sb16 = 0;
  io->channel = 2;
  io->dwDataSize = static_cast<int>(buffer.size() * sizeof(std::int16_t));
  io->buffer = buffer.data();
  io->effect_level = 2;
  io->cpu_code = 1;
  _kvt_worksize();
  _kvt_init();

  const std::string out = argv[1];
  const std::string tmp = out + ".part";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (f == nullptr) {
    std::perror(tmp.c_str());
    return 1;
  }
  std::uint32_t data_bytes = 0;
  bool ok = std::fseek(f, 44, SEEK_SET) == 0;
  constexpr int kTailBlocks = 20;  // let the reverb ring out
  for (int tail = kTailBlocks; ok && tail > 0;) {
    if (_kvt_play() < 0) --tail;
    ok = std::fwrite(buffer.data(), 1, 8192, f) == 8192;
    data_bytes += 8192;
  }
  const Bytes header = wav_header(data_bytes);
  ok = ok && std::fseek(f, 0, SEEK_SET) == 0 && std::fwrite(header.data(), 1, header.size(), f) == header.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok || std::rename(tmp.c_str(), out.c_str()) != 0) {
    std::remove(tmp.c_str());
    std::fprintf(stderr, "kvt_demo: could not write %s\n", out.c_str());
    return 1;
  }
  std::printf("wrote %s (%.1f s)\n", out.c_str(), data_bytes / 4 / 44100.0);
  return 0;
}

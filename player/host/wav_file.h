// A RIFF WAVE file written under a temporary name beside its target and
// renamed over it when finished, so that a failed rendering leaves nothing
// and an existing file stays whole until the new one is complete.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kvt::host {

struct WavFormat {
  std::uint32_t rate;
  std::uint16_t channel;
  std::uint16_t bit;
};

inline constexpr std::size_t kWavHeaderSize = 44;
// The largest data size that the header's 32-bit sizes can count.
inline constexpr std::uint64_t kWavDataLimit = 0xFFFFFFFFull - (kWavHeaderSize - 8);
// The samples go to the file in pieces of this size: a song's 8 KiB blocks
// one by one would cost a system call each.
inline constexpr std::size_t kWavWriteChunk = std::size_t{1} << 20;

// The 44-byte header for `data_size` bytes of samples.
void wav_header(const WavFormat& format, std::uint32_t data_size, std::uint8_t (&out)[kWavHeaderSize]);

class WavFile {
 public:
  WavFile(std::string target, const WavFormat& format);
  ~WavFile();  // an unfinished file is removed
  WavFile(const WavFile&) = delete;
  WavFile& operator=(const WavFile&) = delete;

  // False once anything failed, including the creation of the file; a
  // failed write removes the file at once.
  bool write(const void* data, std::size_t size);
  // Writes what is still held and the header for the data written, closes
  // and renames.
  bool finish();
  void abandon();

 private:
  bool flush();

  std::string target_;
  std::string temp_;
  WavFormat format_;
  int fd_ = -1;
  std::uint64_t data_size_ = 0;
  std::unique_ptr<std::uint8_t[]> held_;  // kWavWriteChunk bytes
  std::size_t held_size_ = 0;
};

}  // namespace kvt::host

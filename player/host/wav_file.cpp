#include "wav_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "atomic_file.h"

namespace kvt::host {
namespace {

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

void wav_header(const WavFormat& f, std::uint32_t data_size, std::uint8_t (&out)[kWavHeaderSize]) {
  const std::uint16_t frame_bytes = static_cast<std::uint16_t>(f.channel * f.bit / 8);
  std::memcpy(out, "RIFF", 4);
  put32(out + 4, data_size + 36);
  std::memcpy(out + 8, "WAVEfmt ", 8);
  put32(out + 16, 16);
  put16(out + 20, 1);
  put16(out + 22, f.channel);
  put32(out + 24, f.rate);
  put32(out + 28, f.rate * frame_bytes);
  put16(out + 32, frame_bytes);
  put16(out + 34, f.bit);
  std::memcpy(out + 36, "data", 4);
  put32(out + 40, data_size);
}

WavFile::WavFile(std::string target, const WavFormat& format) : target_(std::move(target)), format_(format) {
  fd_ = create_beside(target_, temp_);
  if (fd_ >= 0 && lseek(fd_, kWavHeaderSize, SEEK_SET) != static_cast<off_t>(kWavHeaderSize)) abandon();
  if (fd_ >= 0) held_.reset(new std::uint8_t[kWavWriteChunk]);  // not zeroed: every byte is written before use
}

WavFile::~WavFile() { abandon(); }

bool WavFile::write(const void* data, std::size_t size) {
  if (fd_ < 0 || data_size_ + size > kWavDataLimit) return false;
  const auto* from = static_cast<const std::uint8_t*>(data);
  while (size > 0) {
    const std::size_t part = std::min(size, kWavWriteChunk - held_size_);
    std::memcpy(held_.get() + held_size_, from, part);
    held_size_ += part;
    data_size_ += part;
    from += part;
    size -= part;
    if (held_size_ == kWavWriteChunk && !flush()) return false;
  }
  return true;
}

// A failure ends the file: what it holds is incomplete.
bool WavFile::flush() {
  const bool written = write_all(fd_, held_.get(), held_size_);
  if (written && held_size_ > 0) {
    // The disk starts on each chunk while the next one renders, so the
    // sync at the end has little left to wait for.
    const auto at = static_cast<off_t>(kWavHeaderSize + data_size_ - held_size_);
    sync_file_range(fd_, at, static_cast<off_t>(held_size_), SYNC_FILE_RANGE_WRITE);
  }
  held_size_ = 0;
  if (!written) abandon();
  return written;
}

bool WavFile::finish() {
  if (fd_ < 0 || !flush()) return false;
  std::uint8_t header[kWavHeaderSize];
  wav_header(format_, static_cast<std::uint32_t>(data_size_), header);
  if (lseek(fd_, 0, SEEK_SET) != 0 || !write_all(fd_, header, sizeof header)) {
    abandon();
    return false;
  }
  const int fd = fd_;
  fd_ = -1;
  return commit_beside(fd, temp_, target_);
}

void WavFile::abandon() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
  unlink(temp_.c_str());
}

}  // namespace kvt::host

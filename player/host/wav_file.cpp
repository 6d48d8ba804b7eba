#include "wav_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kvt::host {
namespace {

void put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

bool write_all(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t put = ::write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

// A fresh name next to the target; O_EXCL makes it ours alone.
int create_beside(const std::string& target, std::string& temp) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".part-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
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
}

WavFile::~WavFile() { abandon(); }

bool WavFile::write(const void* data, std::size_t size) {
  if (fd_ < 0 || data_size_ + size > kWavDataLimit) return false;
  if (!write_all(fd_, static_cast<const std::uint8_t*>(data), size)) return false;
  data_size_ += size;
  return true;
}

bool WavFile::finish() {
  if (fd_ < 0) return false;
  std::uint8_t header[kWavHeaderSize];
  wav_header(format_, static_cast<std::uint32_t>(data_size_), header);
  const bool ok = lseek(fd_, 0, SEEK_SET) == 0 && write_all(fd_, header, sizeof header) && fsync(fd_) == 0;
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  if (ok && closed && std::rename(temp_.c_str(), target_.c_str()) == 0) return true;
  unlink(temp_.c_str());
  return false;
}

void WavFile::abandon() {
  if (fd_ < 0) return;
  close(fd_);
  fd_ = -1;
  unlink(temp_.c_str());
}

}  // namespace kvt::host

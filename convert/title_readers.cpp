#include "title_readers.h"

#include "memory_file.h"

namespace kvt::convert {
namespace {

constexpr int kNoTitle = -1;
constexpr int kRcpTitle = 64;

// Collects title bytes into the caller's buffer.
class TitleOut {
 public:
  TitleOut(char* buf, std::size_t size) : buf_(buf), size_(size) {
    if (size_ > 0) buf_[0] = '\0';
  }
  void add(int byte) {
    if (size_ == 0 || used_ + 1 >= size_) return;
    buf_[used_++] = static_cast<char>(byte);
    buf_[used_] = '\0';
  }

 private:
  char* buf_;
  std::size_t size_;
  std::size_t used_ = 0;
};

void skip_delta(memory_file& f) {
  for (int i = 0; i < 4; ++i) {
    const int b = fgetc2(f);
    if (b < 0x80) return;
  }
}

int title_in_first_track(memory_file& f, TitleOut& title) {
  if (!scan_to(f, "MThd")) return kNoTitle;
  fseek2(f, 10, 1);
  if (!scan_to(f, "MTrk")) return kNoTitle;
  fseek2(f, 4, 1);
  skip_delta(f);
  int running = 0x90;  // the last channel status
  for (;;) {
    int b = fgetc2(f);
    if (b < 0) return kNoTitle;
    int status = running;
    if (b >= 0x80) status = b;
    else fseek2(f, -1, 1);
    if (status < 0xF0) running = status;
    if (status < 0xF0) {
      for (;;) {  // messages of this status, under running status
        if (fgetc2(f) < 0) return kNoTitle;
        const int kind = status >> 4;
        if (kind == 0x8 || kind == 0x9 || kind == 0xA || kind == 0xB || kind == 0xE) fgetc2(f);
        skip_delta(f);
        b = fgetc2(f);
        if (b < 0) return kNoTitle;
        if (b >= 0x80) {
          fseek2(f, -1, 1);
          break;
        }
        fseek2(f, -1, 1);
      }
      continue;
    }
    if (status == 0xF0 || status == 0xF7) {
      const int length = fgetc2(f);
      if (length < 0) return kNoTitle;
      fseek2(f, length, 1);
      skip_delta(f);
      continue;
    }
    if (status != 0xFF) return kNoTitle;
    const int type = fgetc2(f);
    if (type < 0 || type == 0x2F) return kNoTitle;
    const int length = fgetc2(f);
    if (length < 0) return kNoTitle;
    if (type == 0x03) {
      for (int i = 0; i < length; ++i) {
        const int c = fgetc2(f);
        if (c < 0) return kNoTitle;  // a name cut short is no title
        title.add(c);
      }
      return 0;
    }
    fseek2(f, length, 1);
    skip_delta(f);
  }
}

}  // namespace

int gettitle_fm(const std::string& path, char* buf, std::size_t size, Messages& messages) {
  memory_file f;
  TitleOut title(buf, size);
  if (!fopen2(path, "rb", f, messages)) return kNoTitle;
  if (f.end < 13) return kNoTitle;
  const std::size_t offset = f.buffer[11] | f.buffer[12] << 8;
  if (offset == 0xFFFF || offset >= f.end || f.buffer[offset] == 0xFF) return kNoTitle;
  fsetpos2(f, offset + 1);
  for (int i = 0; i < f.buffer[offset]; ++i) {
    const int b = fgetc2(f);
    title.add(b < 0 ? 0xFF : b);
  }
  return 0;
}

int gettitle_mid(const std::string& path, char* buf, std::size_t size, Messages& messages) {
  memory_file f;
  TitleOut title(buf, size);
  if (!fopen2(path, "rb", f, messages)) return kNoTitle;
  return title_in_first_track(f, title);
}

int gettitle_rcp(const std::string& path, char* buf, std::size_t size, Messages& messages) {
  memory_file f;
  TitleOut title(buf, size);
  if (!fopen2(path, "rb", f, messages)) return kNoTitle;
  if (!scan_to(f, "RCM-")) return kNoTitle;
  fseek2(f, 28, 1);
  for (int i = 0; i < kRcpTitle - 1; ++i) {
    const int b = fgetc2(f);
    if (b < 0) return kNoTitle;  // the file ends before the title does
    if (b == 0) break;
    title.add(b);
  }
  return 0;
}

}  // namespace kvt::convert

#include "display_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

namespace kvt::cli {
namespace {

int continuation_bytes(std::uint8_t lead) {
  if (lead < 0x80) return 0;
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return -1;
}

bool is_utf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const int extra = continuation_bytes(static_cast<std::uint8_t>(s[i]));
    if (extra < 0 || s.size() - i <= static_cast<std::size_t>(extra)) return false;
    for (int k = 1; k <= extra; ++k) {
      if ((static_cast<std::uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

}  // namespace

std::string to_utf8(std::string_view bytes) {
  if (is_utf8(bytes)) return std::string(bytes);
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(bytes);
  std::string out(bytes.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t in_left = bytes.size();
  char* to = out.data();
  std::size_t out_left = out.size();
  while (in_left > 0) {
    if (iconv(cd, &in, &in_left, &to, &out_left) != static_cast<std::size_t>(-1)) break;
    if (errno != EILSEQ && errno != EINVAL) break;
    // A byte that is no character shows as a replacement mark.
    if (out_left < 3) break;
    *to++ = '\xEF';
    *to++ = '\xBF';
    *to++ = '\xBD';
    out_left -= 3;
    ++in;
    --in_left;
  }
  iconv_close(cd);
  out.resize(out.size() - out_left);
  return out;
}

}  // namespace kvt::cli

#include "display_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstdint>

#include "utf8_text.h"

namespace kvt::frontend {
namespace {

std::string cp932_to_utf8(std::string_view bytes) {
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

}  // namespace

std::string to_shift_jis(std::string_view utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(utf8);
  // No character takes more bytes in CP932 than in UTF-8.
  std::string out(utf8.size(), '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* to = out.data();
  std::size_t out_left = out.size();
  const bool whole = iconv(cd, &in, &in_left, &to, &out_left) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  if (!whole) return std::string(utf8);
  out.resize(out.size() - out_left);
  return out;
}

// Line by line: a library's report may hold a UTF-8 title between lines of
// its own in Shift-JIS.
std::string to_utf8(std::string_view bytes) {
  std::string out;
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    const std::string_view line = bytes.substr(0, end == std::string_view::npos ? bytes.size() : end + 1);
    out += is_utf8(line) ? std::string(line) : cp932_to_utf8(line);
    bytes.remove_prefix(line.size());
  }
  return out;
}

}  // namespace kvt::frontend

#include "atomic_file.h"
#include "conversion.h"
#include "export_barrier.h"
#include "kvt/mid2kvt.h"
#include "rcp_converter.h"
#include "title_readers.h"

extern "C" {

KVT_API const char* mid2kvt_version(void) { return KVT_VERSION_TEXT; }

KVT_API int mid2kvt_write_failure(void) { return kvt::last_write_failure(); }

KVT_API int mid2kvt_convert(const char* mid_path, const char* cfg_path, const char* kvt_path,
                            const mid2kvt_settings* settings, const kvt_message_view* view, char* messages,
                            size_t messages_size) {
  if (mid_path == nullptr || cfg_path == nullptr || settings == nullptr) return 1;
  const std::size_t size = messages == nullptr ? 0 : messages_size;
  return kvt::export_barrier(
      1,
      [&] {
        return kvt::convert::convert_midi(mid_path, cfg_path, kvt_path == nullptr ? "" : kvt_path, *settings, view,
                                          messages, size);
      },
      kvt::append_failure_to(messages, size));
}

KVT_API int _mid2kvt(const char* mid_path, const char* cfg_path, const char* kvt_path, int reverb, int chorus,
                     int chorus_strength_x2, int overall_volume, int drum_volume, const kvt_message_view* window,
                     char* messages) {
  const mid2kvt_settings settings{reverb, chorus, chorus_strength_x2, overall_volume, drum_volume};
  return mid2kvt_convert(mid_path, cfg_path, kvt_path, &settings, window, messages, MID2KVT_TEXT_SIZE);
}

KVT_API int rcp2mid_convert(const char* rcp_path, const char* mid_path, const kvt_message_view* view, char* messages,
                            size_t messages_size) {
  if (rcp_path == nullptr) return 1;
  const std::size_t size = messages == nullptr ? 0 : messages_size;
  return kvt::export_barrier(
      1, [&] { return kvt::convert::convert_rcp(rcp_path, mid_path == nullptr ? "" : mid_path, view, messages, size); },
      kvt::append_failure_to(messages, size));
}

KVT_API int _rcp2mid(const char* rcp_path, const char* mid_path, const kvt_message_view* window, char* messages) {
  return rcp2mid_convert(rcp_path, mid_path, window, messages, MID2KVT_TEXT_SIZE);
}

namespace {

using Reader = int (*)(const std::string&, char*, size_t, kvt::convert::Messages&);

int read_title(Reader reader, const char* path, char* buf, size_t size, char* text, size_t text_size) {
  if (path == nullptr) return -1;
  kvt::convert::Messages messages{text, text == nullptr ? 0 : text_size, nullptr};
  return kvt::export_barrier(
      -1, [&] { return reader(path, buf, buf == nullptr ? 0 : size, messages); },
      kvt::append_failure_to(text, text == nullptr ? 0 : text_size));
}

}  // namespace

KVT_API int gettitle_fm(const char* path, char* buf, size_t size, char* text, size_t text_size) {
  return read_title(kvt::convert::gettitle_fm, path, buf, size, text, text_size);
}

KVT_API int gettitle_mid(const char* path, char* buf, size_t size, char* text, size_t text_size) {
  return read_title(kvt::convert::gettitle_mid, path, buf, size, text, text_size);
}

KVT_API int gettitle_rcp(const char* path, char* buf, size_t size, char* text, size_t text_size) {
  return read_title(kvt::convert::gettitle_rcp, path, buf, size, text, text_size);
}

}

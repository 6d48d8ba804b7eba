#include <cstring>

#include "atomic_file.h"
#include "compilation.h"
#include "export_barrier.h"
#include "kvt/kvtc.h"
#include "paths.h"

extern "C" {

KVT_API const char* kvtc_version(void) { return KVT_VERSION_TEXT; }

KVT_API int kvtc_write_failure(void) { return kvt::last_write_failure(); }

KVT_API int kvtc_compile(const char* mmlfile, const char* cfgfile, char* text, size_t text_size) {
  return kvtc_compile_placed(mmlfile, cfgfile, text, text_size, nullptr);
}

KVT_API int kvtc_compile_placed(const char* mmlfile, const char* cfgfile, char* text, size_t text_size,
                                kvtc_error_place* place) {
  kvt::compiler::ErrorPlace found;
  if (place != nullptr) *place = {0, 0, nullptr};
  if (mmlfile == nullptr || cfgfile == nullptr) return 1;
  const std::size_t size = text == nullptr ? 0 : text_size;
  const int result = kvt::export_barrier(
      1, [&] { return kvt::compiler::compile_file(mmlfile, cfgfile, text, size, &found); },
      kvt::append_failure_to(text, size));
  if (place != nullptr) *place = {found.line, found.column, found.message};
  return result;
}

KVT_API int kvtc_song_path(const char* mmlfile, char* path, size_t path_size) {
  if (mmlfile == nullptr || path == nullptr) return 1;
  return kvt::export_barrier(
      1,
      [&] {
        const std::string song = kvt::compiler::song_path(mmlfile);
        if (song.size() >= path_size) return 1;
        std::memcpy(path, song.c_str(), song.size() + 1);
        return 0;
      },
      [](const char*) {});  // the result says all there is
}

KVT_API int _kvtc(const char* mmlfile, const char* cfgfile, char* text2) {
  return kvtc_compile(mmlfile, cfgfile, text2, KVTC_TEXT_SIZE);
}

}

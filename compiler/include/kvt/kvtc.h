/*
 * The MML compiler: turns a Music Macro Language text into a song data
 * file. Paths are byte strings; the messages are appended to the caller's
 * buffer as bytes (Japanese texts in Shift-JIS).
 *
 * Compilations are independent: several may run at once on different
 * threads, each with its own message buffer.
 */
#ifndef KVT_KVTC_H
#define KVT_KVTC_H

#include <stddef.h>

#include "kvt/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version, "MAJOR.MINOR.PATCH". Any thread. */
KVT_API const char* kvtc_version(void);

/* The system's error number for the last song data file this library
 * failed to write, 0 while none has failed. Any thread. */
KVT_API int kvtc_write_failure(void);

/* The size of the message buffer that _kvtc assumes. */
#define KVTC_TEXT_SIZE 8192

/* Compiles `mmlfile` with its extension replaced by ".MML" (found in any
 * letter case) using the voice configuration `cfgfile` with its extension
 * replaced by ".CFB", and writes the song beside the source with the
 * extension ".KVT" (or replaces an existing file of that name in another
 * letter case). The progress text or the error is appended to the
 * NUL-terminated string in `text`, within `text_size` bytes in all. Returns
 * 0 when the song was written, 1 after an error; a failed compilation
 * leaves any earlier song file as it was. */
KVT_API int kvtc_compile(const char* mmlfile, const char* cfgfile, char* text, size_t text_size);

/* The song data file that compiling `mmlfile` writes, into `path` of
 * `path_size` bytes. Returns 0, or 1 when it does not fit. */
KVT_API int kvtc_song_path(const char* mmlfile, char* path, size_t path_size);

/* Where a failed compilation marked its error in the source. */
typedef struct kvtc_error_place {
  int line;            /* from 1, in the source file; 0 when the error marks no place */
  int column;          /* from 1, in bytes of that line */
  const char* message; /* the error's text as the report gives it (Shift-JIS where
                          Japanese), static; NULL when the compilation succeeded */
} kvtc_error_place;

/* kvtc_compile that also tells, into `place` (unless NULL), where the
 * error is. The report is the same byte for byte. */
KVT_API int kvtc_compile_placed(const char* mmlfile, const char* cfgfile, char* text, size_t text_size,
                                kvtc_error_place* place);

/* kvtc_compile with a buffer of KVTC_TEXT_SIZE bytes. */
KVT_API int _kvtc(const char* mmlfile, const char* cfgfile, char* text2);

#ifdef __cplusplus
}
#endif

#endif

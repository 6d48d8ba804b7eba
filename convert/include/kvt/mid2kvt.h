/*
 * The converters: Standard MIDI Files to song data, RCP files to Standard
 * MIDI Files, and the title readers of all three. Paths are byte
 * strings; messages are appended to the caller's NUL-terminated buffer as
 * bytes (track names keep their Shift-JIS bytes).
 *
 * Conversions are independent: several may run at once on different
 * threads, each with its own message buffer.
 */
#ifndef KVT_MID2KVT_H
#define KVT_MID2KVT_H

#include <stddef.h>

#include "kvt/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The size of the message buffer that _mid2kvt assumes. */
#define MID2KVT_TEXT_SIZE 8192

/* Whoever shows the messages while a conversion runs. `repaint` is called
 * after each reporting step; `erase` is 1 when the view should be cleared
 * first (at the start and at the end). */
typedef struct kvt_message_view {
  void (*repaint)(void* user, int erase);
  void* user;
} kvt_message_view;

/* The five MIDI conversion settings, in the order _mid2kvt takes them. */
typedef struct mid2kvt_settings {
  int reverb;             /* 0..255; 0 leaves the reverb off */
  int chorus;             /* 0..255; 0 leaves the chorus off */
  int chorus_strength_x2; /* 2..12: chorus taps over both units */
  int volume;             /* -15..15, added to every part's volume */
  int drum_volume;        /* -15..15, added to drum volumes */
} mid2kvt_settings;

/* The library's version, "MAJOR.MINOR.PATCH". Any thread. */
KVT_API const char* mid2kvt_version(void);

/* The system's error number for the last output file (song data or MIDI)
 * this library failed to write, 0 while none has failed. Any thread. */
KVT_API int mid2kvt_write_failure(void);

/* Converts the MIDI file `mid_path` with the configuration `cfg_path` into
 * the song data file `kvt_path` (empty: the MIDI path up to its last '.'
 * with ".kvt"). Messages go to `messages`, within `messages_size` bytes in
 * all; `view` may be NULL. Returns 0 when the song was written, 1 on
 * failure; a failed conversion leaves any earlier file of that name as it
 * was. */
KVT_API int mid2kvt_convert(const char* mid_path, const char* cfg_path, const char* kvt_path,
                            const mid2kvt_settings* settings, const kvt_message_view* view, char* messages,
                            size_t messages_size);

/* mid2kvt_convert with a buffer of MID2KVT_TEXT_SIZE bytes. */
KVT_API int _mid2kvt(const char* mid_path, const char* cfg_path, const char* kvt_path, int reverb, int chorus,
                     int chorus_strength_x2, int overall_volume, int drum_volume, const kvt_message_view* window,
                     char* messages);

/* Converts the RCP file `rcp_path` into the Standard MIDI File `mid_path`
 * (empty: the RCP path up to its last '.' with ".mid"), format 1. Messages
 * as for mid2kvt_convert. Returns 0 when the MIDI file was written, 1 on
 * failure; a failed conversion leaves any earlier file of that name as it
 * was. */
KVT_API int rcp2mid_convert(const char* rcp_path, const char* mid_path, const kvt_message_view* view, char* messages,
                            size_t messages_size);

/* rcp2mid_convert with a buffer of MID2KVT_TEXT_SIZE bytes. */
KVT_API int _rcp2mid(const char* rcp_path, const char* mid_path, const kvt_message_view* window, char* messages);

/* The title of a song data file, a Standard MIDI File (its first track's
 * first name) or an RCP file, into `buf` of `size` bytes (256 holds any
 * title). Return 0 with the title, or -1 when there is none; a file that
 * cannot be read also appends its message to `text`. */
KVT_API int gettitle_fm(const char* path, char* buf, size_t size, char* text, size_t text_size);
KVT_API int gettitle_mid(const char* path, char* buf, size_t size, char* text, size_t text_size);
KVT_API int gettitle_rcp(const char* path, char* buf, size_t size, char* text, size_t text_size);

#ifdef __cplusplus
}
#endif

#endif

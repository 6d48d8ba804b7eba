/*
 * The player host: loads a song data file with its voices and renders it
 * into a WAVE file; reads a song's header, voice list and parts for display.
 *
 * Threads: every function here is called on the application's control
 * thread (one call at a time). The user-interface callbacks are invoked on
 * that same thread, from inside the call that needs them.
 *
 * Text crosses as bytes: paths, messages and titles are passed unconverted
 * (song titles are Shift-JIS); the front end converts them for display.
 */
#ifndef KVT_PLAYER_H
#define KVT_PLAYER_H

#include <stddef.h>

#include "kvt/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Play settings, passed by value (540 bytes). */
typedef struct playstruct {
  char pcm_dir[2][256]; /* voice directories, tried in order; the last
                           component may hold * and ? */
  int rate_index;       /* 0 44100, 1 33075, 2 22050, 3 16538, 4 11025 Hz */
  int channel;          /* 1 mono, 2 stereo */
  int effect_level;     /* 0 none, 1 reverb, 2 reverb and chorus/delay */
  int fade;             /* 0..2: speed of the closing fade-out */
  int loop;             /* 1 or 2: passes before the fade-out starts */
  int bit;              /* 8 or 16 bits per sample (WAVE output) */
  int keyboard_flag;    /* 1: feed the visual player (real-time playback) */
} playstruct;

/* Icon of a message box. */
enum { KVT_ICON_NONE = 0, KVT_ICON_EXCLAMATION = 1 };

/* What the front end shows: message boxes and the rendering progress dialog.
 * Any callback may be NULL. */
typedef struct kvt_host_ui {
  void* context;
  /* A message box with a fixed text. */
  void (*message)(void* context, const char* text, int icon);
  /* New content of the progress dialog's text field. */
  void (*progress)(void* context, const char* text);
  /* Polled about every 10 ms while a rendering runs; non-zero cancels it. */
  int (*cancel_requested)(void* context);
  /* The rendering ended (finished, cancelled or failed): a dialog stays open
   * here until the user closes it. */
  void (*finished)(void* context);
} kvt_host_ui;

/* Installs the front end's callbacks (copied); NULL restores the default,
 * which writes messages to stderr and shows no progress. */
KVT_API void kvt_set_host_ui(const kvt_host_ui* ui);

/* Renders a song data file into a WAVE file. Returns 1 (after a message,
 * except for an unsupported rate index) when nothing was started; otherwise
 * 0 once the rendering has ended, finished, cancelled or failed (a failure
 * shows its message). title_out receives the title line (256 bytes). */
KVT_API int _output_wav(const char* song_path, const char* wav_path, playstruct settings, char* title_out);

/* ---- Reading a song for display ---- */

typedef struct kvt_song_info {
  unsigned default_length;
  unsigned tempo;
  unsigned part_table_end;
  unsigned voice_count;
  unsigned offset_mode;
  unsigned title_offset;
  unsigned key_adj_offset;
  unsigned part_entries; /* entries in the part table */
} kvt_song_info;

enum { KVT_SONG_OK = 0, KVT_SONG_NOT_SONG = 1, KVT_SONG_DAMAGED = 2 };

/* Checks a song data image as the loader does and fills info and the
 * title line ("Title : ..."; title_size bytes, truncated). Returns
 * KVT_SONG_OK, KVT_SONG_NOT_SONG (no magic) or KVT_SONG_DAMAGED. */
KVT_API int kvt_song_read_info(const unsigned char* image, size_t size, kvt_song_info* info, char* title,
                               size_t title_size);
/* Voice list entry `index` of a checked image: its slot and its name (a
 * pointer into the image). Returns 0, or 1 when there is no such entry. */
KVT_API int kvt_song_voice(const unsigned char* image, size_t size, unsigned index, unsigned* slot, const char** name);
/* Part `index` of a checked image: its start offset and the number of
 * events (notes, rests and commands) up to its end command or the image's
 * end. Returns -1 when the part is absent. */
KVT_API long kvt_song_part(const unsigned char* image, size_t size, unsigned index, unsigned long* offset);
/* Finds a voice file as the loader does, under settings->pcm_dir. Returns 0
 * and the path (truncated to path_size), or 1 when it is not found. */
KVT_API int kvt_find_voice(const char* name, const playstruct* settings, char* path, size_t path_size);

#ifdef __cplusplus
}
#endif

#endif

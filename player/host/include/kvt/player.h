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

/* Output options beyond the play settings (playstruct), for the exports
 * that take them. The exports without them behave as with all fields 0. */
typedef struct kvt_output_options {
  size_t size;   /* sizeof(kvt_output_options) as the caller knows it;
                    fields past it count as 0 */
  int clean_end; /* 1: a voice still sounding when its part ends fades out
                    over about 4 ms, and the output goes on after the song's
                    end until the effects (reverb, chorus, delay) have died
                    away below -90 dBFS, at most 10 s more; 0: it ends as
                    the song data ends, as always */
  int loop;      /* passes through a looping song before the fade-out, 1 or
                    more; 0: as playstruct.loop says */
  unsigned long start_ms; /* real-time playback only: the song starts this
                    far in, rendered silently from its start up to there
                    (to the nearest wave buffer, about 0.28 s), so that what
                    follows is exactly what playing from the start would
                    have played; past its end the song ends at once. A
                    rendering into a file ignores it */
} kvt_output_options;

/* Icon of a message box. */
enum { KVT_ICON_NONE = 0, KVT_ICON_EXCLAMATION = 1, KVT_ICON_INFORMATION = 2 };

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

/* The library's version, "MAJOR.MINOR.PATCH". Any thread. */
KVT_API const char* kvt_version(void);

/* The system's error number for the last output file this library failed
 * to write (a WAVE file), 0 while none has failed. Any thread. */
KVT_API int kvt_write_failure(void);

/* Why the sound card could not be opened the last time an open failed, in
 * the audio layer's own words, into `text` of `size` bytes; empty after a
 * successful open. Any thread. */
KVT_API void kvt_device_failure(char* text, size_t size);

/* Installs the front end's callbacks (copied); NULL restores the default,
 * which writes messages to stderr and shows no progress. */
KVT_API void kvt_set_host_ui(const kvt_host_ui* ui);

/* Renders a song data file into a WAVE file. Returns 1 (after a message,
 * except for an unsupported rate index) when nothing was started; otherwise
 * 0 once the rendering has ended, finished, cancelled or failed (a failure
 * shows its message). title_out receives the title line (256 bytes).
 * Rendering has a song and driver of its own, so songs may be played and
 * stopped while it runs (from the callbacks, as a dialog's event loop
 * would); a second rendering asked for meanwhile returns 1 at once. */
KVT_API int _output_wav(const char* song_path, const char* wav_path, playstruct settings, char* title_out);

/* The output options (copied) of every later _output_wav, and of _play
 * from the next song on; NULL restores the defaults (all fields 0). */
KVT_API void kvt_set_output_options(const kvt_output_options* options);

/* ---- Real-time playback ----
 *
 * _play, _waveout_stop and the state are called on the control thread.
 * The notify target is called on a thread of the library: a front end
 * hands the command over to its own thread (a GUI posts it to its main
 * window) and may call _waveout_stop or _play from there or from its
 * control thread.
 *
 * Every _play starts a new song serial, every kvt_wave_play a new WAVE
 * serial (each counts from 1). A command carries the serial of the
 * playback it is about, and the state the serial of the latest start. The
 * end of a song that stopped by itself may still be on its way when the
 * next _play or _waveout_stop returns: a target outlives the playback and
 * drops a command whose serial is not that of the song it waits for. */

/* Commands sent to a notify target. */
enum {
  KVT_COMMAND_SONG_END = 604, /* a song ended by itself; playback has stopped */
  KVT_NOTICE_WAVE_DONE = 605  /* a WAVE file has played to its end or was stopped */
};

typedef struct kvt_notify_target {
  void* context;
  /* id: a command above; serial: the playback it is about. */
  void (*command)(void* context, int id, unsigned long serial);
} kvt_notify_target;

typedef struct kvt_play_state {
  int playing;          /* 1 while something plays */
  unsigned long frames; /* sample frames of the song the sound card has
                           played, counted from the song's start (a start
                           later in it included) */
  int rate;             /* their rate in Hz */
  int pass;             /* song passes completed at the newest rendered buffer;
                           -1 once every part has ended */
  unsigned long serial; /* of the latest start, also one that failed;
                           0 before the first */
} kvt_play_state;

/* Prepares real-time playback; returns 0. Optional: the other calls
 * prepare it themselves. */
KVT_API int _play_init(void);
/* Stops what plays, loads the song and starts it through the sound card.
 * Returns 0 when it plays, 1 when it did not start (after a message). The
 * notify target (copied; may be NULL) receives KVT_COMMAND_SONG_END when
 * the song ends by itself, exactly once per song end. */
KVT_API int _play(const char* song_path, playstruct settings, char* title_out, const kvt_notify_target* notify);
/* Stops playback and returns when everything is released. Harmless when
 * idle. */
KVT_API void _waveout_stop(void);
KVT_API void kvt_play_state_get(kvt_play_state* state);
/* keep != 0: the sound device stays open after a song ends or stops, so
 * that the next _play of the same rate and channels follows at once
 * instead of after the device's reopening. 0 (the default): the device
 * closes with each song, and an idle device kept open closes now. */
KVT_API void kvt_keep_device_open(int keep);
/* paused != 0 holds the song where it is (the device plays silence);
 * 0 resumes. Every _play starts unpaused. */
KVT_API void kvt_pause(int paused);
/* The output volume after the driver, in dB (-60..24; clamped), for every
 * later buffer of this and later songs; each 6 dB exactly doubles the
 * samples, which saturate at the 16-bit limits. Default 0. */
KVT_API void kvt_set_gain_db(int db);

/* Plays a WAVE file (PCM, any sample size SDL reads) through the sound
 * card. Returns 0 when it plays, 1 when the file cannot be played (no
 * message: the front end says so). The notify target receives
 * KVT_NOTICE_WAVE_DONE when the file has played or was stopped. */
KVT_API int kvt_wave_play(const char* wav_path, const kvt_notify_target* notify);
KVT_API void kvt_wave_stop(void);
KVT_API void kvt_wave_state_get(kvt_play_state* state);

/* ---- Player handles ----
 *
 * A handle is a player of its own: its song, driver, sound-card connection
 * and WAVE playback, its front end and its notify target. Handles play at
 * the same time without disturbing each other; the exports above work on
 * one default handle. The threading rules above hold per handle: one
 * control thread calls it, and its notify target (which may call
 * kvt_player_play or kvt_player_stop) runs on a thread of the library. */

typedef struct kvt_player kvt_player;

/* A new idle player reporting to `ui` and `notify` (both copied; either may
 * be NULL). NULL when memory is short. */
KVT_API kvt_player* kvt_player_new(const kvt_host_ui* ui, const kvt_notify_target* notify);
/* As _play, with the handle's notify target. */
KVT_API int kvt_player_play(kvt_player* player, const char* song_path, const playstruct* settings, char* title_out);
/* The output options (copied; NULL: the defaults) of the handle's songs
 * from its next kvt_player_play on. */
KVT_API void kvt_player_set_output_options(kvt_player* player, const kvt_output_options* options);
/* As _waveout_stop. */
KVT_API void kvt_player_stop(kvt_player* player);
KVT_API void kvt_player_state(kvt_player* player, kvt_play_state* state);
/* As kvt_keep_device_open, kvt_pause and kvt_set_gain_db. */
KVT_API void kvt_player_keep_device_open(kvt_player* player, int keep);
KVT_API void kvt_player_pause(kvt_player* player, int paused);
KVT_API void kvt_player_set_gain_db(kvt_player* player, int db);
/* As kvt_wave_play, kvt_wave_stop and kvt_wave_state_get. */
KVT_API int kvt_player_play_wave(kvt_player* player, const char* wav_path);
KVT_API void kvt_player_stop_wave(kvt_player* player);
KVT_API void kvt_player_wave_state(kvt_player* player, kvt_play_state* state);
/* Stops what the handle plays and frees it. Not from its notify target. */
KVT_API void kvt_player_delete(kvt_player* player);

/* ---- Rendering without a nested event loop ----
 *
 * A rendering runs on a worker thread with a song and driver of its own,
 * while the caller's event loop keeps running: the caller polls it (a GUI
 * from a timer), may cancel it, and finishes it. Its front end's message
 * and progress callbacks are called from inside kvt_render_poll and
 * kvt_render_finish, on the caller's thread; the cancel and finished
 * callbacks are not used. Several renderings may run at once. */

typedef struct kvt_render kvt_render;

/* How a rendering ended. */
enum {
  KVT_RENDER_COMPLETE = 0, /* the whole song is in the file */
  KVT_RENDER_SHORTER = 1,  /* cancelled, or at the largest size a WAVE file
                              can count: the file holds what was rendered */
  KVT_RENDER_NO_FILE = 2   /* cancelled before writing began, or the file
                              could not be written (after a message) */
};

/* Loads the song and starts rendering it into wav_path. NULL when nothing
 * was started: after a message, except for an unsupported rate index.
 * title_out (256 bytes) receives the title line before it returns. */
KVT_API kvt_render* kvt_render_start(const kvt_host_ui* ui, const char* song_path, const char* wav_path,
                                     const playstruct* settings, char* title_out);
/* As kvt_render_start, with output options (NULL: the defaults). */
KVT_API kvt_render* kvt_render_start_with_options(const kvt_host_ui* ui, const char* song_path,
                                                  const char* wav_path, const playstruct* settings,
                                                  const kvt_output_options* options, char* title_out);
/* Delivers what the worker has to show and copies the whole current text
 * of the progress field into `text` (`size` bytes, truncated; may be
 * NULL). Returns 1 once the rendering has ended, else 0. Never waits. */
KVT_API int kvt_render_poll(kvt_render* render, char* text, size_t size);
/* As kvt_render_poll without the text, but waits up to timeout_ms for the
 * end, so a caller that only waits learns of it at once. */
KVT_API int kvt_render_wait(kvt_render* render, unsigned timeout_ms);
/* Asks the worker to stop; it ends soon after, keeping the shorter file. */
KVT_API void kvt_render_cancel(kvt_render* render);
/* Waits for the end, delivers what is left, frees the rendering and
 * returns how it ended (KVT_RENDER_...). */
KVT_API int kvt_render_finish(kvt_render* render);

/* ---- The visual player ----
 *
 * While a song plays with keyboard_flag 1, the library follows the song
 * data in step with what is heard and keeps a picture of it: the header
 * lines, the names of 17 tracks and which of the 96 keys of each track's
 * keyboard are down. The window that shows it belongs to the front end,
 * which either registers a view backend (the library then calls it as
 * things change) or takes snapshots from its own timer, or both.
 *
 * Threads: create, show, hide, position and destroy are called from
 * inside the view exports on the caller's thread. header and repaint come
 * from inside _play on the control thread; set_dot, reset_dot and
 * track_name come from there for a song's first events, then from the
 * view timer's thread. A backend called from a
 * library thread must never wait for the GUI thread: it posts. Texts are
 * bytes as the song holds them (Shift-JIS). */

enum { KVT_VIEW_ROWS = 17, KVT_VIEW_KEYS = 96 };

typedef struct kvt_view_backend {
  void* context;
  /* Make the window at (left, top), shown when visible is 1; 0 when it
   * cannot be made. */
  int (*create)(void* context, int left, int top, int visible);
  void (*show)(void* context);
  void (*hide)(void* context);
  /* The window's current position, asked for before it is destroyed. */
  void (*position)(void* context, int* left, int* top);
  void (*destroy)(void* context);
  /* Draw the whole picture again (a new song's header and empty rows). */
  void (*repaint)(void* context);
  /* A key went down or up (only while the window is meant to be seen). */
  void (*set_dot)(void* context, int row, int key);
  void (*reset_dot)(void* context, int row, int key);
  /* A row's track name; narrow is 1 for names of more than 14 bytes. */
  void (*track_name)(void* context, int row, const char* name, size_t length, int narrow);
  /* The song's header lines. */
  void (*header)(void* context, const char* file_line, const char* title_line, const char* rate_label,
                 const char* channel_label, const char* effect_label);
} kvt_view_backend;

typedef struct kvt_view_snapshot {
  unsigned char lit[KVT_VIEW_ROWS][KVT_VIEW_KEYS]; /* 1 where a key is down */
  char names[KVT_VIEW_ROWS][128];                   /* NUL-terminated bytes */
  int narrow[KVT_VIEW_ROWS];                        /* 1: more than 14 bytes */
  char file_line[512];                              /* "File  : " and the path */
  char title_line[512];                             /* "Title : ..." */
  char rate_label[16];                              /* "44.10KHz" ... */
  char channel_label[16];                           /* mono or stereo */
  char effect_label[16];                            /* "Effect=0" ... */
  int visible;                                      /* viewflag */
  unsigned long serial; /* changes whenever anything above changes */
} kvt_view_snapshot;

/* The default player's view backend (copied; NULL: none, the view then
 * keeps its state only). Set it before _set_view. */
KVT_API void kvt_set_view_backend(const kvt_view_backend* backend);
/* Stores the window state and makes the window; 1, or 0 when the backend
 * could not make it. */
KVT_API int _set_view(int left, int top, int visible);
/* Shows the window; it is meant to be seen again. */
KVT_API void _OpenView(void);
/* Destroys the window, keeping its last position. */
KVT_API void _DestroyView(void);
KVT_API int _GetLeftView(void);
KVT_API int _GetTopView(void);
KVT_API int _GetView(void);
/* The user closed the window: it is hidden, not destroyed. */
KVT_API void kvt_view_closed(void);
/* The default player's picture, whole and consistent. Any thread. */
KVT_API void kvt_view_snapshot_get(kvt_view_snapshot* snapshot);
/* The same for a player handle. */
KVT_API void kvt_player_view_snapshot(kvt_player* player, kvt_view_snapshot* snapshot);

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
/* The notes (not rests or commands) of part `index` of a checked image, up
 * to its end command; -1 when the part is absent. */
KVT_API long kvt_song_part_notes(const unsigned char* image, size_t size, unsigned index);
/* Finds a voice file as the loader does, under settings->pcm_dir. Returns 0
 * and the path (truncated to path_size), or 1 when it is not found. */
KVT_API int kvt_find_voice(const char* name, const playstruct* settings, char* path, size_t path_size);

/* ---- Following a song's keys without sound ----
 *
 * The visual player's command analyser on a song image of the caller's:
 * it walks every part as the view does while the song plays and says which
 * key of which keyboard row goes down or up and which text names a row.
 * One tick is 1/2756.25 s of the view's clock. Any thread, one call at a
 * time per analyser; the callbacks run inside kvt_analyzer_new and
 * kvt_analyzer_tick, on the caller's thread. */

typedef struct kvt_view_calls {
  void* context;
  /* Key `key` (0..95) of row `row` (0..16) went down, or up. */
  void (*set_dot)(void* context, int row, int key);
  void (*reset_dot)(void* context, int row, int key);
  /* Row `row`'s track name: bytes as the song holds them (Shift-JIS). */
  void (*name)(void* context, int row, const unsigned char* name, size_t length);
} kvt_view_calls;

typedef struct kvt_analyzer kvt_analyzer;

/* Checks the image as the loader does, copies it (and the calls; any
 * callback may be NULL) and reads each part's first event. NULL when the
 * image is not song data or is damaged (kvt_song_read_info would not give
 * KVT_SONG_OK), or when memory is short. */
KVT_API kvt_analyzer* kvt_analyzer_new(const unsigned char* image, size_t size, const kvt_view_calls* calls);
/* One tick. Returns 1 once every part has ended, else 0. */
KVT_API int kvt_analyzer_tick(kvt_analyzer* analyzer);
KVT_API void kvt_analyzer_delete(kvt_analyzer* analyzer);

#ifdef __cplusplus
}
#endif

#endif

/*
 * The sound driver: renders a song data image with its voice images into
 * blocks of 16-bit PCM, one block per call.
 *
 * Threads: a driver instance is not re-entrant. One thread at a time calls
 * kvt_driver_init / kvt_driver_play (and the default-instance exports) for
 * one instance; the inputs may be changed by that thread between calls.
 * Separate instances are independent and may run on separate threads.
 */
#ifndef KVT_DRIVER_H
#define KVT_DRIVER_H

#include <stddef.h>

#include "kvt/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Marker for an empty voice slot (a null pointer is accepted as well). */
#define KVT_EMPTY_VOICE ((const unsigned char*)-1)

/* What the host sets before kvt_driver_init. The images must stay valid and
 * unchanged while the instance renders. */
struct kvt_driver_inputs {
  const unsigned char* fm;            /* song data image */
  size_t fm_size;                     /* its size in bytes */
  const unsigned char* kvw[256];      /* voice slot -> voice image, or empty */
  size_t kvw_size[256];               /* size of each voice image */
  int sb16;                           /* output rate index 0..4 (44100 .. 11025 Hz) */
  int channel;                        /* 1 mono, 2 stereo */
  int dwDataSize;                     /* bytes of `buffer`; one block is half of it */
  void* buffer;                       /* 2-byte aligned output buffer */
  int effect_level;                   /* 0 none, 1 reverb, 2 reverb and chorus/delay */
  int fade_speed;                     /* 0 no fade, else ticks per fade step; may change between blocks */
  int cpu_code;                       /* 1: 32-bit render path, else the 16-bit path */
};

typedef struct kvt_driver kvt_driver;

/* Instances: any thread; each instance then belongs to one thread at a time. */
KVT_API kvt_driver* kvt_driver_new(void);
KVT_API void kvt_driver_delete(kvt_driver* driver);
KVT_API struct kvt_driver_inputs* kvt_driver_io(kvt_driver* driver);

/* Size of one part slot of the work area (384). */
KVT_API int kvt_driver_worksize(void);
/* Restart the song in the inputs from its beginning. */
KVT_API void kvt_driver_init(kvt_driver* driver);
/* Render one block into `buffer`: stereo frames, or packed mono samples, in
 * the first half. Returns -1 once every part has ended, else the smallest
 * loop pass count among the running parts. */
KVT_API int kvt_driver_play(kvt_driver* driver);
/* on 1: a voice still sounding when its part ends fades out over about
 * 4 ms (from the next kvt_driver_play on) instead of stopping dead; 0, the
 * default, as always. kvt_driver_init keeps the choice. */
KVT_API void kvt_driver_set_soft_end(kvt_driver* driver, int on);

/* The default instance, used by the exports below. */
KVT_API kvt_driver* kvt_driver_default(void);
KVT_API int _kvt_worksize(void);
KVT_API void _kvt_init(void);
KVT_API int _kvt_play(void);

#ifdef __cplusplus
}
#endif

#endif

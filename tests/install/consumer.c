/* A program outside the project, built against the installed libraries
 * only: every public header and one call into each library. */
#include <stdio.h>

#include <kvt/driver.h>
#include <kvt/kvtc.h>
#include <kvt/mid2kvt.h>
#include <kvt/player.h>

int main(void) {
  char song[64];
  if (kvtc_song_path("tune.mml", song, sizeof song) != 0) {
    fputs("kvtc_song_path failed\n", stderr);
    return 1;
  }
  printf("kvt %s\n", kvt_version());
  printf("kvtc %s\n", kvtc_version());
  printf("mid2kvt %s\n", mid2kvt_version());
  printf("part slot %d bytes\n", kvt_driver_worksize());
  printf("song %s\n", song);
  return 0;
}

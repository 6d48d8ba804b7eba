#include "smf_reader.h"

namespace kvt::convert {
namespace {

std::uint32_t read_be(memory_file& f, int bytes) {
  std::uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | static_cast<std::uint32_t>(fgetc2(f) & 0xFF);
  return v;
}

[[noreturn]] void abnormal_meta(Converter& c, int type, int length) {
  c.messages.append("abnormal code 'FF %02X %X'\n", type, length);
  throw Stop{};
}

void skip(memory_file& f, std::int64_t n) { fseek2(f, static_cast<long>(n), 1); }

// Meta events that only need checking or skipping; the others go to the song.
void meta_event(Converter& c, const SmfHandlers& h, Track& t) {
  memory_file& f = c.input;
  const int type = fgetc2(f);
  struct Fixed {
    int type, length;
  };
  static constexpr Fixed kFixed[] = {{0x20, 1}, {0x59, 2}, {0x54, 5}, {0x2F, 0}};
  for (const Fixed& fx : kFixed) {
    if (type != fx.type) continue;
    const int length = fgetc2(f);
    if (length != fx.length) abnormal_meta(c, type, length & 0xFF);
    skip(f, length);
    if (type == 0x2F) t.time = -1;
    return;
  }
  if (type == 0x00) {
    const int length = fgetc2(f);
    if (length == 0) return;  // a sequence number left out
    if (length != 2) abnormal_meta(c, type, length & 0xFF);
    read_varlen(f);
    read_varlen(f);
    return;
  }
  if (type == 0x51 || type == 0x58 || type == 0x03) {
    h.meta(c, type);
    return;
  }
  skip(f, read_varlen(f));
}

// The events of track `index` at its current time.
void deliver(Converter& c, const SmfHandlers& h, int index) {
  memory_file& f = c.input;
  Track& t = c.tracks[index];
  const std::int64_t time = t.time;
  fsetpos2(f, t.pos);
  c.current_track = index;
  c.now = time;
  while (t.time == time) {
    if (ftell2(f) >= t.end) {
      t.time = -1;  // the chunk ended without an end-of-track event
      break;
    }
    int status = fgetc2(f);
    const bool running = status < 0x80;
    if (running) {
      fseek2(f, -1, 1);
      status = t.running_status;
      if (status < 0) {  // data with no status before it: not readable
        t.time = -1;
        break;
      }
    } else if (status < 0xF0) {
      t.running_status = status;
    }
    if (status < 0xF0) {
      h.channel(c, status & 0xF0, (status & 0x0F) + 1);
    } else if (status == 0xF0) {
      h.sysex(c);
    } else if (status == 0xFF) {
      meta_event(c, h, t);
    } else if (status == 0xF7) {
      skip(f, read_varlen(f));  // an escaped packet: its bytes are no events
    } else {
      c.messages.append("abnormal code '%x'\n", status);
      if (running) fgetc2(f);  // a track that opened with this byte: move on
      continue;
    }
    if (t.time < 0) break;
    if (ftell2(f) >= t.end) {
      t.time = -1;
      break;
    }
    t.time += read_varlen(f);
  }
  if (t.time >= 0) t.pos = ftell2(f);
}

// Quarter notes, or frames per second and ticks per frame (SMPTE time,
// converted at a fixed 120 bpm: 96 song ticks a second).
void read_division(Converter& c) {
  const int high = fgetc2(c.input) & 0xFF, low = fgetc2(c.input) & 0xFF;
  c.smpte = high >= 0x80;
  if (c.smpte) {
    c.timebase = (256 - high) * low;
    c.song_ticks_per_unit = 96;
  } else {
    c.timebase = high << 8 | low;
    c.song_ticks_per_unit = 48;
  }
}

}  // namespace

void read_smf_header(Converter& c) {
  memory_file& f = c.input;
  fsetpos2(f, 0);
  if (f.end < 3 || !scan_to(f, "MThd")) {
    c.messages.append("Gee... It's not SMF!\n");
    throw Stop{};
  }
  if (read_be(f, 4) != 6) {
    c.messages.append("ERROR! abnormal block length\n");
    throw Stop{};
  }
  const int b0 = fgetc2(f) & 0xFF, b1 = fgetc2(f) & 0xFF;
  const int format = 10 * b0 + b1;
  if (format != 0 && format != 1) {
    c.messages.append("ERROR! This format is not supported. (%d)\n", format);
    throw Stop{};
  }
  c.format1 = format;
  if ((fgetc2(f) & 0xFF) != 0) {
    c.messages.append("ERROR! too many tracks.\n");
    throw Stop{};
  }
  fgetc2(f);  // tracks are counted by scanning
  read_division(c);
  if (c.timebase == 0) {
    c.messages.append("ERROR! abnormal timebase (0)\n");
    throw Stop{};
  }
}

int scan_tracks(Converter& c) {
  memory_file& f = c.input;
  fsetpos2(f, 0);
  c.tracks.clear();
  while (static_cast<int>(c.tracks.size()) < kMaxTracks && scan_to(f, "MTrk")) {
    const std::uint32_t length = read_be(f, 4) & 0xFFFFFF;
    const std::size_t data = ftell2(f);
    Track t;
    t.end = data + length < f.end ? data + length : f.end;
    t.time = read_varlen(f);
    c.messages.append("trk %2d [%5ld] %5ld \n", static_cast<int>(c.tracks.size()), static_cast<long>(length),
                      static_cast<long>(t.time));
    for (;;) {
      if (ftell2(f) >= t.end) {
        t.time = -1;  // no event at all
        break;
      }
      const int b = fgetc2(f);
      if (b >= 0x80) {
        t.running_status = b;
        // A system exclusive message is read whole, its length being a
        // variable-length quantity that may look like a status byte.
        if (b == 0xF0 || b == 0xF7) fseek2(f, -1, 1);
        break;
      }
    }
    t.pos = ftell2(f);
    c.tracks.push_back(t);
    fsetpos2(f, t.end);
  }
  return static_cast<int>(c.tracks.size());
}

std::int64_t read_varlen(memory_file& f) {
  std::int64_t v = 0;
  for (int i = 0; i < 4; ++i) {
    const int b = fgetc2(f);
    if (b < 0) return v;
    if (i == 3) return v * 128 + b;  // the fourth byte is taken whole
    v = v << 7 | (b & 0x7F);
    if (b < 0x80) return v;
  }
  return v;
}

void merge_tracks(Converter& c, const SmfHandlers& h) {
  for (;;) {
    int next = -1;
    for (int i = 0; i < static_cast<int>(c.tracks.size()); ++i)
      if (c.tracks[i].time >= 0 && (next < 0 || c.tracks[i].time < c.tracks[next].time)) next = i;
    if (next < 0) return;
    deliver(c, h, next);
  }
}

}  // namespace kvt::convert

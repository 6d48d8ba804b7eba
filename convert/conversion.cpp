#include "conversion.h"

#include <memory>
#include <new>

#include "channel_events.h"
#include "converter_context.h"
#include "meta_events.h"
#include "part_writer.h"
#include "smf_reader.h"
#include "song_assembly.h"
#include "system_exclusive.h"

namespace kvt::convert {
namespace {

constexpr int kDrumChannel = 10;

void channel_event(Converter& c, int status, int channel) {
  switch (status) {
    case 0x80: note_off_event(c, channel); break;
    case 0x90: note_on_event(c, channel); break;
    case 0xB0: control_change_event(c, channel); break;
    case 0xC0: program_change_event(c, channel); break;
    case 0xE0: pitch_bend_event(c, channel); break;
    case 0xA0:  // key pressure: read and ignored
      fgetc2(c.input);
      fgetc2(c.input);
      break;
    default:  // channel pressure
      fgetc2(c.input);
      break;
  }
}

bool open_file(Converter& c, const std::string& path, const char* mode, memory_file& file) {
  if (fopen2(path, mode, file, c.messages)) return true;
  c.messages.append("ERROR! File open error '%s'\n", path.c_str());
  return false;
}

void load_config(Converter& c, const std::vector<std::uint8_t>& image, const std::string& path) {
  if (c.config.load(image)) return;
  c.messages.append("ERROR! abnormal configuration file '%s'\n", path.c_str());
  throw Stop{};
}

// The conversion once the files are open: input and configuration loaded,
// the output buffer ready.
void convert_loaded(Converter& c) {
  write_header_skeleton(c);
  c.channels[kDrumChannel].drum_map = 1;
  c.slot_key.fill(0xFF);
  for (int b = 0; b < 16; ++b) c.block_channel[b] = b + 1;

  read_smf_header(c);
  add_part(c, 0);  // the conductor
  scan_tracks(c);
  merge_tracks(c, {channel_event, system_exclusive_event, song_meta_event});
  assemble_song(c);
}

void run(Converter& c, const std::string& mid_path, const std::string& cfg_path, const std::string& kvt_path) {
  memory_file cfg;
  if (!open_file(c, cfg_path, "rb", cfg)) throw Stop{};
  load_config(c, cfg.buffer, cfg_path);
  if (!open_file(c, mid_path, "rb", c.input)) throw Stop{};
  const std::string out = kvt_path.empty() ? derived_song_path(mid_path) : kvt_path;
  if (!open_file(c, out, "wb", c.output)) throw Stop{};
  convert_loaded(c);
  if (!fclose2(c.output, c.messages)) throw Stop{};
}

std::unique_ptr<Converter> make_converter(const mid2kvt_settings& settings, const kvt_message_view* view, char* text,
                                          std::size_t size, const std::string& mid_path) {
  auto c = std::make_unique<Converter>();
  c->messages = {text, size, view};
  c->settings = settings;
  c->messages.append(".mid->.kvt Converter Ver1.56 ... '%s'\n\n", mid_path.c_str());
  c->messages.repaint(true);
  return c;
}

// Runs `work`; a stop or a failed allocation is the result 1.
template <class F>
int guarded(Converter& c, F&& work) {
  try {
    work();
  } catch (const Stop&) {
    c.messages.repaint(false);
    return 1;
  } catch (const std::bad_alloc&) {
    c.messages.append("Out of Memory\n");
    c.messages.repaint(false);
    return 1;
  }
  c.messages.append("\n");
  c.messages.repaint(true);
  return 0;
}

}  // namespace

std::string derived_song_path(const std::string& mid_path) {
  const auto dot = mid_path.rfind('.');
  return (dot == std::string::npos ? mid_path : mid_path.substr(0, dot)) + ".kvt";
}

int convert_midi(const std::string& mid_path, const std::string& cfg_path, const std::string& kvt_path,
                 const mid2kvt_settings& settings, const kvt_message_view* view, char* messages, std::size_t size) {
  const auto c = make_converter(settings, view, messages, size, mid_path);
  return guarded(*c, [&] { run(*c, mid_path, cfg_path, kvt_path); });
}

int convert_midi_image(const std::vector<std::uint8_t>& midi, const std::vector<std::uint8_t>& config,
                       const mid2kvt_settings& settings, char* messages, std::size_t size,
                       std::vector<std::uint8_t>& song) {
  const auto c = make_converter(settings, nullptr, messages, size, "(memory)");
  const int result = guarded(*c, [&] {
    load_config(*c, config, "(memory)");
    c->input.buffer = midi;
    c->input.end = midi.size();
    c->output.mode = 1;
    c->output.buffer.assign(kWriteBufferSize, 0);
    convert_loaded(*c);
  });
  song.assign(c->output.buffer.begin(), c->output.buffer.begin() + static_cast<long>(c->output.end));
  return result;
}

}  // namespace kvt::convert

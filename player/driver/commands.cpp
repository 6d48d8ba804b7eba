// Execution of the part commands (0x60..0x7F, 0xE0..0xFF) on a part slot.
#include <algorithm>

#include "driver_internal.h"
#include "tables.h"

namespace kvt::driver {
namespace {

using namespace song;

void repeat_start(PartSlot& p, SongCursor& c) {
  const std::uint8_t count = c.byte();
  if (p.rep_depth < kRepeatDepth) p.repeat[p.rep_depth++] = {count, c.pos};
}

void repeat_end(PartSlot& p, SongCursor& c) {
  if (p.rep_depth == 0) return;
  RepeatEntry& top = p.repeat[p.rep_depth - 1];
  --top.count;  // 0 wraps: 256 passes
  if (top.count == 0) {
    --p.rep_depth;
    return;
  }
  const std::uint32_t loop_start = top.position;
  if (top.count == 1) top.position = c.pos;  // the final pass breaks to here
  c.pos = loop_start;
}

void repeat_break(PartSlot& p, SongCursor& c) {
  if (p.rep_depth == 0 || p.repeat[p.rep_depth - 1].count != 1) return;
  c.pos = p.repeat[--p.rep_depth].position;
}

int fold_transpose(int t) {
  while (t < -95) t += 12;
  while (t > 95) t -= 12;
  return t;
}

void set_pan(const Context& ctx, PartSlot& p, int pan) {
  if (ctx.mono) return;
  p.pan = static_cast<std::int8_t>(std::clamp(pan, -kPanLimit, kPanLimit));
  const PanGains g = pan_gains(p.pan);
  p.pan_gain_left = g.left;
  p.pan_gain_right = g.right;
  p.flags |= kVolumeDirty;
}

void set_envelope_param(PartSlot& p, int n, std::uint8_t value) {
  if (value == kEnvUnchanged) return;
  if (n < kEnvelopeParams) p.env_params[n] = value;
  else if (n == kEnvelopeParams) p.peak_level = value;
  else p.decay_shift = value;
}

void envelope_control(const Context& ctx, PartSlot& p, SongCursor& c) {
  const std::uint8_t n = c.byte();
  if (n < kEnvParamCount) {
    const std::uint8_t k = c.byte();
    for (int i = 0; i < k; ++i) {
      const std::uint8_t value = c.byte();
      if (n + i < kEnvParamCount) set_envelope_param(p, n + i, value);
    }
    build_envelope(ctx, p);
  } else if (n >= kEnvSelectSet0 && n < kEnvSelectSet0 + 4) {
    select_envelope_set(ctx, p, n - kEnvSelectSet0);
  } else if (n == kEnvSelectDefault && p.has_voice()) {
    select_envelope_set(ctx, p, voice_image(p)[voice::kOffDefaultSet] & 3);
  }
}

void rate_offsets(PartSlot& p, SongCursor& c) {
  for (std::int8_t& offset : p.rate_offset) {
    const std::uint8_t v = c.byte();
    if (v != kEnvUnchanged) offset = static_cast<std::int8_t>(v);
  }
}

void pitch_swing(PartSlot& p, SongCursor& c) {
  const std::uint16_t period = c.word();
  if (period == 0) {
    swing_off(p);
    return;
  }
  const auto step = static_cast<std::int32_t>(c.dword());
  if (!c.overrun) set_swing(p, period, step);
}

void part_end(PartSlot& p, SongCursor& c) {
  if (p.loop_ptr == kNoPosition) {
    end_part(p);
    return;
  }
  c.pos = p.loop_ptr;
  ++p.loop_count;
}

}  // namespace

void execute_command(Context& ctx, int part, PartSlot& p, std::uint8_t cmd, SongCursor& c) noexcept {
  switch (cmd) {
    case kRepeatStart: repeat_start(p, c); break;
    case kRepeatEnd: repeat_end(p, c); break;
    case kRepeatBreak: repeat_break(p, c); break;
    case kCallMark: p.call_target = c.pos; break;
    case kCallReturn:
      if (p.return_ptr != kNoPosition) {
        c.pos = p.return_ptr;
        p.return_ptr = kNoPosition;
      }
      break;
    case kCall:
      if (p.call_target != kNoPosition) {
        p.return_ptr = c.pos;
        c.pos = p.call_target;
      }
      break;
    case kTransposeSet: p.transpose = c.sbyte(); break;
    case kTransposeAdd: p.transpose = static_cast<std::int8_t>(fold_transpose(p.transpose + c.sbyte())); break;
    case kPanAdd: set_pan(ctx, p, p.pan + c.sbyte()); break;
    case kPanSet: set_pan(ctx, p, c.sbyte()); break;
    case kDefaultLength: p.default_len = c.byte(); break;
    case kPeakLevel: p.peak_level = c.byte(); break;
    case kVolumeSet:
      p.volume = c.byte();
      p.flags |= kVolumeDirty;
      break;
    case kVolumeUp:
      p.volume = static_cast<std::uint8_t>(std::min(255, p.volume + c.byte()));
      p.flags |= kVolumeDirty;
      break;
    case kVolumeDown:
      p.volume = static_cast<std::uint8_t>(std::max(0, p.volume - c.byte()));
      p.flags |= kVolumeDirty;
      break;
    case kTempo: {
      const std::uint16_t w = c.word();
      if (part == 0 && !c.overrun) set_tempo(ctx, w, ctx.frame_key);
      break;
    }
    case kGate:
      p.gate_ticks = c.byte();
      p.gate_min = c.byte();
      break;
    case kProgram:
    case kProgramKeepEnvelope: {
      const std::uint8_t slot = c.byte();
      if (!c.overrun) program_change(ctx, p, slot, cmd == kProgramKeepEnvelope);
      break;
    }
    case kVibrato1: set_vibrato(p.vibrato[0], c); break;
    case kVibrato2: set_vibrato(p.vibrato[1], c); break;
    case kDetuneByte: p.detune = c.sbyte(); break;
    case kDetuneWord: p.detune = static_cast<std::int16_t>(c.word()); break;
    case kEnvelope: envelope_control(ctx, p, c); break;
    case kEnvelopeRateOffsets: rate_offsets(p, c); break;
    case kLoopPoint: p.loop_ptr = c.pos; break;
    case kDampPoint: p.damp_ticks = c.byte(); break;
    case kEffectSend: {
      const std::uint8_t send = c.byte();
      if (ctx.effects != 0) p.effect_send = send;
      break;
    }
    case kReverb: set_reverb(ctx, c); break;
    case kChorusTap: set_chorus_tap(ctx, c); break;
    case kChorusInput: set_chorus_input(ctx, c); break;
    case kOctaveShift: p.octave_shift = c.byte(); break;
    case kPitchSwing: pitch_swing(p, c); break;
    case kGateRatio: p.gate_q = static_cast<std::uint8_t>(32 - c.byte()); break;
    case kStartAtLoop: {
      const std::uint8_t on = c.byte();
      if (p.one_shot != 1) p.start_at_loop = on;
      break;
    }
    case kSwingPeriod:
      p.swing.short_period = c.byte();
      if (p.swing.short_period == 0) swing_off(p);
      break;
    case kSwingStart: {
      const std::uint8_t b = c.byte();
      if (b == 0) swing_off(p);
      else set_swing(p, p.swing.short_period, static_cast<std::int32_t>(b) << 16);
      break;
    }
    case kSwingOff: swing_off(p); break;
    case kVolumeSequence: set_volume_sequence(p, c); break;
    case kPartGain:
      p.part_gain = c.word();
      p.flags |= kVolumeDirty;
      break;
    case kNop69:
    case kNop6B:
    case kKeyForce:
    case kKeyGroup: c.skip(1); break;
    case kMeasureInfo: c.skip(4); break;
    case kText: c.skip(c.byte()); break;
    case kEnd: part_end(p, c); break;
    default: break;  // 0x74 tie and the operand-less no-ops
  }
}

}  // namespace kvt::driver

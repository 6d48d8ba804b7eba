#include "gm_map.h"

namespace kvt::bank {
namespace {

// Envelope sets: 1 as made, 2 a softer attack, 3 a short release, 4 a long one.
constexpr ProgramVoice kPrograms[128] = {
    // Pianos
    {"piano", 1, 100, 0, 0}, {"piano", 1, 105, 0, 0}, {"piano", 3, 100, 0, 0}, {"piano", 3, 95, 0, 0},
    {"epiano", 1, 100, 0, 0}, {"epiano", 3, 100, 0, 0}, {"harpsi", 1, 95, 0, 0}, {"harpsi", 3, 95, 0, 0},
    // Chromatic percussion
    {"bell", 1, 95, 0, 0}, {"bell", 3, 95, 0, 0}, {"bell", 3, 90, 0, 0}, {"mallet", 4, 100, 0, 0},
    {"mallet", 1, 105, 0, 0}, {"mallet", 3, 105, 0, 0}, {"bell", 4, 95, 0, 0}, {"harpsi", 1, 95, 0, 0},
    // Organs
    {"organ", 1, 90, 0, 0}, {"organ", 3, 90, 0, 0}, {"organ", 1, 95, 0, 0}, {"organ", 4, 90, 0, 0},
    {"reedor", 1, 90, 0, 0}, {"reedor", 1, 95, 2, 30}, {"reedor", 3, 95, 2, 20}, {"reedor", 1, 90, 2, 30},
    // Guitars
    {"nylon", 1, 105, 0, 0}, {"steel", 1, 105, 0, 0}, {"eguit", 1, 100, 0, 0}, {"eguit", 1, 100, 0, 0},
    {"eguit", 3, 100, 0, 0}, {"drive", 1, 95, 0, 0}, {"drive", 1, 100, 0, 0}, {"eguit", 4, 95, 0, 0},
    // Basses
    {"pbass", 1, 115, 0, 0}, {"pbass", 1, 115, 0, 0}, {"pbass", 3, 115, 0, 0}, {"pbass", 4, 115, 2, 40},
    {"pbass", 3, 120, 0, 0}, {"pbass", 1, 120, 0, 0}, {"sbass", 1, 110, 0, 0}, {"sbass", 3, 110, 0, 0},
    // Strings
    {"violin", 1, 100, 3, 36}, {"violin", 1, 100, 3, 36}, {"violin", 1, 105, 3, 36}, {"string", 1, 110, 2, 36},
    {"string", 3, 95, 4, 0}, {"nylon", 3, 100, 0, 0}, {"nylon", 4, 100, 0, 0}, {"timp", 1, 110, 0, 0},
    // Ensembles
    {"string", 1, 95, 2, 48}, {"string", 2, 95, 2, 48}, {"string", 1, 90, 0, 0}, {"pad", 2, 90, 0, 0},
    {"choir", 1, 95, 2, 48}, {"choir", 2, 95, 2, 48}, {"choir", 1, 90, 0, 0}, {"brass", 3, 105, 0, 0},
    // Brass
    {"brass", 1, 100, 2, 36}, {"brass", 1, 100, 2, 36}, {"brass", 1, 95, 0, 0}, {"brass", 3, 90, 2, 36},
    {"brass", 2, 95, 2, 48}, {"brass", 1, 95, 0, 0}, {"brass", 1, 100, 0, 0}, {"brass", 2, 100, 0, 0},
    // Reeds
    {"reed", 1, 100, 2, 36}, {"reed", 1, 100, 2, 36}, {"reed", 1, 100, 2, 36}, {"reed", 1, 105, 2, 36},
    {"reed", 2, 95, 2, 36}, {"reed", 2, 95, 2, 36}, {"reed", 1, 105, 2, 36}, {"clari", 1, 100, 2, 36},
    // Pipes
    {"flute", 1, 100, 2, 36}, {"flute", 1, 100, 2, 36}, {"flute", 1, 95, 3, 24}, {"flute", 2, 95, 2, 36},
    {"flute", 2, 90, 0, 0}, {"flute", 2, 90, 0, 0}, {"flute", 1, 90, 3, 24}, {"flute", 1, 95, 2, 36},
    // Synth leads
    {"square", 1, 85, 2, 48}, {"saw", 1, 85, 2, 48}, {"flute", 1, 95, 3, 24}, {"flute", 3, 95, 0, 0},
    {"drive", 1, 90, 0, 0}, {"choir", 1, 95, 3, 36}, {"saw", 1, 85, 0, 0}, {"saw", 3, 90, 0, 0},
    // Synth pads
    {"pad", 1, 90, 0, 0}, {"pad", 2, 90, 2, 48}, {"saw", 2, 80, 0, 0}, {"choir", 2, 90, 0, 0},
    {"pad", 4, 90, 0, 0}, {"saw", 2, 80, 2, 48}, {"choir", 4, 90, 0, 0}, {"pad", 2, 90, 0, 0},
    // Synth effects
    {"pad", 4, 85, 0, 0}, {"pad", 2, 85, 0, 0}, {"bell", 4, 90, 0, 0}, {"pad", 4, 85, 0, 0},
    {"bell", 4, 85, 0, 0}, {"choir", 2, 85, 4, 24}, {"bell", 4, 85, 0, 0}, {"pad", 4, 85, 4, 24},
    // Ethnic
    {"sitar", 1, 100, 0, 0}, {"steel", 3, 100, 0, 0}, {"sitar", 3, 100, 0, 0}, {"nylon", 1, 100, 0, 0},
    {"mallet", 1, 100, 0, 0}, {"reed", 1, 90, 0, 0}, {"violin", 1, 100, 3, 24}, {"reed", 1, 95, 2, 24},
    // Percussive
    {"bell", 3, 95, 0, 0}, {"cowbell", 1, 100, 0, 0}, {"mallet", 1, 100, 0, 0}, {"wood", 1, 100, 0, 0},
    {"kick2", 1, 110, 0, 0}, {"tom", 1, 105, 0, 0}, {"tom", 1, 100, 0, 0}, {"crash", 1, 90, 0, 0},
    // Sound effects
    {"hhclose", 1, 80, 0, 0}, {"flute", 2, 70, 0, 0}, {"crash", 2, 80, 0, 0}, {"flute", 3, 80, 8, 0},
    {"bell", 3, 80, 0, 0}, {"crash", 2, 85, 0, 0}, {"clap", 1, 90, 0, 0}, {"snare", 1, 100, 0, 0},
};

}  // namespace

const ProgramVoice& program_voice(int program) { return kPrograms[program & 127]; }

extern const DrumKeyVoice kStandardKit[] = {
    {27, "wood", 48, 64},    {28, "clap", 40, 64},    {29, "hhclose", 30, 64}, {30, "hhclose", 26, 64},
    {31, "wood", 42, 64},    {32, "rim", 48, 64},     {33, "wood", 36, 64},    {34, "cowbell", 48, 64},
    {35, "kick2", 36, 64},   {36, "kick", 36, 64},    {37, "rim", 40, 64},     {38, "snare", 36, 64},
    {39, "clap", 36, 60},    {40, "snare2", 36, 64},  {41, "tom", 28, 44},     {42, "hhclose", 36, 76},
    {43, "tom", 31, 50},     {44, "hhclose", 33, 76}, {45, "tom", 34, 56},     {46, "hhopen", 36, 76},
    {47, "tom", 37, 64},     {48, "tom", 40, 72},     {49, "crash", 36, 52},   {50, "tom", 43, 80},
    {51, "ride", 36, 80},    {52, "crash", 31, 84},   {53, "ride", 40, 80},    {54, "tamb", 36, 70},
    {55, "crash", 42, 48},   {56, "cowbell", 36, 72}, {57, "crash", 38, 44},   {58, "tamb", 24, 60},
    {59, "ride", 34, 84},    {60, "conga", 48, 80},   {61, "conga", 43, 80},   {62, "conga", 38, 48},
    {63, "conga", 36, 48},   {64, "conga", 31, 48},   {65, "conga", 41, 72},   {66, "conga", 34, 72},
    {67, "cowbell", 40, 40}, {68, "cowbell", 35, 40}, {69, "tamb", 40, 52},    {70, "tamb", 44, 52},
    {71, "tri", 48, 76},     {72, "tri", 44, 76},     {73, "wood", 46, 60},    {74, "wood", 40, 60},
    {75, "wood", 50, 70},    {76, "wood", 44, 56},    {77, "wood", 39, 56},    {78, "conga", 52, 64},
    {79, "conga", 46, 64},   {80, "tri", 36, 84},     {81, "tri", 36, 84},
};
extern const int kStandardKitSize = sizeof kStandardKit / sizeof kStandardKit[0];

}  // namespace kvt::bank

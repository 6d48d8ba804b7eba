// SDL2, opened the first time sound is to reach the card. A program that
// only converts or renders songs then never maps it, nor the fifty or so
// libraries that it needs itself.
#pragma once

#include <SDL.h>

#include <string>

namespace kvt::host {

inline constexpr char kSdlLibraryName[] = "libSDL2-2.0.so.0";

// The functions that the host calls, typed by SDL's own declarations so
// that the compiler checks every call against the header.
struct SdlLibrary {
  decltype(&SDL_WasInit) WasInit;
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_GetError) GetError;
  decltype(&SDL_GetNumAudioDevices) GetNumAudioDevices;
  decltype(&SDL_GetCurrentAudioDriver) GetCurrentAudioDriver;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_LockAudioDevice) LockAudioDevice;
  decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
  decltype(&SDL_RWFromFile) RWFromFile;
  decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
  decltype(&SDL_BuildAudioCVT) BuildAudioCVT;
  decltype(&SDL_ConvertAudio) ConvertAudio;
  decltype(&SDL_FreeWAV) FreeWAV;
};

// Opens the library and resolves its functions on the first call, from any
// thread; nullptr when the library or one of the functions is missing. It
// stays loaded for good: SDL's own threads may outlive any user of it.
const SdlLibrary* sdl_library();
// Why sdl_library() gave nullptr; empty while it has not.
const std::string& sdl_library_failure();

}  // namespace kvt::host

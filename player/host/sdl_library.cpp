#include "sdl_library.h"

#include <dlfcn.h>

namespace kvt::host {
namespace {

struct Loaded {
  SdlLibrary functions{};
  bool ok = false;
  std::string failure;
};

template <class Function>
bool resolve(void* handle, const char* name, Function& out, std::string& failure) {
  dlerror();
  void* const symbol = dlsym(handle, name);
  if (symbol == nullptr) {
    // The loader's reason names the symbol and the file that lacks it.
    const char* reason = dlerror();
    failure = std::string(kSdlLibraryName) + " could not be used: " + (reason != nullptr ? reason : name);
    return false;
  }
  out = reinterpret_cast<Function>(symbol);
  return true;
}

Loaded load() {
  Loaded loaded;
  // RTLD_LOCAL: SDL's symbols stay out of the way of anything loaded later.
  void* const handle = dlopen(kSdlLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    loaded.failure = std::string(kSdlLibraryName) + " could not be loaded: " + (reason != nullptr ? reason : "unknown");
    return loaded;
  }
  SdlLibrary& f = loaded.functions;
  std::string& why = loaded.failure;
#define KVT_RESOLVE(name) resolve(handle, "SDL_" #name, f.name, why)
  loaded.ok = KVT_RESOLVE(WasInit) && KVT_RESOLVE(SetHint) && KVT_RESOLVE(InitSubSystem) && KVT_RESOLVE(GetError) &&
              KVT_RESOLVE(GetNumAudioDevices) && KVT_RESOLVE(GetCurrentAudioDriver) && KVT_RESOLVE(OpenAudioDevice) &&
              KVT_RESOLVE(PauseAudioDevice) && KVT_RESOLVE(LockAudioDevice) && KVT_RESOLVE(UnlockAudioDevice) &&
              KVT_RESOLVE(CloseAudioDevice) && KVT_RESOLVE(RWFromFile) && KVT_RESOLVE(LoadWAV_RW) &&
              KVT_RESOLVE(BuildAudioCVT) && KVT_RESOLVE(ConvertAudio) && KVT_RESOLVE(FreeWAV);
#undef KVT_RESOLVE
  // A library without all of them is no use; it is not closed all the
  // same, since its constructors may have started something.
  return loaded;
}

const Loaded& loaded() {
  static const Loaded once = load();  // the compiler serialises the first calls
  return once;
}

}  // namespace

const SdlLibrary* sdl_library() { return loaded().ok ? &loaded().functions : nullptr; }

const std::string& sdl_library_failure() { return loaded().failure; }

}  // namespace kvt::host

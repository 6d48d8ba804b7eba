#include "frontend_fixture.h"

#include <stdlib.h>

namespace kvt::frontend {

void PrintTo(const Message& message, std::ostream* out) {
  constexpr const char* kKinds[] = {"report", "failure report", "warning", "error"};
  *out << kKinds[static_cast<int>(message.kind)] << " \"" << message.text << "\"";
}

}  // namespace kvt::frontend

namespace kvt::test {

RuntimeDirTest::RuntimeDirTest() { setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); }

RuntimeDirTest::~RuntimeDirTest() { unsetenv("XDG_RUNTIME_DIR"); }

}  // namespace kvt::test

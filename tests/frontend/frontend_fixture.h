// What the front-end tests share: messages that print readably when an
// expectation fails, and scratch space kept in a directory of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include "host_fixture.h"
#include "messages.h"

namespace kvt::frontend {

void PrintTo(const Message& message, std::ostream* out);

}  // namespace kvt::frontend

namespace kvt::test {

// $XDG_RUNTIME_DIR is `runtime` while the test runs.
class RuntimeDirTest : public ::testing::Test {
 protected:
  RuntimeDirTest();
  ~RuntimeDirTest() override;

  ScratchDir runtime;
};

}  // namespace kvt::test

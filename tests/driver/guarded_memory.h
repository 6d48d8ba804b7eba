// Test helpers for the instruction-set versions of the render loops: memory
// whose end is followed by an inaccessible page, so a read past it crashes
// the test, and a fixture parameterised by the versions other than scalar.
#pragma once

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "isa.h"

namespace kvt::driver {

class GuardedMemory {
 public:
  explicit GuardedMemory(std::size_t bytes) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    span_ = (bytes + page - 1) / page * page + page;
    void* m = mmap(nullptr, span_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    EXPECT_NE(m, MAP_FAILED);
    base_ = static_cast<std::uint8_t*>(m);
    mprotect(base_ + span_ - page, page, PROT_NONE);
    data_ = base_ + span_ - page - bytes;
  }
  ~GuardedMemory() { munmap(base_, span_); }
  GuardedMemory(const GuardedMemory&) = delete;
  GuardedMemory& operator=(const GuardedMemory&) = delete;
  std::uint8_t* data() { return data_; }

 private:
  std::uint8_t* base_ = nullptr;
  std::uint8_t* data_ = nullptr;
  std::size_t span_ = 0;
};

class IsaTest : public testing::TestWithParam<Isa> {
 protected:
  void SetUp() override {
    if (!isa_available(GetParam())) GTEST_SKIP() << isa_name(GetParam()) << " is not supported by this processor";
  }
};

#define KVT_INSTANTIATE_ISA_TESTS(suite)                                             \
  INSTANTIATE_TEST_SUITE_P(Versions, suite, testing::Values(Isa::avx2, Isa::avx512), \
                           [](const testing::TestParamInfo<Isa>& info) { return std::string(isa_name(info.param)); })

}  // namespace kvt::driver

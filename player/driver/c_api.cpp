// The driver's C exports. The default instance serves the argument-less
// entry points that the player host calls.
#include <new>

#include "driver.h"

struct kvt_driver : kvt::driver::Context {};

extern "C" {

kvt_driver* kvt_driver_new(void) {
  auto* driver = new (std::nothrow) kvt_driver{};
  if (driver != nullptr) kvt::driver::set_default_inputs(*driver);
  return driver;
}

void kvt_driver_delete(kvt_driver* driver) { delete driver; }

kvt_driver_inputs* kvt_driver_io(kvt_driver* driver) { return driver; }

int kvt_driver_worksize(void) { return kvt::driver::worksize(); }

void kvt_driver_init(kvt_driver* driver) { kvt::driver::init(*driver); }

int kvt_driver_play(kvt_driver* driver) { return kvt::driver::play(*driver); }

void kvt_driver_set_soft_end(kvt_driver* driver, int on) { driver->soft_part_end = on != 0; }

kvt_driver* kvt_driver_default(void) {
  static kvt_driver* const instance = kvt_driver_new();  // lives as long as the process
  return instance;
}

int _kvt_worksize(void) { return kvt_driver_worksize(); }

void _kvt_init(void) { kvt_driver_init(kvt_driver_default()); }

int _kvt_play(void) { return kvt_driver_play(kvt_driver_default()); }

}  // extern "C"

#include "tests/game/core/world_fixture.h"

namespace world_test {

// Function-local statics: built on first use, whatever order the files' initialisers run in.
Ball_Pool& Balls() {
  static Ball_Pool pool;
  return pool;
}
Crate_Pool& Crates() {
  static Crate_Pool pool;
  return pool;
}
Post_Pool& Posts() {
  static Post_Pool pool;
  return pool;
}

}  // namespace world_test

#include "operands.h"

#include "object_writer.h"
#include "source_reader.h"

namespace kvt::compiler {

void put_operands(Compiler& c, std::initializer_list<Operand> operands) {
  for (const Operand& o : operands) {
    const int n = getdeci(c, o.lower, o.upper, 0);
    if (o.width == 2) {
      put16(c, n);
    } else {
      put(c, n);
    }
  }
}

int tempo_word(const Compiler& c, int bpm) { return 165600 / (bpm * (c.zlen / 4)); }

}  // namespace kvt::compiler

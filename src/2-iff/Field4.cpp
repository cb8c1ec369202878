#include "2-iff/Field4.h"

#include <ostream>

#include "1-platform/Failure.h"

namespace qm {

void Field4::TooLong(size_t size) {
  Fail(Fault::InvalidArgument, "a 4-byte field cannot hold " + std::to_string(size) + " bytes");
}

std::ostream& operator<<(std::ostream& out, const Field4& field) { return out << field.view(); }

}  // namespace qm

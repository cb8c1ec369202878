#include "2-iff/SharedBytes.h"

#include <ostream>

namespace qm {

std::ostream& operator<<(std::ostream& out, const SharedBytes& bytes) {
  return out << bytes.view();
}

}  // namespace qm

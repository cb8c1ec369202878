#include "iff/SharedBytes.h"

#include <ostream>

namespace qm {

SharedBytes::SharedBytes(std::string bytes) {
  if (bytes.empty()) return;
  // Moving keeps the string's buffer; only the small owner record is new.
  auto owned = std::make_shared<const std::string>(std::move(bytes));
  data_ = owned->data();
  size_ = owned->size();
  owner_ = std::move(owned);
}

std::ostream& operator<<(std::ostream& out, const SharedBytes& bytes) {
  return out << bytes.view();
}

}  // namespace qm

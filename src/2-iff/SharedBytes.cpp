#include "2-iff/SharedBytes.h"

#include <ostream>

namespace qm {

SharedBytes::SharedBytes(std::string bytes) {
  if (bytes.empty()) return;
  // Moving keeps the string's buffer; only the small owner record is new.
  owner_ = SharedBuffer(std::move(bytes));
  data_ = owner_->data();
  size_ = owner_->size();
}

std::ostream& operator<<(std::ostream& out, const SharedBytes& bytes) {
  return out << bytes.view();
}

}  // namespace qm

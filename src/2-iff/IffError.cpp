#include "2-iff/IffError.h"

namespace qm {

void ThrowIffError(const char* procedure, int32_t location) {
  CaughtFailure failure = CurrentFailure();
  throw IffError(failure.number, std::move(failure.description), procedure, location);
}

}  // namespace qm

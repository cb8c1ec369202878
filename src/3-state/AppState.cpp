#include "3-state/AppState.h"

#include <string>

#include "1-platform/Failure.h"

namespace qm {

std::string gSimsPath;
NameLists gNameLists;

namespace {

void CheckCell(int list, int row) {
  if (list < 0 || list >= kListCount || row < 0 || row >= kNameRows) {
    Fail(Fault::SubscriptOutOfRange,
         "name list cell (" + std::to_string(list) + ", " + std::to_string(row) + ")");
  }
}

}  // namespace

std::string& NameLists::Cell(int list, int row) {
  CheckCell(list, row);
  return cells_[static_cast<size_t>(list)][static_cast<size_t>(row)];
}

const std::string& NameLists::Cell(int list, int row) const {
  CheckCell(list, row);
  return cells_[static_cast<size_t>(list)][static_cast<size_t>(row)];
}

void NameLists::Clear() {
  for (auto& column : cells_) {
    for (std::string& cell : column) cell.clear();
  }
}

}  // namespace qm

#include "framework/resources.h"

#include <algorithm>

namespace fw {

namespace {

template <class Table>
auto FindById(const Table& table, UINT id) -> decltype(&*table.begin()) {
  const auto found =
      std::find_if(table.begin(), table.end(), [id](const auto& entry) { return entry.id == id; });
  return found == table.end() ? nullptr : &*found;
}

}  // namespace

const DialogTemplate* FindDialogTemplate(UINT id) {
  return FindById(ApplicationResources().dialogs, id);
}

std::string FindStringResource(UINT id) {
  const StringResource* found = FindById(ApplicationResources().strings, id);
  return found == nullptr || found->text == nullptr ? std::string() : std::string(found->text);
}

const IconResource* FindIconResource(UINT id) {
  return FindById(ApplicationResources().icons, id);
}

}  // namespace fw

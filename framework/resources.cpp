#include "framework/resources.h"

#include <algorithm>

namespace fw {

namespace {

const ResourceTable kNoResources{};
const ResourceTable* gResources = &kNoResources;

template <class Table>
auto FindById(const Table& table, UINT id) -> decltype(&*table.begin()) {
  const auto found =
      std::find_if(table.begin(), table.end(), [id](const auto& entry) { return entry.id == id; });
  return found == table.end() ? nullptr : &*found;
}

}  // namespace

const ResourceTable* SetResources(const ResourceTable* table) {
  const ResourceTable* previous = gResources == &kNoResources ? nullptr : gResources;
  gResources = table != nullptr ? table : &kNoResources;
  return previous;
}

const DialogTemplate* FindDialogTemplate(UINT id) {
  return FindById(gResources->dialogs, id);
}

std::string FindStringResource(UINT id) {
  const StringResource* found = FindById(gResources->strings, id);
  return found == nullptr || found->text == nullptr ? std::string() : std::string(found->text);
}

const IconResource* FindIconResource(UINT id) {
  return FindById(gResources->icons, id);
}

}  // namespace fw

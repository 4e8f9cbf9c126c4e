// Fuzzes the REGEDIT4 reader; whatever it accepts must export and read back unchanged.
// fuzz-link: qv_platform qv_config
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/registry_export.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const qv::RegistryImport parsed = qv::ParseRegistryText(text, "fuzz.reg");
  if (!parsed.error.empty()) {
    if (!parsed.changes.empty()) std::abort();  // a rejected file must change nothing
    return 0;
  }
  qv::MemorySettingsTree tree;
  if (!tree.apply(parsed.changes)) std::abort();
  const std::string exported = qv::ExportRegistryText(tree);
  const qv::RegistryImport again = qv::ParseRegistryText(exported, "export");
  if (!again.error.empty()) std::abort();
  qv::MemorySettingsTree copy;
  if (!copy.apply(again.changes)) std::abort();
  if (qv::ExportRegistryText(copy) != exported) std::abort();
  return 0;
}

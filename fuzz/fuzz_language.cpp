// Fuzz target: the language-file reader, the descriptor name and form translation.
// fuzz-link: qv_config
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/text_helpers.h"
#include "config/translation.h"

namespace {

class NullForm : public qv::TranslatableForm {
 public:
  void setFormCaption(const std::string& text) override { size += text.size(); }
  void setComponentText(const std::string& name, const std::string& text) override {
    size += name.size() + text.size();
  }
  std::size_t size = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  qv::LanguageTable table;
  table.append(text);
  for (int id : {1012, 1013, 3010, 0, -1})
    if (const std::string* m = table.message(id)) (void)qv::FormatText(*m, {"a", "b", "c"});
  (void)qv::LanguageDescriptorName(text);
  NullForm form;
  for (const auto& section : table.sections()) qv::TranslateForm(form, section.name, table);
  return 0;
}

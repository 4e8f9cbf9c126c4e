// GNU-style options (--help, --version, settings import/export) taken off the command line
// before the rest reaches the editor's own command language.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace qv {

struct GnuOptions {
  bool help = false;
  bool version = false;
  std::optional<std::string> importSettings;  // --import-settings FILE
  std::optional<std::string> exportSettings;  // --export-settings FILE
  std::vector<std::string> rest;              // everything else, unchanged and in order
  std::string error;                          // non-empty: the options were malformed
};

// argv[0] excluded. "--" ends the GNU options: what follows goes to `rest` untouched.
GnuOptions ParseGnuOptions(const std::vector<std::string>& args);

std::string HelpText();
std::string VersionText();

}  // namespace qv

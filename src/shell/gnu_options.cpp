// Splits the GNU-style options off the program's arguments.
#include "shell/gnu_options.h"

#include "version.h"

namespace qv {

GnuOptions ParseGnuOptions(const std::vector<std::string>& args) {
  GnuOptions out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto takeValue = [&](std::optional<std::string>& target, const std::string& name) {
      const std::string prefix = name + "=";
      if (a.rfind(prefix, 0) == 0) {
        target = a.substr(prefix.size());
      } else if (i + 1 < args.size()) {
        target = args[++i];
      } else {
        out.error = "option '" + name + "' requires a file name";
        return;
      }
      if (target->empty()) out.error = "option '" + name + "' requires a file name";
    };
    if (a == "--") {
      out.rest.insert(out.rest.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (a == "--help" || a == "-h") {
      out.help = true;
    } else if (a == "--version") {
      out.version = true;
    } else if (a == "--import-settings" || a.rfind("--import-settings=", 0) == 0) {
      takeValue(out.importSettings, "--import-settings");
    } else if (a == "--export-settings" || a.rfind("--export-settings=", 0) == 0) {
      takeValue(out.exportSettings, "--export-settings");
    } else if (a.rfind("--", 0) == 0 && a.size() > 2) {
      out.error = "unrecognized option '" + a + "'";
    } else {
      out.rest.push_back(a);
    }
    if (!out.error.empty()) break;
  }
  return out;
}

std::string HelpText() {
  return std::string("Usage: quirvane [OPTION]... [FILE|SWITCH]...\n") +
         "A programmer's text editor.\n"
         "\n"
         "Files may contain wildcards (* and ?). Switches of the editor's own commands:\n"
         "  /P FILE       print FILE (or the files a wildcard names) and close it\n"
         "  /G<c>:<l>     put the caret on column c, line l of the files before it\n"
         "  /M NAME       play the macro NAME on the files before it\n"
         "  /I LISTFILE   open the files named, one a line, in LISTFILE\n"
         "  /R            lock the files before it for changes\n"
         "  /S            save the files before it\n"
         "  /C            close the files before it\n"
         "  /E            exit when the command line is done\n"
         "\n"
         "Options:\n"
         "  --import-settings FILE  read a REGEDIT4 file into the settings and exit\n"
         "  --export-settings FILE  write the settings as a REGEDIT4 file and exit\n"
         "  -h, --help              show this help and exit\n"
         "      --version           show the version and exit\n"
         "\n"
         "Settings live in $XDG_CONFIG_HOME/quirvane/, data in $QUIRVANE_HOME or\n"
         "$XDG_DATA_HOME/quirvane/.\n";
}

std::string VersionText() { return std::string(kProgramName) + " " + kVersion + "\n"; }

}  // namespace qv

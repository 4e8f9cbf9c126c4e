// The program's run: the instance check, the main window, the event loop and the end.
#pragma once
#include <string>
#include <vector>

namespace qv {

// Runs the editor with the arguments left after the GNU options. `settingsMessage` (when not
// empty) is shown once the main window is up. Returns the process exit code.
int RunApplication(int& argc, char** argv, const std::vector<std::string>& args, const std::string& settingsMessage);

}  // namespace qv

// The program's folders on Linux and seeding the program folder from the installed resources.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace qv {

// Program folder: $QUIRVANE_HOME, else $XDG_DATA_HOME/quirvane/, else ~/.local/share/quirvane/.
// Always ends with '/'; created when missing.
std::string ApplicationDirectory();

// Application-data folder: $XDG_CONFIG_HOME/quirvane/ (else ~/.config/quirvane/), ends with '/'.
std::string AppDataDirectory();

// Local temp folder: $XDG_CACHE_HOME/quirvane/Temp/ (else ~/.cache/quirvane/Temp/), ends with '/'.
std::string LocalTempDirectory();

// Where the installed defaults are: the first existing folder of `candidates`.
// Candidates in order: the build's resource folder, then ../share/quirvane beside the binary.
std::filesystem::path FindResourceDirectory(const std::vector<std::filesystem::path>& candidates);
std::vector<std::filesystem::path> ResourceDirectoryCandidates(
    const std::filesystem::path& compiledResourceDir, const std::filesystem::path& executable);

struct SeedResult {
  int copied = 0;
  std::vector<std::string> errors;  // one line per file that could not be copied
};

// Copies every file of `resources` that is missing below `programDir`, keeping the relative
// layout. Existing files (the user's) are never replaced.
SeedResult SeedProgramFolder(const std::filesystem::path& resources,
                             const std::filesystem::path& programDir);

}  // namespace qv

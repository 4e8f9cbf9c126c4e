// File names as the program stores them: canonical full paths and the remembered last folder.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

// The full, normalised path of an existing file; any other name is returned unchanged.
std::string CanonicalFileName(std::string_view name);
// The same with a relative name taken against baseDir instead of the current folder.
std::string CanonicalFileName(std::string_view name, const std::filesystem::path& baseDir);

// Remembers the folder of a file just opened or saved in lastDir. Names on the floppy drives
// "A:" and "B:" (written on another system) are not remembered.
void NoteLastDir(std::string& lastDir, std::string_view fileName);

}  // namespace qv

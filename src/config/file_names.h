// File names as the program stores them: canonical full paths and the remembered last folder.
#pragma once
#include <string>
#include <string_view>

namespace qv {

// The full, normalised path of an existing file; any other name is returned unchanged.
std::string CanonicalFileName(std::string_view name);

// Remembers the folder of a file just opened or saved in lastDir. Names on the floppy drives
// "A:" and "B:" (written on another system) are not remembered.
void NoteLastDir(std::string& lastDir, std::string_view fileName);

}  // namespace qv

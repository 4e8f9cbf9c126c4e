// Private folders for a test program: no test touches the user's own settings or data.
#pragma once
#include <filesystem>
#include <string>

namespace qv::test {

// Root of the temp folder made for this test program (removed at exit).
const std::filesystem::path& TempRoot();

// A fresh empty folder below TempRoot() for one test.
std::filesystem::path FreshDir(const std::string& name);

// Whole-file helpers for fixtures.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// A file from the source tree (e.g. "src/resources/language/Deutsch.lng").
std::filesystem::path SourcePath(const std::string& relative);

}  // namespace qv::test

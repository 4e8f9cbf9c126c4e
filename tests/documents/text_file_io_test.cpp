// Loading and saving documents: byte-for-byte round trips, odd files and failed writes.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "document_fixture.h"
#include "documents/text_file_handler.h"

namespace qv::test {
namespace {

using namespace std::string_literals;

struct RoundTrip {
  const char* name;
  std::string bytes;
  TTextFormat format;
  int lineCount;
};

TEST_F(DocumentTest, EveryFormatSavesBackByteForByte) {
  const RoundTrip cases[] = {
      {"empty", "", TTextFormat::tfNormal, 1},
      {"crlf with final break", "a\r\nb\r\n", TTextFormat::tfNormal, 3},
      {"crlf without final break", "a\r\nb", TTextFormat::tfNormal, 2},
      {"lf", "one\ntwo\n", TTextFormat::tfUnix, 3},
      {"cr", "one\rtwo", TTextFormat::tfMac, 2},
      {"zero bytes inside lines", "a\0b\r\n\0\r\nc"s, TTextFormat::tfNormal, 3},
      {"zero byte before the first lf", "a\0b\nc\n"s, TTextFormat::tfUnix, 3},
      {"utf-16 le, lf, final break", "\xFF\xFE" "a\0\n\0b\0\n\0"s, TTextFormat::tfUnicode, 3},
      {"utf-16 le, crlf, zero char", "\xFF\xFE" "a\0\0\0b\0\r\0\n\0c\0"s, TTextFormat::tfUnicode,
       2},
      {"utf-16 be, surrogate pair and U+0100", "\xFE\xFF\xD8\x3D\xDE\x00\x01\x00\0\r"s,
       TTextFormat::tfUnicodeBigEndian, 2},
      {"utf-8 mark, lf, final break", "\xEF\xBB\xBF" "caf\xC3\xA9\nx\n",
       TTextFormat::tfUTF8, 3},
      {"utf-8 mark, zero byte", "\xEF\xBB\xBFz\0z"s, TTextFormat::tfUTF8, 1},
      {"utf-16 le mark only", "\xFF\xFE", TTextFormat::tfUnicode, 1},
      {"utf-16 be mark only", "\xFE\xFF", TTextFormat::tfUnicodeBigEndian, 1},
      {"utf-8 mark only", "\xEF\xBB\xBF", TTextFormat::tfUTF8, 1},
  };
  for (const auto& c : cases) {
    const std::string file = write("round.txt", c.bytes);
    ASSERT_TRUE(doc->LoadFromFile(file, false)) << c.name;
    EXPECT_EQ(doc->TextFormat(), c.format) << c.name;
    EXPECT_EQ(doc->lines().lineCount(), c.lineCount) << c.name;
    EXPECT_FALSE(doc->Modified()) << c.name;
    doc->SetModified(true);
    ASSERT_TRUE(doc->Save(false)) << c.name << ": " << prompter.lastText();
    EXPECT_EQ(read("round.txt"), c.bytes) << c.name;
    EXPECT_FALSE(doc->Modified()) << c.name;
  }
  EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DocumentTest, MarkedTextIsHeldAsUtf8) {
  const std::string file = write("u16.txt", "\xFF\xFE" "A\0\x00\x01\x3D\xD8\x00\xDE"s);
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  EXPECT_EQ(doc->lines().line(0), "A\xC4\x80\xF0\x9F\x98\x80");
}

TEST_F(DocumentTest, ConvertingChangesTheBreaksAndMarksModified) {
  const std::string file = write("unix.txt", "a\nb\n");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  EXPECT_EQ(doc->StatusText(spFormat), "UNIX");
  doc->SetTextFormat(TTextFormat::tfNormal);
  EXPECT_TRUE(doc->Modified());
  EXPECT_EQ(doc->StatusText(spFormat), "DOS");
  ASSERT_TRUE(doc->Save(false));
  EXPECT_EQ(read("unix.txt"), "a\r\nb\r\n");
  doc->SetTextFormat(TTextFormat::tfUnicode);
  ASSERT_TRUE(doc->Save(false));
  EXPECT_EQ(read("unix.txt"), "\xFF\xFE" "a\0\r\0\n\0b\0\r\0\n\0"s);
}

TEST_F(DocumentTest, BinaryFileKeepsEveryByte) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') bytes.push_back(static_cast<char>(b));
  }
  const std::string file = write("blob.bin", bytes + bytes);
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  EXPECT_EQ(doc->lines().line(0), bytes + bytes);
  doc->SetModified(true);
  ASSERT_TRUE(doc->Save(false));
  EXPECT_EQ(read("blob.bin"), bytes + bytes);
}

TEST_F(DocumentTest, LoadFailuresKeepTheTextAndSayWhetherTheFileIsMissing) {
  ASSERT_TRUE(doc->LoadFromFile(write("keep.txt", "kept"), false));
  std::filesystem::create_directories(dir / "folder");
  EXPECT_FALSE(doc->LoadFromFile(path("folder"), false));
  EXPECT_FALSE(doc->FileMissing()) << "a folder exists";
  EXPECT_EQ(doc->lines().line(0), "kept");
  EXPECT_FALSE(doc->LoadFromFile(path("missing.txt"), false));
  EXPECT_TRUE(doc->FileMissing());
  EXPECT_FALSE(doc->NewFile());
  EXPECT_EQ(doc->FileName(), path("missing.txt"));
  EXPECT_EQ(doc->lines().line(0), "kept");
  EXPECT_TRUE(prompter.messages.empty()) << "the caller reports load failures";
}

TEST_F(DocumentTest, FileTooLargeForTheEditorIsRefusedWithoutReadingIt) {
  const std::string file = write("huge.txt", "");
  std::filesystem::resize_file(file, std::uintmax_t{1} << 31);  // sparse: takes no disk space
  ASSERT_TRUE(doc->LoadFromFile(write("small.txt", "kept"), false));
  EXPECT_FALSE(doc->LoadFromFile(file, false));
  EXPECT_FALSE(doc->FileMissing());
  EXPECT_EQ(doc->lines().line(0), "kept");
}

// The document saves in a child process whose files may not grow past `limit` bytes, as on a
// full disk. Exit code: bit 0 save result, bit 1 still modified, bit 2 "Error saving" shown.
int SaveInLimitedChild(Document& doc, ScriptPrompter& prompter, rlim_t limit) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    const bool ok = doc.Save(false);
    const bool reported = prompter.lastText().find("Error saving '") == 0;
    ::_exit((ok ? 1 : 0) | (doc.Modified() ? 2 : 0) | (reported ? 4 : 0));
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(DocumentTest, FailedWriteLeavesTheFileAndTheDocumentModified) {
  const std::string old = "line one\r\nline two\r\n";
  for (const TTextFormat format : {TTextFormat::tfNormal, TTextFormat::tfUnicode}) {
    const std::string file = write("full.txt", old);
    ASSERT_TRUE(doc->LoadFromFile(file, false));
    doc->SetTextFormat(format);
    doc->editor().replaceRange({1, 1}, {1, 1}, std::string(100000, 'x'));
    EXPECT_EQ(SaveInLimitedChild(*doc, prompter, 8192), 2 | 4);
    EXPECT_EQ(read("full.txt"), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  }
}

TEST_F(DocumentTest, ReadOnlyTargetIsNeverWrittenWithoutAsking) {
  const std::string file = write("ro.txt", "old");
  ASSERT_TRUE(doc->LoadFromFile(file, false));
  std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  doc->editor().replaceRange({1, 1}, {1, 1}, "new ");
  prompter.answers = {MsgResult::Cancel};
  EXPECT_FALSE(doc->Save(false));
  EXPECT_EQ(prompter.lastText(), "File '" + file + "' is read-only. Save file anyway?");
  EXPECT_EQ(read("ro.txt"), "old");
  EXPECT_TRUE(doc->Modified());
  prompter.answers = {MsgResult::Ok};
  EXPECT_TRUE(doc->Save(false));
  EXPECT_EQ(read("ro.txt"), "new old");
  EXPECT_FALSE(IsReadOnlyFile(file));
  std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  EXPECT_FALSE(doc->fileHandler().WriteLines(doc->lines(), TTextFormat::tfNormal, file))
      << "writing itself refuses a read-only file";
  EXPECT_EQ(read("ro.txt"), "new old");
}

}  // namespace
}  // namespace qv::test

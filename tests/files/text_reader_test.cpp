// The character-level reader and the block writer: line ends, fields, number tokens, and
// files that are missing, odd or hostile.

#include "files/text_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "file_test_support.h"
#include "files/text_writer.h"
#include "model/errors.h"

namespace kvsorv {
namespace {

using testing::ScratchDir;

// The message of the EInOutError that `action` raises, checking its kind.
template <typename Action>
std::string InOutMessage(Action action, EInOutError::Kind kind) {
  try {
    action();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.GetKind(), kind) << e.Message();
    return e.Message();
  }
  ADD_FAILURE() << "no EInOutError";
  return "";
}

TEST(TextReader, LineEndsOfEveryKind) {
  ScratchDir dir;
  // CR LF, bare LF, bare CR, and CR CR LF (two line ends).
  TextReader file(dir.Write("ends.txt", "a\r\nb\nc\rd\r\r\ne"));
  const char* expected[] = {"a", "b", "c", "d", "", "e"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(file.LineNumber(), i + 1);
    EXPECT_EQ(file.ReadLine(100), expected[i]);
  }
  EXPECT_TRUE(file.AtEnd());
  EXPECT_EQ(file.ReadLine(100), "");  // reading on at the end is harmless
}

TEST(TextReader, FieldsStopAtTheLineEnd) {
  ScratchDir dir;
  TextReader file(dir.Write("fields.txt", "short\r\n2.5 units\r\n12345678901234567890X\n"));
  EXPECT_EQ(file.ReadChars(20), "short");
  EXPECT_EQ(file.ReadNumber(), 2.5);  // sought on the next line
  EXPECT_EQ(file.ReadChars(20), " units");
  file.SkipLine();
  EXPECT_EQ(file.ReadChars(20), "12345678901234567890");
  EXPECT_EQ(file.ReadChars(20), "X");
  EXPECT_EQ(file.ReadChars(20), "");
  file.SkipLine();
  EXPECT_TRUE(file.AtEnd());
}

TEST(TextReader, NumberTokens) {
  ScratchDir dir;
  // Blanks are every code up to 32: tabs, NULs, control characters and line ends.
  const std::string text = std::string("  1.5\t-2e3\r\n\n") + '\0' + "\x01\x1f 7 +.25";
  TextReader file(dir.Write("numbers.txt", text));
  EXPECT_EQ(file.ReadNumber(), 1.5);
  EXPECT_EQ(file.ReadNumber(), -2000.0);
  EXPECT_EQ(file.ReadNumber(), 7.0);
  EXPECT_EQ(file.LineNumber(), 3);
  EXPECT_EQ(file.ReadNumber(), 0.25);
  EXPECT_EQ(file.ReadNumber(), 0.0);  // end of file before a token
  EXPECT_EQ(file.ReadNumber(), 0.0);
}

TEST(TextReader, InvalidTokensNameFileLineAndToken) {
  ScratchDir dir;
  struct Case {
    std::string content;
    std::string shown;  // token as the message shows it
    int line;
  };
  const std::string longToken(65, '1');
  const Case cases[] = {
      {"1 2\r\n3 abc 4", "abc", 2},
      {"\n\ninf", "inf", 3},
      {"\r\n1e400", "1e400", 2},
      {"\x80\xff", "\\x80\\xFF", 1},
      {longToken, longToken.substr(0, 64) + "...", 1},
  };
  for (const auto& c : cases) {
    const std::string path = dir.Write("bad.txt", c.content);
    const std::string message = InOutMessage(
        [&] {
          TextReader file(path);
          for (int i = 0; i < 4; ++i) file.ReadNumber();
        },
        EInOutError::Kind::kInvalidNumericInput);
    EXPECT_EQ(message, "Invalid numeric input in file '" + path + "', line " +
                           std::to_string(c.line) + ": '" + c.shown + "'");
  }
  // A token of exactly the maximum length is still read.
  TextReader file(dir.Write("max.txt", std::string(64, '2')));
  EXPECT_DOUBLE_EQ(file.ReadNumber(), 2.2222222222222222e63);
}

TEST(TextReader, VeryLongLinesAreReadInBoundedMemory) {
  ScratchDir dir;
  const std::string line(5'000'000, 'x');
  TextReader file(dir.Write("long.txt", line + "\n42\r\n" + line + "\r\n43"));
  EXPECT_EQ(file.ReadLine(10), "xxxxxxxxxx");
  EXPECT_EQ(file.ReadNumber(), 42.0);
  file.SkipLine();
  file.SkipChars(20);
  file.SkipLine();
  EXPECT_EQ(file.LineNumber(), 4);
  EXPECT_EQ(file.ReadNumber(), 43.0);
}

TEST(TextReader, EndOfData) {
  ScratchDir dir;
  EXPECT_TRUE(TextReader(dir.Write("blank.txt", " \r\n\t\n")).AtEndOfData());
  EXPECT_TRUE(TextReader(dir.Write("empty.txt", "")).AtEndOfData());
  EXPECT_FALSE(TextReader(dir.Write("data.txt", "\r\n x")).AtEndOfData());
  TextReader file(dir.Write("skip.txt", "1 2 3"));
  file.SkipToEnd();
  EXPECT_TRUE(file.AtEnd());
  EXPECT_EQ(file.ReadNumber(), 0.0);
}

TEST(TextReader, FilesThatCannotBeRead) {
  ScratchDir dir;
  const std::string missing = dir.Path("missing.txt");
  EXPECT_EQ(InOutMessage([&] { TextReader file(missing); }, EInOutError::Kind::kFileAccess),
            "Cannot open file '" + missing + "': file does not exist");
  const std::string folder = dir.Path("folder");
  std::filesystem::create_directory(folder);
  EXPECT_EQ(InOutMessage([&] { TextReader file(folder); }, EInOutError::Kind::kFileAccess),
            "Cannot open file '" + folder + "': it is a directory");
  // A named pipe without a writer would block an open for reading for ever.
  const std::string pipe = dir.Path("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(InOutMessage([&] { TextReader file(pipe); }, EInOutError::Kind::kFileAccess),
            "Cannot open file '" + pipe + "': it is not a regular file");
}

TEST(TextReader, FileWithoutReadPermission) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  ScratchDir dir;
  const std::string path = dir.Write("secret.txt", "1");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  EXPECT_EQ(InOutMessage([&] { TextReader file(path); }, EInOutError::Kind::kFileAccess),
            "Cannot open file '" + path + "': Permission denied");
}

TEST(TextWriter, WritesBlocksAndReportsFailures) {
  ScratchDir dir;
  {
    TextWriter file(dir.Path("out.txt"));
    for (int i = 0; i < 100000; ++i) {  // several blocks
      file.Write("0123456789");
      file.EndLine();
    }
    file.Close();
  }
  EXPECT_EQ(std::filesystem::file_size(dir.Path("out.txt")), 1'200'000u);

  const std::string nowhere = dir.Path("no/such/dir/out.txt");
  EXPECT_EQ(InOutMessage([&] { TextWriter file(nowhere); }, EInOutError::Kind::kFileAccess),
            "Cannot create file '" + nowhere + "': No such file or directory");

  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(InOutMessage(
                [] {
                  TextWriter file("/dev/full");
                  file.Write("x");
                  file.Close();
                },
                EInOutError::Kind::kFileAccess),
            "Cannot write file '/dev/full': No space left on device");
}

}  // namespace
}  // namespace kvsorv

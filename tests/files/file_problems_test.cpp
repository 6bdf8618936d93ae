// The Russian line that says why a file failed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <regex>

#include "files/FileIO.h"
#include "files/FileOps.h"
#include "files/FileProblems.h"
#include "files/XmlDocument.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

class FileProblem : public ::testing::Test, protected test::TempDir {
 protected:
  FileProblem() : TempDir("tivolan-file-problem") {}
  std::string OpenProblemOf(const std::string& path) { return OpenProblem(LoadConfigFile(path, ImageBuffer{}).problem); }
  // What keeps a file from being read whole, in the user's words; empty when it reads.
  static std::string ReadProblem(const std::string& path, std::size_t maxBytes) {
    try {
      ReadWholeFile(path, maxBytes);
    } catch (const FileError& e) {
      return OpenProblem(e.Cause());
    }
    return {};
  }
};

FileSystemCause Saving(FileReason reason, int error = 0) {
  return {FileAction::Create, reason, "/m/a.cf8", {error, std::generic_category()}};
}

TEST_F(FileProblem, WhatKeepsAFileFromBeingReadAtAll) {
  EXPECT_EQ(OpenProblemOf(Path("absent.cf8")), "файла нет");
  EXPECT_EQ(OpenProblemOf(dir.string()), "это папка, а не файл");
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0600), 0);
  EXPECT_EQ(OpenProblemOf(Path("fifo")), "это не обычный файл (устройство, канал или сокет)");
  EXPECT_EQ(OpenProblemOf("/dev/null"), "это не обычный файл (устройство, канал или сокет)");
  EXPECT_EQ(ReadProblem(Write("big.cf8", std::string(100, ' ')), 99), "файл слишком велик для файла конфигурации");
  EXPECT_EQ(ReadProblem(Write("fine.cf8", "x"), 99), "");
}

TEST_F(FileProblem, AFileThatIsNoConfigurationSaysWhereOrWhat) {
  EXPECT_EQ(OpenProblemOf(Write("a.cf8", "<config FileID=\"8\">\n<device ID=\"1\">\n<loops x=></device>")),
            "это не файл конфигурации: ошибка XML в строке 3, позиция 10 (значение атрибута должно быть в кавычках)");
  EXPECT_EQ(OpenProblemOf(Write("b.cf8", "<config FileID=\"7\"/>")),
            "это не файл конфигурации: нет отметки FileID=\"8\"");
  EXPECT_EQ(OpenProblemOf(Write("c.cf8", "<config FileID=\"8\"/>")), "это не файл конфигурации: нет элемента \"device\"");
  EXPECT_EQ(OpenProblemOf(Write("d.cf8", "<config FileID=\"8\"><device ID=\"9\"/></config>")),
            "это не файл конфигурации: тип прибора 9 неизвестен");
  EXPECT_EQ(OpenProblemOf(Write("e.cf8", "<config FileID=\"8\"><device ID=\"1\"><devTX ID=\"2\"/></device></config>")),
            "настройки GSM в файле повреждены или не помещаются в прибор");
  // A fault without a line says where the text ended.
  EXPECT_EQ(OpenProblemOf(Write("f.cf8", "<config FileID=\"8\"")),
            "это не файл конфигурации: файл обрывается раньше конца (после знака 18)");
}

TEST_F(FileProblem, ASaveSaysWhyInRussianBesideTheSystemsWords) {
  const auto reason = [&](const std::string& path) {
    try {
      WriteFileReplacing(path, "x");
    } catch (const FileError& e) {
      return SaveProblem(e.Cause());
    }
    return std::string("saved");
  };
  EXPECT_EQ(reason(dir.string()), "Файл не сохранён: это папка, а не файл");
  EXPECT_EQ(reason("/dev/full"), "Файл не сохранён: это не обычный файл (устройство, канал или сокет)");
  EXPECT_EQ(reason(Path("absent/x.cf8")), "Файл не сохранён: папки нет");
  EXPECT_EQ(reason(""), "Файл не сохранён: не указано имя файла");
  // What the system says when a disk fills or is read-only.
  EXPECT_EQ(SaveProblem(Saving(FileReason::System, ENOSPC)), "Файл не сохранён: на диске нет места");
  EXPECT_EQ(SaveProblem(Saving(FileReason::System, EROFS)), "Файл не сохранён: диск доступен только для чтения");
  EXPECT_EQ(SaveProblem(Saving(FileReason::System, EACCES)),
            "Файл не сохранён: нет прав на запись в эту папку или в этот файл");
}

// The reader's fault is a value with its place, taken as it was found, not
// read back out of its words.
TEST_F(FileProblem, AnXmlFaultKeepsItsKindAndPlace) {
  const struct {
    const char* text;
    XmlCause cause;
  } cases[] = {
      {"<config FileID=\"8\">\n<device ID=\"1\">\n<loops x=></device>", {XmlFault::QuoteExpected, "", "", 3, 10}},
      {"<a>\r\n<b></a>", {XmlFault::TagMismatch, "b", "a", 2, 4}},
      {"<a b=\"1\" b=\"2\"/>", {XmlFault::AttributeTwice, "b", "", 1, 10}},
      {"<a>\n\n  \x01</a>", {XmlFault::ControlCharacter, "", "", 3, 3}},
      // A name holding the marks of the words is shown as it stands.
      {"<?xml version=\"1.%2\"?><a/>", {XmlFault::VersionUnsupported, "1.%2", "", 1, 1}},
      {"<a", {XmlFault::Premature, "", "", 0, 2}},
  };
  for (const auto& c : cases) {
    const FileCause problem = LoadConfigFile(Write("x.cf8", c.text), ImageBuffer{}).problem;
    ASSERT_TRUE(std::holds_alternative<XmlCause>(problem)) << c.text;
    EXPECT_EQ(std::get<XmlCause>(problem), c.cause) << c.text << ": " << XmlErrorText(std::get<XmlCause>(problem));
  }
  EXPECT_EQ(XmlErrorText(cases[4].cause), "version 1.%2 is not supported at line 1 (pos 1)");
  EXPECT_EQ(OpenProblem(cases[1].cause),
            "это не файл конфигурации: ошибка XML в строке 2, позиция 4 (открывающий и закрывающий теги не совпадают: "
            "\"b\" и \"a\")");
}

// tivolan-cli shows the line alone: no English words of the reader's in it,
// for any fault, with a line or without.
TEST(OpenProblemOfCause, EveryXmlFaultIsWordedInRussian) {
  for (int fault = 0; fault <= static_cast<int>(XmlFault::NoRootToWrite); ++fault)
    for (std::size_t line : {0, 4}) {
      std::string text = OpenProblem(XmlCause{static_cast<XmlFault>(fault), "", "", line, 2});
      for (const char* name : {"XML", "UTF-8", "CDATA", "FileID"})
        for (std::size_t at; (at = text.find(name)) != std::string::npos;) text.erase(at, std::strlen(name));
      EXPECT_FALSE(std::regex_search(text, std::regex("[A-Za-z]{2,}"))) << fault << ": " << text;
      EXPECT_GT(text.size(), std::strlen("это не файл конфигурации: ")) << fault;
    }
}

// What the system says on opening, in the user's words.
TEST(OpenProblemOfCause, TheSystemsReasonsInTheUsersWords) {
  const auto cause = [](FileAction action, FileReason reason, int error = 0) {
    return FileSystemCause{action, reason, "/m/a.cf8", {error, std::generic_category()}};
  };
  const struct {
    FileSystemCause cause;
    std::string line;
  } cases[] = {
      {cause(FileAction::Open, FileReason::System, ENOENT), "файла нет"},
      {cause(FileAction::Open, FileReason::System, ENOTDIR), "файла нет"},
      {cause(FileAction::Open, FileReason::System, EACCES), "нет прав на чтение файла"},
      {cause(FileAction::Open, FileReason::System, EPERM), "нет прав на чтение файла"},
      {cause(FileAction::Open, FileReason::System, EMFILE), "файл недоступен: открыто слишком много файлов"},
      {cause(FileAction::Open, FileReason::Inaccessible, EACCES), "файл недоступен: нет прав доступа"},
      {cause(FileAction::Open, FileReason::System, EXDEV), "файл недоступен: системная ошибка " + std::to_string(EXDEV)},
      {cause(FileAction::Open, FileReason::Folder), "это папка, а не файл"},
      {cause(FileAction::Read, FileReason::TooLarge), "файл слишком велик для файла конфигурации"},
      {cause(FileAction::Read, FileReason::System, EIO), "файл не прочитан: ошибка ввода-вывода"},
  };
  for (const auto& c : cases) EXPECT_EQ(OpenProblem(c.cause), c.line) << FileErrorText(c.cause);
  EXPECT_EQ(OpenProblem(FileCause{}), "");
}

TEST_F(FileProblem, APathTheSystemCannotFollowSaysWhy) {
  std::filesystem::create_symlink("loop-b", dir / "loop-a");
  std::filesystem::create_symlink("loop-a", dir / "loop-b");
  EXPECT_EQ(OpenProblemOf(Path("loop-a")), "файл недоступен: слишком много символических ссылок (или они замкнуты в кольцо)");
  EXPECT_EQ(OpenProblemOf(Write("plain.cf8", "x") + "/inside.cf8"), "файла нет");
}

TEST(SaveProblemOfCause, EachReasonHasItsLine) {
  const struct {
    FileSystemCause cause;
    std::string line;
  } cases[] = {
      {Saving(FileReason::Folder), "Файл не сохранён: это папка, а не файл"},
      {Saving(FileReason::NotRegular), "Файл не сохранён: это не обычный файл (устройство, канал или сокет)"},
      {Saving(FileReason::NoFolder), "Файл не сохранён: папки нет"},
      {Saving(FileReason::NoFileName), "Файл не сохранён: не указано имя файла"},
      {Saving(FileReason::System, EDQUOT), "Файл не сохранён: исчерпана квота на диске"},
      {Saving(FileReason::System, EPERM), "Файл не сохранён: нет прав на запись в эту папку или в этот файл"},
      {Saving(FileReason::Inaccessible, EACCES), "Файл не сохранён: нет прав на запись в эту папку или в этот файл"},
      {Saving(FileReason::System, EFBIG), "Файл не сохранён: файл больше, чем позволяет система"},
      {Saving(FileReason::System, ELOOP), "Файл не сохранён: слишком много символических ссылок (или они замкнуты в кольцо)"},
      {Saving(FileReason::System, EXDEV), "Файл не сохранён: системная ошибка " + std::to_string(EXDEV)},
      {Saving(FileReason::Unexplained), "Файл не сохранён"},
  };
  for (const auto& c : cases) {
    const std::string what = FileError(c.cause).what();
    EXPECT_EQ(SaveProblem(c.cause), c.line) << what;
  }
}

}  // namespace
}  // namespace tivolan

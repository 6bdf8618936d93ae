// The Russian line that says why a file failed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "files/FileIO.h"
#include "files/FileOps.h"
#include "files/FileProblems.h"
#include "support/TempDir.h"

namespace tivolan {
namespace {

class FileProblem : public ::testing::Test, protected test::TempDir {
 protected:
  FileProblem() : TempDir("tivolan-file-problem") {}
  std::string OpenProblemOf(const std::string& path) { return LoadConfigFile(path, ImageBuffer{}).problem; }
};

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
            "это не файл конфигурации: ошибка XML в строке 3, позиция 10 (quoted attribute value expected)");
  EXPECT_EQ(OpenProblemOf(Write("b.cf8", "<config FileID=\"7\"/>")),
            "это не файл конфигурации: нет отметки FileID=\"8\"");
  EXPECT_EQ(OpenProblemOf(Write("c.cf8", "<config FileID=\"8\"/>")), "это не файл конфигурации: нет элемента \"device\"");
  EXPECT_EQ(OpenProblemOf(Write("d.cf8", "<config FileID=\"8\"><device ID=\"9\"/></config>")),
            "это не файл конфигурации: тип прибора 9 неизвестен");
  EXPECT_EQ(OpenProblemOf(Write("e.cf8", "<config FileID=\"8\"><device ID=\"1\"><devTX ID=\"2\"/></device></config>")),
            "настройки GSM в файле повреждены или не помещаются в прибор");
  EXPECT_EQ(XmlProblem("something odd"), "это не файл конфигурации: something odd");
}

TEST_F(FileProblem, ASaveSaysWhyInRussianBesideTheSystemsWords) {
  const auto reason = [&](const std::string& path) {
    try {
      WriteFileReplacing(path, "x");
    } catch (const FileError& e) {
      return SaveProblem(e.what());
    }
    return std::string("saved");
  };
  EXPECT_EQ(reason(dir.string()), "Файл не сохранён: это папка, а не файл");
  EXPECT_EQ(reason("/dev/full"), "Файл не сохранён: это не обычный файл (устройство, канал или сокет)");
  EXPECT_EQ(reason(Path("absent/x.cf8")), "Файл не сохранён: папки нет");
  EXPECT_EQ(reason(""), "Файл не сохранён: не указано имя файла");
  // What the system says when a disk fills or is read-only.
  EXPECT_EQ(SaveProblem("Cannot create file \"/m/a.cf8\". No space left on device"), "Файл не сохранён: на диске нет места");
  EXPECT_EQ(SaveProblem("Cannot create file \"/m/a.cf8\". Read-only file system"),
            "Файл не сохранён: диск доступен только для чтения");
  EXPECT_EQ(SaveProblem("Cannot create file \"/m/a.cf8\". Permission denied"),
            "Файл не сохранён: нет прав на запись в эту папку или в этот файл");
}

}  // namespace
}  // namespace tivolan

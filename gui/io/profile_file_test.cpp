#include "gui/io/profile_file.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <sstream>

#include "gui/io/file_system.h"
#include "gui/io/test_support.h"

namespace visual {
namespace {

namespace fs = std::filesystem;

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = folder_.path();
    path_ = (dir_ / "work.set").string();
  }

  void write(const std::string& content) const {
    std::ofstream(path_, std::ios::binary) << content;
  }
  std::string read() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  TempFolder folder_;
  fs::path dir_;
  std::string path_;
};

struct ReadCase {
  const char* name;
  std::string content;
  std::string section;
  std::string key;
  std::string expected;
};

TEST_F(ProfileFileTest, ReadsValuesAsTheProfileFunctionsDo) {
  const ReadCase cases[] = {
      {"names without case", "[Main]\nDirDAT_Text=C:\\maps\n", "MAIN", "dirdat_text", "C:\\maps"},
      {"blanks trimmed", "[a]\n \tKey \t= \t v  v \t\n", "a", "key", "v  v"},
      {"header with blanks", "  [ Header ] \nk=1\n", "header", "K", "1"},
      {"quotes lost", "[a]\nk= \"  q  \" \n", "a", "k", "  q  "},
      {"one pair only", "[a]\nk=\"\"x\"\"\n", "a", "k", "\"x\""},
      {"lone quote kept", "[a]\nk=\"\n", "a", "k", "\""},
      {"open quote kept", "[a]\nk=\"abc\n", "a", "k", "\"abc"},
      {"empty value", "[a]\nk=\n", "a", "k", ""},
      {"equals in value", "[a]\nk=x=y\n", "a", "k", "x=y"},
      {"first duplicate key", "[a]\nk=1\nK=2\n", "a", "k", "1"},
      {"first duplicate section", "[a]\nk=1\n[b]\n[A]\nk=2\n", "a", "k", "1"},
      {"missing key", "[a]\nk=1\n", "a", "j", "fallback"},
      {"missing section", "[a]\nk=1\n", "b", "k", "fallback"},
      {"key of next section", "[a]\n[b]\nk=1\n", "a", "k", "fallback"},
      {"before any section", "k=1\n[a]\n", "", "k", "fallback"},
      {"comment line", "[a]\n;k=1\n k=2\n", "a", "k", "2"},
      {"comment key", "[a]\n;k=1\n", "a", ";k", "fallback"},
      {"CR LF", "[a]\r\nk=1\r\nj=2\r\n", "a", "j", "2"},
      {"lone CR", "[a]\rk=1\rj=2", "a", "j", "2"},
      {"mixed breaks", "[a]\r\n\rk=1\n\r\nj=2\r", "a", "j", "2"},
      {"no final break", "[a]\nk=last", "a", "k", "last"},
      {"Cyrillic value", "[a]\nk=\xC3\xEE\xF0\xEE\xE4\n", "a", "k", "\xC3\xEE\xF0\xEE\xE4"},
  };
  for (const ReadCase& c : cases) {
    write(c.content);
    ProfileFile profile;
    std::string error;
    ASSERT_TRUE(profile.load(path_, &error)) << c.name << ": " << error;
    EXPECT_EQ(profile.get(c.section, c.key, "fallback"), c.expected) << c.name;
    EXPECT_EQ(readProfileString(path_, c.section, c.key, "fallback"), c.expected) << c.name;
  }
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST_F(ProfileFileTest, WritesKeysWhereTheProfileFunctionsPutThem) {
  const WriteCase cases[] = {
      {"in place", "[a]\nk=1\nj=2\n", "A", "K", "9", "[a]\nk=9\nj=2\n"},
      {"in place keeps spacing of key", "[a]\n  k =1\n", "a", "k", "2", "[a]\n  k =2\n"},
      {"first duplicate replaced", "[a]\nk=1\nk=2\n", "a", "k", "3", "[a]\nk=3\nk=2\n"},
      {"appended before blank lines", "[a]\nk=1\n\n[b]\nx=1\n", "a", "j", "2",
       "[a]\nk=1\nj=2\n\n[b]\nx=1\n"},
      {"appended after last key line", "[a]\nk=1\n; about b\n[b]\n", "a", "j", "2",
       "[a]\nk=1\nj=2\n; about b\n[b]\n"},
      {"appended after header", "[a]\n\n[b]\n", "a", "k", "1", "[a]\nk=1\n\n[b]\n"},
      {"new section at end", "[a]\nk=1\n", "B", "x", "1", "[a]\nk=1\n[B]\nx=1\n"},
      {"file created", "", "main", "DirDAT_Text", "/maps", "[main]\nDirDAT_Text=/maps\n"},
      {"key before sections ignored", "k=1\n[a]\n", "a", "k", "2", "k=1\n[a]\nk=2\n"},
      {"line ends rewritten", "; top\r\n[a]\r\nnote\rk=1\r\n", "a", "k", "2",
       "; top\n[a]\nnote\nk=2\n"},
      {"line break in value", "[a]\n", "a", "k", "one\r\n[b]\nx=2", "[a]\nk=one  [b] x=2\n"},
  };
  for (const WriteCase& c : cases) {
    fs::remove(path_);
    if (!c.before.empty()) write(c.before);
    ASSERT_TRUE(writeProfileString(path_, c.section, c.key, c.value)) << c.name;
    EXPECT_EQ(read(), asWritten(c.after)) << c.name;
  }
}

TEST_F(ProfileFileTest, KeepsSectionsTogetherAcrossManySets) {
  ProfileFile profile;
  profile.set("Record1", "ID", "0x01");
  profile.set("AllRec", "RecCount", "1");
  profile.set("record1", "Type", "0");
  profile.set("Record1", "id", "0x02");
  profile.set("AllRec", "RecCount", "2");
  EXPECT_EQ(profile.get("RECORD1", "ID", ""), "0x02");
  EXPECT_EQ(profile.get("record1", "type", ""), "0");
  EXPECT_EQ(profile.get("allrec", "reccount", ""), "2");
  ASSERT_TRUE(profile.save(path_, nullptr));
  EXPECT_EQ(read(), asWritten("[Record1]\nID=0x02\nType=0\n[AllRec]\nRecCount=2\n"));
}

TEST_F(ProfileFileTest, ReadsBackWhatItWrites) {
  const std::string values[] = {"x=y", "  padded  ", "\"quoted\"", "", "\xC0\xFF", "a;b"};
  const std::string expected[] = {"x=y", "padded", "quoted", "", "\xC0\xFF", "a;b"};
  ProfileFile profile;
  for (std::size_t i = 0; i < std::size(values); ++i) {
    profile.set("s", "k" + std::to_string(i), values[i]);
  }
  ASSERT_TRUE(profile.save(path_, nullptr));
  ProfileFile again;
  ASSERT_TRUE(again.load(path_, nullptr));
  for (std::size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(again.get("S", "K" + std::to_string(i), "fallback"), expected[i]) << values[i];
  }
}

TEST_F(ProfileFileTest, MissingFileIsEmptyAndFolderIsAnError) {
  ProfileFile profile;
  std::string error;
  EXPECT_TRUE(profile.load(path_, &error));
  EXPECT_EQ(profile.get("a", "k", "none"), "none");
  EXPECT_EQ(readProfileString(path_, "a", "k", "none"), "none");

  EXPECT_FALSE(profile.load(dir_.string(), &error));
  EXPECT_NE(error.find(dir_.string()), std::string::npos) << error;
  EXPECT_FALSE(writeProfileString(dir_.string(), "a", "k", "v"));
}

TEST_F(ProfileFileTest, HugeFilesDevicesAndFifosAreRefusedNamingTheFile) {
  // A sparse file just above the bound costs no disk; one at the bound is read.
  const std::string big = (dir_ / "big.set").string();
  std::ofstream(big, std::ios::binary) << "[a]\nk=v\n";
  fs::resize_file(big, kMaxTextFileBytes);
  ProfileFile profile;
  std::string error;
  ASSERT_TRUE(profile.load(big, &error)) << error;
  EXPECT_EQ(profile.get("a", "k", ""), "v");
  fs::resize_file(big, kMaxTextFileBytes + 1);
#ifdef _WIN32
  const std::pair<std::string, std::string> cases[] = {
      {big, big + ": файл больше 64 МиБ"},
      {"NUL", "NUL: не обычный файл"},
  };
#else
  const std::string fifo = (dir_ / "fifo.set").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

  const std::pair<std::string, std::string> cases[] = {
      {big, big + ": файл больше 64 МиБ"},
      {"/dev/zero", "/dev/zero: не обычный файл"},
      {fifo, fifo + ": не обычный файл"},
  };
#endif
  for (const auto& [path, message] : cases) {
    error.clear();
    EXPECT_FALSE(profile.load(path, &error)) << path;
    EXPECT_EQ(error, message);
    EXPECT_EQ(profile.get("a", "k", "none"), "none");
  }
}

TEST_F(ProfileFileTest, LoadForgetsThePreviousFile) {
  write("[a]\nk=1\n");
  ProfileFile profile;
  ASSERT_TRUE(profile.load(path_, nullptr));
  fs::remove(path_);
  ASSERT_TRUE(profile.load(path_, nullptr));
  EXPECT_EQ(profile.get("a", "k", "none"), "none");
}

TEST_F(ProfileFileTest, FailedSaveLeavesNoTraceAndTheTargetAsItWas) {
  ProfileFile profile;
  profile.set("a", "k", "new");
  std::string error;

  const std::string noFolder = (dir_ / "missing" / "work.set").string();
  EXPECT_FALSE(profile.save(noFolder, &error));
  EXPECT_NE(error.find(noFolder), std::string::npos) << error;

  const fs::path folderTarget = dir_ / "taken.set";
  fs::create_directory(folderTarget);
  std::ofstream(folderTarget / "inside") << "kept";
  error.clear();
  EXPECT_FALSE(profile.save(folderTarget.string(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_directory(folderTarget));
  EXPECT_EQ(entries().size(), 1u);
}

#ifdef _WIN32
TEST_F(ProfileFileTest, ReadOnlyFileIsKept) {
  write("[a]\nk=old\n");
  ASSERT_TRUE(::SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  ProfileFile profile;
  ASSERT_TRUE(profile.load(path_, nullptr));
  profile.set("a", "k", "new");
  std::string error;
  EXPECT_FALSE(profile.save(path_, &error));
  EXPECT_EQ(error.rfind("Не удалось записать файл " + path_ + ": нет доступа (", 0), 0u) << error;
  EXPECT_EQ(read(), "[a]\nk=old\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"work.set"});

  ASSERT_TRUE(::SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(profile.save(path_, &error)) << error;
  EXPECT_EQ(read(), "[a]\r\nk=new\r\n");
}
#else
TEST_F(ProfileFileTest, FailedWriteKeepsTheOldContent) {
  write("[a]\nk=old\n");
  ProfileFile profile;
  ASSERT_TRUE(profile.load(path_, nullptr));
  profile.set("a", "k", std::string(1 << 20, 'x'));

  // A file size limit makes the write itself fail, whoever runs the test.
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  rlimit small = old;
  small.rlim_cur = 4096;
  const auto previous = ::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool saved = profile.save(path_, &error);
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, previous);

  EXPECT_FALSE(saved);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(read(), "[a]\nk=old\n");
  EXPECT_EQ(entries(), std::vector<std::string>{"work.set"});
}

TEST_F(ProfileFileTest, SaveKeepsTheFileMode) {
  write("[a]\nk=1\n");
  ASSERT_EQ(::chmod(path_.c_str(), 0640), 0);
  ASSERT_TRUE(writeProfileString(path_, "a", "k", "2"));
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}
#endif

}  // namespace
}  // namespace visual

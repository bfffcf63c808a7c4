// The platform layer of the text library, on the platform it was built for
// (the Windows build runs it under Wine).
#include "IbisParser/platform.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#if defined(_WIN32)
const char kSep = '\\';
#else
const char kSep = '/';
#endif

std::vector<std::string> List(const std::string &dir, int *result = nullptr) {
  char **names = nullptr;
  size_t count = 99;
  int r = PLAT_ListPackageFiles(dir.c_str(), &names, &count);
  if (result) *result = r;
  std::vector<std::string> v(names, names + count);
  if (count == 0) {
    EXPECT_EQ(names, nullptr);
  }
  PLAT_FreeNames(names, count);
  return v;
}

TEST(PlatOpen, ReadsRegularFilesUnderEitherSeparator) {
  testsupport::TempDir dir;
  dir.Write("sub/a.ibs", "[IBIS Ver] 5.0\n");
  for (char sep : {'/', '\\'}) {
    std::string path = dir.path() + sep + "sub" + sep + "a.ibs";
    FILE *f = PLAT_Open(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << path;
    char buf[32] = {};
    EXPECT_EQ(fread(buf, 1, sizeof buf - 1, f), 15u);
    EXPECT_STREQ(buf, "[IBIS Ver] 5.0\n");
    fclose(f);
  }
  std::string written = dir.path() + "\\sub\\b.pkg";
  FILE *w = PLAT_Open(written.c_str(), "wb");
  ASSERT_NE(w, nullptr);
  fclose(w);
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/sub/b.pkg"));
}

TEST(PlatOpen, RefusesWhatIsNoRegularFile) {
  testsupport::TempDir dir;
  dir.Write("sub/x.txt", "x");
  EXPECT_EQ(PLAT_Open((dir.path() + kSep + "sub").c_str(), "rb"), nullptr) << "a directory";
  EXPECT_EQ(PLAT_Open((dir.path() + kSep + "missing.ibs").c_str(), "rb"), nullptr);
#if defined(_WIN32)
  // Device names open as devices in every directory and with any extension.
  for (const char *device : {"NUL", "nul.ibs", "CON"})
    EXPECT_EQ(PLAT_Open((dir.path() + kSep + device).c_str(), "rb"), nullptr) << device;
#else
  for (const char *device : {"/dev/null", "/dev/zero"})
    EXPECT_EQ(PLAT_Open(device, "rb"), nullptr) << device;
  ASSERT_EQ(symlink("/dev/zero", (dir.path() + "/zero.ibs").c_str()), 0);
  EXPECT_EQ(PLAT_Open((dir.path() + "/zero.ibs").c_str(), "rb"), nullptr);
#endif
  EXPECT_EQ(PLAT_Open(nullptr, "rb"), nullptr);
  EXPECT_EQ(PLAT_Open((dir.path() + "/sub/x.txt").c_str(), nullptr), nullptr);
}

#if !defined(_WIN32)
// Opening a FIFO to read waits for a writer; the child that tries it is
// stopped after two seconds if it does.
TEST(PlatOpen, RefusesAFifoAtOnce) {
  testsupport::TempDir dir;
  const std::string fifo = dir.path() + "/hang.ibs";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EXIT(
      {
        alarm(2);
        _exit(PLAT_Open(fifo.c_str(), "rb") == nullptr ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
#endif

TEST(PlatListPackageFiles, ListsVisibleRegularPkgFilesSorted) {
  testsupport::TempDir dir;
  for (const char *name : {"a.pkg", "B.PKG", "e.Pkg", "c.pkgx", "d.txt", "pkg", ".hidden.pkg"})
    dir.Write(name, "[Define Package Model] P\n");
  std::filesystem::create_directory(dir.path() + "/sub.pkg");
  dir.Write("sub.pkg/inner.pkg", "");
#if defined(_WIN32)
  std::string sys = dir.Write("s.pkg", "");
  ASSERT_TRUE(SetFileAttributesA(sys.c_str(), FILE_ATTRIBUTE_SYSTEM));
  const std::vector<std::string> want{"a.pkg", "b.pkg", "e.pkg"};
#else
  const std::vector<std::string> want{"B.PKG", "a.pkg", "e.Pkg"};
#endif
  for (const std::string &d :
       {dir.path(), dir.path() + "/", dir.path() + "\\", dir.path() + kSep}) {
    int r = 0;
    EXPECT_EQ(List(d, &r), want) << d;
    EXPECT_EQ(r, 1);
  }
}

TEST(PlatListPackageFiles, EmptyOrUnreadableDirectoryHasNone) {
  testsupport::TempDir dir;
  dir.Write("a.ibs", "");
  int r = 0;
  EXPECT_TRUE(List(dir.path() + kSep, &r).empty());
  EXPECT_EQ(r, 1);
  EXPECT_TRUE(List(dir.path() + kSep + "missing" + kSep, &r).empty());
  EXPECT_EQ(r, 1);
}

TEST(PlatListPackageFiles, EmptyPrefixMeansTheCurrentDirectory) {
  testsupport::TempDir dir;
  dir.Write("here.pkg", "");
  std::filesystem::path old = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  std::vector<std::string> v = List("");
  std::filesystem::current_path(old);
  EXPECT_EQ(v, std::vector<std::string>{"here.pkg"});
}

} // namespace

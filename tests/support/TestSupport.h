// Helpers shared by the tests: temporary directories and captured output.
#ifndef VARNHOLT_TESTS_SUPPORT_TESTSUPPORT_H
#define VARNHOLT_TESTS_SUPPORT_TESTSUPPORT_H

#include <cstdio>
#include <string>

namespace testsupport {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir &) = delete;
  TempDir &operator=(const TempDir &) = delete;
  const std::string &path() const { return path_; }
  // Writes a file below the directory and returns its full path.
  std::string Write(const std::string &name, const std::string &contents) const;

private:
  std::string path_;
};

// A FILE* whose contents can be read back as a string.
class CapturedStream {
public:
  CapturedStream();
  ~CapturedStream();
  CapturedStream(const CapturedStream &) = delete;
  CapturedStream &operator=(const CapturedStream &) = delete;
  FILE *file() const { return file_; }
  // Everything written so far.
  std::string Text();

private:
  FILE *file_;
};

// Runs a shell command; returns its exit status and fills out with its stdout.
int RunCommand(const std::string &command, std::string &out);

std::string ReadFile(const std::string &path);

} // namespace testsupport

#endif

// Helpers shared by the tests: temporary directories and captured output.
#ifndef VARNHOLT_TESTS_SUPPORT_TESTSUPPORT_H
#define VARNHOLT_TESTS_SUPPORT_TESTSUPPORT_H

#include <cstddef>
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

// Runs a command through the platform's command interpreter; returns its
// exit status and fills out with its stdout. Written as for sh; on Windows
// words, '...' and "..." quotes and redirections carry over to cmd, and '/' in
// the program path becomes '\\' (no other shell syntax).
int RunCommand(const std::string &command, std::string &out);

// The whole file. On Windows it is read as text, so CR LF line ends come back
// as LF and what a program wrote with "\n" compares equal on every platform.
std::string ReadFile(const std::string &path);

// Path of a model library of this build: "Sarnet_x64" -> <build>/lib/Sarnet_x64.so
// (.dll on Windows).
std::string ModelLibrary(const std::string &name);

// Bytes the process has allocated from its heaps and not yet freed (the C
// library's heap; the sanitizer's allocator in a sanitizer build; every heap
// of the process on Windows). Compare two readings around work that should
// leave nothing behind.
size_t HeapInUse();

// Path of a program of this build, for RunCommand: "host/amihost" ->
// <build>/host/amihost (with .exe and backslashes on Windows).
std::string Program(const std::string &relative);

} // namespace testsupport

#endif

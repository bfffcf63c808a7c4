#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>
#if defined(_WIN32)
#include <windows.h>
#else
#include <malloc.h>
#include <sys/wait.h>
#endif
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator statistics (its header is not shipped with GCC).
extern "C" size_t __sanitizer_get_current_allocated_bytes(void);
#endif

namespace testsupport {

#if defined(_WIN32)
TempDir::TempDir() {
  // No mkdtemp: create_directory fails on an existing name, so a fresh one
  // is ours alone.
  std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device rd;
  std::mt19937_64 gen((static_cast<uint64_t>(rd()) << 32) ^ rd());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path p = base / ("varnholt-" + std::to_string(gen() % 1000000000u));
    std::error_code ec;
    if (std::filesystem::create_directory(p, ec)) {
      path_ = p.string();
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary directory");
}
#else
TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}
#endif

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string &name, const std::string &contents) const {
  std::filesystem::path p = std::filesystem::path(path_) / name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out << contents;
  return p.string();
}

CapturedStream::CapturedStream() : file_(std::tmpfile()) {
  if (!file_) throw std::runtime_error("tmpfile failed");
}

CapturedStream::~CapturedStream() { std::fclose(file_); }

std::string CapturedStream::Text() {
  std::fflush(file_);
  long end = std::ftell(file_);
  std::string s(static_cast<size_t>(end), '\0');
  std::rewind(file_);
  size_t n = std::fread(s.data(), 1, s.size(), file_);
  s.resize(n);
  std::fseek(file_, 0, SEEK_END);
  return s;
}

#if defined(_WIN32)
namespace {
// cmd knows neither single quotes nor '/' in a program path. Splits a
// sh-style command into words ('...' and "..." quoting, no backslash escapes:
// Windows paths are full of backslashes) and writes it again for cmd: the
// program with backslashes, every other word that needs it in double quotes,
// redirections as they are.
std::string ForCmd(const std::string &command) {
  std::vector<std::string> words;
  std::vector<bool> quoted;
  size_t i = 0, n = command.size();
  while (i < n) {
    while (i < n && (command[i] == ' ' || command[i] == '\t')) ++i;
    if (i >= n) break;
    std::string w;
    bool q = false;
    while (i < n && command[i] != ' ' && command[i] != '\t') {
      char c = command[i++];
      if (c == '\'' || c == '"') {
        q = true;
        while (i < n && command[i] != c) w += command[i++];
        if (i < n) ++i;
      } else {
        w += c;
      }
    }
    words.push_back(w);
    quoted.push_back(q);
  }
  std::string line;
  for (size_t k = 0; k < words.size(); ++k) {
    std::string w = words[k];
    if (k == 0)
      for (char &c : w)
        if (c == '/') c = '\\';
    bool special = w.empty() || w.find_first_of(" \t\"&|<>^()") != std::string::npos;
    if (k > 0 && !quoted[k] && special && w.find_first_not_of("0123456789<>&|") == std::string::npos)
      special = false; // a redirection: >, 2>&1, <, >>, |
    if (!line.empty()) line += ' ';
    if (special || quoted[k]) {
      // The C runtime's rule: backslashes count as escapes only before '"'.
      line += '"';
      size_t slashes = 0;
      for (char c : w) {
        if (c == '\\') {
          ++slashes;
          continue;
        }
        line.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
        slashes = 0;
        line += c;
      }
      line.append(2 * slashes, '\\');
      line += '"';
    } else {
      line += w;
    }
  }
  // cmd /c drops the first and the last quote of the line when it starts
  // with one: give it a pair of its own.
  return '"' + line + '"';
}
} // namespace
#endif

int RunCommand(const std::string &command, std::string &out) {
  out.clear();
#if defined(_WIN32)
  FILE *p = _popen(ForCmd(command).c_str(), "r");
#else
  FILE *p = popen(command.c_str(), "r");
#endif
  if (!p) return -1;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
#if defined(_WIN32)
  return _pclose(p);
#else
  int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

std::string ReadFile(const std::string &path) {
#if defined(_WIN32)
  std::ifstream in(path);
#else
  std::ifstream in(path, std::ios::binary);
#endif
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

size_t HeapInUse() {
#if defined(_WIN32)
  // The C runtime's heap, the loader's and any other heap of the process.
  std::vector<HANDLE> heaps(64);
  DWORD n = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (n > heaps.size()) {
    heaps.resize(n);
    n = GetProcessHeaps(n, heaps.data());
  }
  size_t busy = 0;
  for (DWORD i = 0; i < n && i < heaps.size(); ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY e{};
    while (HeapWalk(heaps[i], &e))
      if (e.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += e.cbData;
    HeapUnlock(heaps[i]);
  }
  return busy;
#elif defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  struct mallinfo2 m = mallinfo2();
  return m.uordblks + m.hblkhd;
#endif
}

std::string ModelLibrary(const std::string &name) {
  return std::string(VARNHOLT_LIB_DIR) + "/" + name + VARNHOLT_LIB_SUFFIX;
}

std::string Program(const std::string &relative) {
  std::string p = std::string(VARNHOLT_BIN_DIR) + "/" + relative + VARNHOLT_EXE_SUFFIX;
#if defined(_WIN32)
  // cmd takes a leading '/' for a switch.
  for (char &c : p)
    if (c == '/') c = '\\';
#endif
  return p;
}

} // namespace testsupport

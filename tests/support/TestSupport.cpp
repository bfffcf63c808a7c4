#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>

namespace testsupport {

TempDir::TempDir() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "varnholt-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

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

int RunCommand(const std::string &command, std::string &out) {
  out.clear();
  FILE *p = popen(command.c_str(), "r");
  if (!p) return -1;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

} // namespace testsupport

// The allocation counter of the tests, the parser allocator on it, and what
// a checker run short of memory may print.
#include "AllocFail.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>
#include <sstream>
#include <vector>

#include "IbisParser/amip.h"

namespace {
int64_t s_failIn = 0; // requests until the one that fails; 0: none
int64_t s_requests = 0;
int64_t s_resizes = 0;

void *ParserAlloc(void *, size_t size) { return AllocFailsNow() ? nullptr : calloc(1, size); }
void *ParserResize(void *, void *block, size_t size) {
  return AllocFailsNow(true) ? nullptr : realloc(block, size);
}

// A row's format as a pattern of the texts it prints: its arguments match
// anything, its own end of line is the printer's.
std::string Pattern(const char *format) {
  std::string out;
  for (const char *p = format; *p; ++p) {
    if (*p == '%' && p[1] != '\0') {
      while (*++p && !strchr("sducxf", *p)) {
      }
      out += ".*";
      if (!*p) break;
    } else if (*p == '\n' && p[1] == '\0') {
      break;
    } else {
      if (strchr(".^$|()[]{}*+?\\", *p)) out += '\\';
      out += *p;
    }
  }
  return out;
}

// The texts of the rows that say memory ran out (the message system's own
// list), as one pattern.
std::regex MemoryTexts() {
  std::string all;
  for (int i = 0; i < MSG_tableSize; ++i)
    if (MSG_SaysMemoryFailed(MSG_table[i].source, MSG_table[i].code))
      all += (all.empty() ? "(" : "|(") + Pattern(MSG_table[i].format) + ")";
  return std::regex("^(" + all + ")$");
}

// A message's severity and line prefix.
const std::regex kPrefix(R"(^(PROGRAM BUG|ERROR|WARNING|CAUTION|NOTE)( \(line +\d+\))? - ?)");

// The output's lines, a message that the printer wrapped below its prefix
// joined into one.
std::vector<std::string> Lines(const std::string &out) {
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    if (!lines.empty() && line.rfind("    ", 0) == 0 && lines.back().size() > 2 &&
        lines.back().compare(lines.back().size() - 2, 2, " -") == 0)
      lines.back() += " " + line.substr(4);
    else
      lines.push_back(line);
  }
  return lines;
}

// A line that reports nothing of the file: blank, a banner of a file read,
// the summary.
bool Neutral(const std::string &line) {
  static const std::regex neutral(
      R"(^(|Checking .* for IBIS \d\.\d Compatibility\.\.\.|(Bugs    |Errors  |Warnings|Cautions): \d+|File (Passed|Failed))$)");
  return std::regex_match(line, neutral);
}
} // namespace

void FailAlloc(int64_t n) { s_failIn = n; }
int64_t FailAllocPending() { return s_failIn; }
int64_t AllocRequests() { return s_requests; }
int64_t AllocResizes() { return s_resizes; }

bool AllocFailsNow(bool resize) {
  ++s_requests;
  if (resize) ++s_resizes;
  return s_failIn > 0 && --s_failIn == 0;
}

const AMIP_ALLOC kCountedParserAlloc = {ParserAlloc, ParserResize, nullptr};

bool IsMemoryFailureMessage(const std::string &message) {
  static const std::regex memory = MemoryTexts();
  std::smatch prefix;
  if (!std::regex_search(message, prefix, kPrefix)) return false;
  return std::regex_match(message.substr(static_cast<size_t>(prefix.length())), memory);
}

std::string UnexplainedMessages(const std::string &clean, const std::string &failed) {
  const std::vector<std::string> before = Lines(clean), after = Lines(failed);
  std::string unexplained;
  size_t i = 0;
  // Up to the memory failure the pass is the clean one.
  for (; i < after.size() && !IsMemoryFailureMessage(after[i]); ++i)
    if (i >= before.size() || after[i] != before[i]) unexplained += after[i] + "\n";
  // From there on, what the pass read is not the file: only memory may
  // speak, and the passes it runs on other files (a board's references),
  // which report those files as the clean pass did.
  std::map<std::string, int> nested;
  for (size_t j = i; j < before.size(); ++j) ++nested[before[j]];
  for (; i < after.size(); ++i)
    if (!IsMemoryFailureMessage(after[i]) && !Neutral(after[i]) && nested[after[i]]-- <= 0)
      unexplained += after[i] + "\n";
  return unexplained;
}

void ExpectFailedCheckPass(const std::string &clean, const std::string &failed, int64_t request) {
  bool said = false;
  for (const std::string &m : Lines(failed)) said = said || IsMemoryFailureMessage(m);
  EXPECT_TRUE(said) << "request " << request << " failed unreported:\n" << failed;
  const std::string end = "\nFile Failed\n";
  EXPECT_TRUE(failed.size() >= end.size() && failed.compare(failed.size() - end.size(), end.size(), end) == 0)
      << "request " << request << ":\n" << failed;
  EXPECT_EQ(UnexplainedMessages(clean, failed), "") << "request " << request << ":\n" << failed;
}

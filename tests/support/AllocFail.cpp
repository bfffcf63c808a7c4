// The allocation counter of the tests, the parser allocator on it, and what
// a checker run short of memory may print.
#include "AllocFail.h"

#include <cstdlib>
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

// The texts that say memory ran out, and nothing else. Each is printed where
// an allocation failed and only there (or also in the clean run, which the
// comparison then answers for), so a failed request explains it:
const char *const kMemoryFailureTexts[] = {
    // the allocation wrappers' own report of the failed request;
    R"(Memory allocation failed\.  This request \d+\.)",
    R"(Memory reallocation failed\.  This request \d+\.)",
    // a section's report that it got no memory, with its source line;
    R"(Unable to Allocate Memory: IbisParser/\w+ \d+)",
    R"(Could not allocate memory in file IbisParser/\w+ at line \d+)",
    // a line or name that could not be split into words: splitting fails
    // for want of memory only;
    R"(Unable to Parse .*: IbisParser/\w+ \d+)",
    R"(Unable to parse .* arguments)",
    R"(Unable to Save (Model|External Circuit|Model Selector|Sub Model|Test Data|Test Load) Name)",
    R"(Unable to Set Model Name in Driver Schedule)",
    // an I-V table sum that got no memory;
    R"(Out of Memory)",
    // an AMI parameter parse that got no memory (every other fault of the
    // parse has a message of its own);
    R"(Internal error while parsing AMI Parameter file)",
    // a package-file listing or scan that got no memory;
    R"(tmpnam\(\) failed\.)",
    // a record, entry or table that could not be allocated, by the section
    // that wanted it: each text names the allocation, and each is printed
    // only where the allocation failed.
    R"(Unable to create new (CMPNT|PKGMDL|MSEL|MSEL Model|EBDMDL|EBDPATH|APKG|EMI Component|Driver Schedule Model)\.)",
    R"(Unable to create new (NODE LIST|Circuit Call \(malloc\)|File Header structure)\.)",
    R"(Unable to create (IBIS|pin entry array)\.)",
    R"(Unable to allocate (new PIN|PIN|Pin_Numbers array|Pin_Sections array|Pin_Name array|MTX|FILEREF|PINREF)\.)",
    R"(Unable to allocate (new SSWCH|new Series Switch Group name|new Pin EMI)\.)",
    R"(Unable to allocate a Package)",
    R"(Unable to alloc (new PINMPG|DIFPIN|new Series_Pin_Mapping)\.)",
    R"(Unable to add (Series_Switch_Groups|new matrix row|row data|text)\.)",
    R"(Unable to add the line of (Pin|Pin EMI) data\.?)",
    R"(Unable to add data for (\[Pin EMI\] keyword|\w+ keyword)\.)",
    R"(Cannot allocate (path element|path element pin|path element node|reference designator))",
    R"(Could not allocate path element)",
};

// What a record, name, value or row that memory could not hold leaves
// behind. The pass goes on without it, as the checker's rules say, so the
// lines that belonged to it are orphans and the checks that look for it
// find it missing; these texts claim no more than that absence:
const char *const kLossTexts[] = {
    // lines whose record could not be made;
    R"(Orphan .*)",
    R"(orphan \w+ found for .*)",
    R"(Detected (the start of )?an orphan .*)",
    R"(\[End_External_Model\] with no \[External Model\])",
    R"(Row keyword in wrong location\.)",
    // a record, table, value or name looked for and missing;
    R"(.*(not found|Not Defined|not defined|not previously declared|not referenced|is not connected to).*)",
    R"(.*([Rr]equired|REQUIRED|is mandatory|must be (specified|defined)|must have \w+ set|should be specified).*)",
    R"(.*requires \w+ to be specified.*)",
    R"(Unable to find .*)",
    R"(Could not find definition for .*)",
    R"(.*, no (node/pin|port) <[^>]*> in .*)",
    R"(.*No \[External Circuit\] for \[Circuit Call\] .*)",
    R"(No Pin Numbers names found for .*)",
    R"(.* not specified for .*)",
    R"(.*(NO|No) Typ Corner defined.*)",
    R"(.* has no models defined)",
    R"(No preceding \[On\] or \[Off\] keyword found\. Assuming \[On\])",
    R"(.* has no description of the buffer's (high|low) state( DC)?)",
    R"( +(DC )?drive characteristics \(no \[(Pullup|Pulldown)\] table\)\.  This warning)",
    R"( +can be silenced by using an open (drain|source) Model_type or by)",
    R"( +adding a \[(Pullup|Pulldown)\] table\.)",
    R"( No more warnings will be generated for un-referenced models)",
    R"(.*: No series data found)",
    R"(Empty .* (found|defined for .*))",
    // rows, pins, ports or connections that could not be kept, counted.
    R"(Expected \d+ Rows, found \d+ .*)",
    R"(Expected Pin <.*> at matrix row index \d+, found at matrix row index \d+\.)",
    R"(Expected (\d+|at least one) columns? of Row data .*)",
    R"(Number of Pins <\d+> not the same as count of Pin Numbers names found <\d+> .*)",
    R"(Require at least 2 (Voltage|Data) Points .*)",
    R"(.*(Floating Node|Floating Pin|Unused Node|Floating Internal Node) .*)",
    R"(.* has suspiciously few PORTS \(0\))",
};

// False messages that a memory failure still brings about, each a fault of
// its own left for later: a value or table whose memory ran out is not
// told apart from one the file left out or got wrong, and a check judges
// what is left as if it were the file.
const char *const kNotYetMended[] = {
    // Model_type lost with its line: the model checked as of no type;
    R"(.* should not be specified for model type No Type)",
    R"(Keyword is valid only for Series(_switch| and Series_switch) models)",
    R"(.* is not of type Series_Switch\.)",
    R"(\[External Model\] .* type <No Type> contains reserved port .* ILLEGAL)",
    // rows of an I-V table or waveform lost: the rest judged as the table;
    R"(.*VI curves cannot drive through Vmeas=.*)",
    R"(.*: Typical value never becomes zero)",
    R"( +has (TYP|MIN|MAX) column DC endpoints of .*)",
    R"( +with \[R_fixture\]=.*)",
    R"(.*Waveform \[\d+\] and its Composite Current don't have identical time points)",
    // C_series lost: the [Off] block judged without it;
    R"(.*Rc_series cannot be specified if C_series is not specified)",
    // a Pin Mapping header or row lost: the header judged short, the bus
    // judged by the rows left;
    R"(When 6 columns are specified, the headings gnd_clamp_ref, power_clamp_ref and ext_ref must be used\.)",
    R"(.*entry is usually connected to (POWER|GND)\.)",
    // a Series Switch Group lost: its continuation read as a new group;
    R"(Unknown sub parameter '.*')",
    R"(Duplicate Series switch Group name '.*')",
    R"(Series switch Group name cannot be 'On' or 'Off')",
    // a [Pin Domain EMI] or Reference_supply line lost: the next line read
    // in its place;
    R"(Invalid percentage '.*'\. Invalid Number)",
    R"(Invalid Reference_supply Line)",
    // a matrix row lost: the rows after it placed one up;
    R"(This Row Column Index defines an entry in the lower matrix triangle\.)",
    // the file header lost with [IBIS Ver]: keywords judged by version 2.1;
    R"(Illegal keyword for a '\.(ebd|pkg|ibs)' file\.)",
    // ports, nodes or calls of external circuits lost: the connectivity
    // judged on what is left.
    R"(Illegal Analog Port \w+, not in port list)",
    R"(MODEL <.*> Corner <.*> line: \d+ has A2D not matching TYP A2D: .*)",
    R"(.*Illegal connection, 2 analog reference/driver ports .*)",
    R"( +\[CCALL\] Line \d+ Node <.*>, Conflicting port = .*)",
    R"(.* has a digital driver but no obvious digital receiver)",
    R"( +This indicates connection to a AMS port that 'may' be digital )",
    R"(CMPT <.*>, \[Circuit Call\] at \(line +\d+\) refererences illegal pin: <.*>)",
    R"(Too Many Signal Pins .*)",
};

// A message's text without its severity and line prefix.
const std::regex kPrefix(R"(^(PROGRAM BUG|ERROR|WARNING|CAUTION|NOTE)( \(line +\d+\))? - )");

template <size_t N> std::regex AnyOf(const char *const (&texts)[N]) {
  std::string all;
  for (const char *text : texts) all += std::string(all.empty() ? "" : "|") + "(" + text + ")";
  return std::regex("^(" + all + ")$");
}

// The text of a message after its prefix; the whole line when it has none.
std::string TextOf(const std::string &message) {
  std::smatch prefix;
  return std::regex_search(message, prefix, kPrefix) ? message.substr(prefix.length()) : message;
}

// 1 when failed is clean with one name left out: the record's name could
// not be kept, and the message is the clean run's about that record.
bool NameLeftOut(const std::string &clean, const std::string &failed) {
  if (clean.size() <= failed.size()) return false;
  size_t head = 0;
  while (head < failed.size() && clean[head] == failed[head]) ++head;
  size_t tail = 0;
  while (tail < failed.size() - head && clean[clean.size() - 1 - tail] == failed[failed.size() - 1 - tail]) ++tail;
  if (head + tail < failed.size()) return false;
  const std::string name = clean.substr(head, clean.size() - failed.size());
  return std::regex_match(name, std::regex(R"([A-Za-z0-9_]+)"));
}

// The messages of an output, one an entry: a text that the printer put on
// its own line below the prefix is joined to it; blank lines and the summary
// counts are left out.
std::vector<std::string> Messages(const std::string &out) {
  static const std::regex wrapped(R"(^(PROGRAM BUG|ERROR|WARNING|CAUTION|NOTE)( \(line +\d+\))? -$)");
  static const std::regex counts(R"(^((Bugs    |Errors  |Warnings|Cautions): \d+|File (Passed|Failed))$)");
  std::vector<std::string> lines, messages;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string m = lines[i];
    if (std::regex_match(m, wrapped) && i + 1 < lines.size() && lines[i + 1].rfind("    ", 0) == 0)
      m += " " + lines[++i].substr(4);
    if (!m.empty() && !std::regex_match(m, counts))
      messages.push_back(m);
  }
  return messages;
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
  static const std::regex memory = AnyOf(kMemoryFailureTexts);
  return std::regex_search(message, kPrefix) && std::regex_match(TextOf(message), memory);
}

std::string UnexplainedMessages(const std::string &clean, const std::string &failed) {
  static const std::regex loss = AnyOf(kLossTexts);
  static const std::regex notYet = AnyOf(kNotYetMended);
  const std::vector<std::string> before = Messages(clean);
  std::map<std::string, int> answered;
  for (const std::string &m : before) ++answered[m];
  std::string unexplained;
  for (const std::string &m : Messages(failed)) {
    if (answered[m] > 0) {
      --answered[m];
      continue;
    }
    const std::string text = TextOf(m);
    if (IsMemoryFailureMessage(m) || std::regex_match(text, loss) || std::regex_match(text, notYet)) continue;
    bool renamed = false;
    for (const std::string &c : before) renamed = renamed || NameLeftOut(c, m);
    if (!renamed) unexplained += m + "\n";
  }
  return unexplained;
}

void ExpectFailedCheckPass(const std::string &clean, const std::string &failed, int64_t request) {
  bool said = false;
  for (const std::string &m : Messages(failed)) said = said || IsMemoryFailureMessage(m);
  EXPECT_TRUE(said) << "request " << request << " failed unreported:\n" << failed;
  const std::string end = "\nFile Failed\n";
  EXPECT_TRUE(failed.size() >= end.size() && failed.compare(failed.size() - end.size(), end.size(), end) == 0)
      << "request " << request << ":\n" << failed;
  EXPECT_EQ(UnexplainedMessages(clean, failed), "") << "request " << request << ":\n" << failed;
}

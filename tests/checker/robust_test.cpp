// Any bytes go in: huge lines, binary junk, files that are not there or not
// regular, without crash, hang or memory that grows with a line.
#include <gmock/gmock.h>
#include <sys/resource.h>

#include <fstream>

#include "CheckerTest.h"
#include "IbisParser/hdr.h"

namespace {

using RobustTest = CheckerTest;

long MaxRssKb() {
    struct rusage ru {};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// Writes `head`, then `mb` megabytes of 'x' without a line feed, then `tail`.
std::string WriteHuge(const std::string &path, const std::string &head, int mb,
                      const std::string &tail) {
    std::ofstream out(path, std::ios::binary);
    out << head;
    std::string chunk(1 << 20, 'x');
    for (int i = 0; i < mb; ++i)
        out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    out << tail;
    return path;
}

TEST_F(RobustTest, HundredMegabyteLineTakesNoMemory) {
    std::string path = WriteHuge(dir_.path() + "/big.pkg", Header("5.0", "big.pkg") + "[Notes] ",
                                 100, "\nafter\n[End]\n");
    long before = MaxRssKb();
    passed_ = CHECKPASS_CheckFile(path.c_str(), FILE_PKG, 0);
    EXPECT_LT(MaxRssKb() - before, 32 * 1024);
    EXPECT_EQ(Output(), "\nChecking big.pkg for IBIS 5.0 Compatibility...\n\n"
                        "ERROR (line    4) - Exceeds 120 chararacters.\n"
                        "\nErrors  : 1\n\nFile Failed\n");

    path = WriteHuge(dir_.path() + "/big.ami", "(m ", 100, " )\n(n 1)\n");
    before = MaxRssKb();
    CHECKPASS_CheckFile(path.c_str(), FILE_AMI, 0);
    EXPECT_LT(MaxRssKb() - before, 32 * 1024);
    EXPECT_EQ(Output().rfind("\nChecking big.ami for IBIS 5.0 Compatibility...\n\n", 0), 0u);
}

TEST_F(RobustTest, BinaryJunkAndOddBytes) {
    std::string junk;
    unsigned state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        junk.push_back(static_cast<char>(state >> 16));
    }
    // Whatever the bytes, each check ends in a whole summary that agrees
    // with the result, and no input reaches a program-bug line.
    const std::string texts[] = {
        "[IBIS Ver] 5.0\n" + junk,
        "[IBIS Ver] 2.1\r\n[End]\r\n\x1a",
        std::string("[IBIS Ver] 4.2\n[Comment Char] \0_char\n[\0]\n", 38),
        junk,
    };
    for (int kind = FILE_IBS; kind <= FILE_AMI; ++kind) {
        static const char *const ext[] = {"", "j.ibs", "j.pkg", "j.ebd", "j.ami"};
        for (size_t t = 0; t < sizeof texts / sizeof texts[0]; ++t) {
            SCOPED_TRACE(std::string(ext[kind]) + " text " + std::to_string(t));
            const std::string out = Check(ext[kind], texts[t], kind);
            EXPECT_THAT(out, ::testing::EndsWith(passed_ ? "\nFile Passed\n" : "\nFile Failed\n"));
            EXPECT_NE(out.find("Errors  : "), std::string::npos);
            EXPECT_EQ(out.find("PROGRAM BUG"), std::string::npos);
            EXPECT_EQ(out.find("assertion failed"), std::string::npos);
        }
    }
}

TEST_F(RobustTest, NamesThatDoNotOpen) {
    EXPECT_NE(Check("", "", FILE_IBS).find("File Failed"), std::string::npos);  // the directory itself
    // Files that are not there: each fails its own pass.
    const struct { const char *name; int kind; const char *out; } rows[] = {
        {"missing.ebd", FILE_EBD, "ERROR - Unable To Open File 'missing.ebd'\n"
                                  "ERROR - Could not determine Version for file missing.ebd\n"
                                  "\nErrors  : 2\n\nFile Failed\n"},
        {"gone.ami", FILE_AMI, "\nChecking gone.ami for IBIS 5.0 Compatibility...\n\n"
                               "ERROR - Unable To Open File 'gone.ami'\n\nErrors  : 1\n\nFile Failed\n"},
    };
    for (const auto &r : rows) {
        passed_ = CHECKPASS_CheckFile((dir_.path() + "/" + r.name).c_str(), r.kind, 0);
        EXPECT_EQ(Output(), r.out) << r.name;
        EXPECT_EQ(passed_, 0) << r.name;
    }
}

TEST_F(RobustTest, JoinedTextsStopGrowingAtTheirLimit) {
    // Lines of a million characters joined by blanks, the last one cut to
    // fill the cap exactly; one character more passes it.
    auto write = [&](size_t extra) {
        std::string path = dir_.path() + "/wide.ami";
        std::ofstream out(path, std::ios::binary);
        const size_t line = 1000 * 1000, full = PARSE_MAX_AMI_TEXT / (line + 1);
        for (size_t i = 0; i < full; ++i)
            out << std::string(line, 'v') << "\n";
        out << std::string(PARSE_MAX_AMI_TEXT - full * (line + 1) + extra, 'w') << "\n";
        return path;
    };
    CHECKPASS_BeginFile();
    ASSERT_EQ(PARSE_ParseFile(write(0).c_str(), FILE_AMI), 1);
    char *text = PARSE_TakeAmiText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(strlen(text), PARSE_MAX_AMI_TEXT);
    CMN_Free(text);
    const std::string banner = "\nChecking wide.ami for IBIS 5.0 Compatibility...\n\n";
    EXPECT_EQ(Output(), banner);
    EXPECT_EQ(PARSE_ParseFile(write(1).c_str(), FILE_AMI), 0);
    EXPECT_EQ(PARSE_TakeAmiText(), nullptr);
    EXPECT_EQ(Output(), banner + "ERROR (line   68) - AMI parameter text longer than 67108864 characters; "
                                 "the parameters are not checked.\n");
    CHECKPASS_EndFile();
    Output();

    char *notes = nullptr;
    HDR_TEXT_SIZE size{};
    ASSERT_EQ(HDR_AppendText(&notes, &size, "first"), 1);
    ASSERT_EQ(CMN_Realloc(&notes, HDR_MAX_TEXT), 1);
    memset(notes, 'n', HDR_MAX_TEXT - 3);
    notes[HDR_MAX_TEXT - 3] = '\0';
    size = HDR_TEXT_SIZE{HDR_MAX_TEXT - 3, HDR_MAX_TEXT, 0};  // "\nab" would pass the limit
    EXPECT_EQ(HDR_AppendText(&notes, &size, "ab"), 0);
    EXPECT_EQ(HDR_AppendText(&notes, &size, "cd"), 0);
    EXPECT_EQ(size.length, HDR_MAX_TEXT - 3);
    CMN_Free(notes);
    EXPECT_EQ(Output(), "ERROR (line   68) - Unable to add text.\n");  // once
}

}  // namespace

// Whole small files through the check pass, compared by the messages they
// give: everything between the banner and the summary.
#pragma once

#include <string>

#include "CheckerTest.h"
#include "TableDriver.h"

// Two models that pass their own checks: an Output and an Input.
inline constexpr char kPassingModels[] =
    "[Model] out\nModel_type Output\nC_comp 1p 1p 1p\nVmeas = 1.5\n[Voltage Range] 3.3 3.0 3.6\n"
    "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n"
    "[Model] in\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n"
    "[Voltage Range] 3.3 3.0 3.6\n";

// One row: a file body (after the header lines) and its messages.
struct FileCase {
    const char *name;
    const char *version;
    std::string body;
    std::string expected;
};

class SectionFileTest : public CheckerTest {
protected:
    // The output of a pass over the named file without its banner and its
    // summary.
    static std::string Messages(const std::string &name, const std::string &version,
                                std::string out) {
        const std::string banner = "\nChecking " + name + " for IBIS " + version +
                                   " Compatibility...\n\n";
        if (out.compare(0, banner.size(), banner) == 0)
            out.erase(0, banner.size());
        // The summary: an empty line when anything counted was said, the
        // bug count when there are bugs, then the error count and the rest.
        size_t summary = out.rfind("Errors  : ");
        if (summary != std::string::npos) {
            const size_t bugs = out.rfind("Bugs    : ", summary);
            if (bugs != std::string::npos && out.find('\n', bugs) + 1 == summary)
                summary = bugs;
            if (summary >= 2 && out[summary - 1] == '\n' && out[summary - 2] == '\n')
                --summary;
            out.erase(summary);
        }
        return out;
    }

    // Checks a file of the given kind holding the header, the body and
    // [End]; returns its messages. Files without [Component] give 3901,
    // which is left out here.
    std::string Run(const std::string &version, const std::string &body, int kind = FILE_IBS) {
        static const char *const kExt[] = {"", "t.ibs", "t.pkg", "t.ebd"};
        const std::string name = kExt[kind];
        std::string out =
            Messages(name, version, Check(name, Header(version, name) + body + "[End]\n", kind));
        const std::string noComponent = "ERROR - Required keyword 'Component' not found.\n";
        const size_t at = out.find(noComponent);
        if (kind == FILE_IBS && body.find("[Component]") == std::string::npos &&
            at != std::string::npos)
            out.erase(at, noComponent.size());
        return out;
    }
};

// The cases of a table: each file gives exactly its expected messages.
class FileCaseTest : public SectionFileTest, public ::testing::WithParamInterface<FileCase> {
protected:
    void ExpectMessages(int kind = FILE_IBS) {
        const FileCase &c = GetParam();
        EXPECT_EQ(Run(c.version, c.body, kind), c.expected);
    }
};

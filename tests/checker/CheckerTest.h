// Fixture of the checker tests: captured message stream, fresh reader state,
// and the plug board restored after each test.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/sinfo.h"
#include "tests/support/TestSupport.h"

class CheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        memcpy(savedSections_, PARSE_sections, sizeof savedSections_);
        memcpy(savedLists_, IBIS_listOps, sizeof savedLists_);
        savedChecks_ = IBIS_checks;
        MSG_SetOutput(out_.file());
        MSG_ResetCounts();
        PARSE_SetIbisVersion(0);
        PARSE_Reset();
        CMN_ResetFileState();
    }

    void TearDown() override {
        IBIS *root = nullptr;
        while (IBIS_GetCurrent(&root))
            IBIS_Destroy(root);
        memcpy(PARSE_sections, savedSections_, sizeof savedSections_);
        memcpy(IBIS_listOps, savedLists_, sizeof savedLists_);
        IBIS_checks = savedChecks_;
        MSG_SetOutput(nullptr);
        MSG_ResetCounts();
        PARSE_SetIbisVersion(0);
        CMN_ResetFileState();
    }

    // Text written to the message stream since the last call, with the temp
    // directory cut from paths.
    std::string Output() {
        std::string all = out_.Text();
        std::string text = all.substr(taken_);
        taken_ = all.size();
        std::string prefix = dir_.path() + "/";
        for (size_t at; (at = text.find(prefix)) != std::string::npos;)
            text.erase(at, prefix.size());
        return text;
    }

    std::string Write(const std::string &name, const std::string &contents) {
        return dir_.Write(name, contents);
    }

    // Names in the directory that are no regular file: a FIFO without a
    // writer (opening it to read waits for one), a directory, a device.
    void WriteFifo(const std::string &name) {
        ASSERT_EQ(mkfifo((dir_.path() + "/" + name).c_str(), 0600), 0) << name;
    }
    void WriteDirectory(const std::string &name) { Write(name + "/x", ""); }
    void WriteDevice(const std::string &name) {
        ASSERT_EQ(symlink("/dev/zero", (dir_.path() + "/" + name).c_str()), 0) << name;
    }

    // One whole check pass; returns everything it printed.
    std::string Check(const std::string &name, const std::string &contents, int kind) {
        std::string path = Write(name, contents);
        passed_ = CHECKPASS_CheckFile(path.c_str(), kind, 0);
        return Output();
    }

    int passed_ = 0;
    testsupport::TempDir dir_;

private:
    testsupport::CapturedStream out_;
    size_t taken_ = 0;
    PARSE_HANDLERS savedSections_[SECTION_COUNT];
    IBIS_LIST_OPS savedLists_[IBIS_LIST_COUNT];
    IBIS_CHECKS savedChecks_;
};

// Ends the test program when a check waits on a file instead of refusing it.
class HangGuard {
public:
    HangGuard() { alarm(10); }
    ~HangGuard() { alarm(0); }
    HangGuard(const HangGuard &) = delete;
    HangGuard &operator=(const HangGuard &) = delete;
};

// A header every .ibs test file can start with (version line separate).
inline std::string Header(const std::string &version, const std::string &name) {
    return "[IBIS Ver] " + version + "\n[File Name] " + name + "\n[File Rev] 1.0\n";
}

// The two warnings of a driver with neither [Pullup] nor [Pulldown], which
// every whole-file check of such a model ends up with.
inline std::string NoDriveTables(const std::string &model) {
    return "WARNING - [Model] " + model +
           " has no description of the buffer's high state\n"
           "         DC drive characteristics (no [Pullup] table).  This warning\n"
           "         can be silenced by using an open drain Model_type or by\n"
           "         adding a [Pullup] table.\n"
           "WARNING - [Model] " + model +
           " has no description of the buffer's low state DC\n"
           "         drive characteristics (no [Pulldown] table).  This warning\n"
           "         can be silenced by using an open source Model_type or by\n"
           "         adding a [Pulldown] table.\n";
}

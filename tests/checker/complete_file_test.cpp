// The complete file that the checker benchmark times must check clean, or the
// benchmark would time the reporting of faults instead of a good file's path.
// As checks are added, this catches a generated file that one of them flags.
#include <string>

#include <sys/stat.h>

#include "CheckerTest.h"
#include "bench/complete_ibis.h"

namespace {

using CompleteFileTest = CheckerTest;

TEST_F(CompleteFileTest, GeneratedFilesDrawNoMessage) {
    benchfiles::CompleteShape shape;
    shape.pinsPerComponent = 300;
    shape.modelsPerComponent = 4;
    shape.waveformRows = 40;
    const benchfiles::CompleteFiles files = benchfiles::GenerateComplete(dir_.path(), "small", 1, shape);
    EXPECT_EQ(files.components, 1);
    const std::string one = benchfiles::CheckOutput(files.ibs, FILE_IBS, &passed_);
    EXPECT_EQ(benchfiles::FirstComplaint(one), "");
    EXPECT_EQ(passed_, 1);

    // Several components share the package file; each package model is found.
    // (A directory of its own: the package search would read both .pkg files.)
    const std::string sub = dir_.path() + "/more";
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    const benchfiles::CompleteFiles more = benchfiles::GenerateComplete(sub, "more", 3 * files.bytes, shape);
    EXPECT_GE(more.components, 3);
    const std::string all = benchfiles::CheckOutput(more.ibs, FILE_IBS, &passed_);
    EXPECT_EQ(benchfiles::FirstComplaint(all), "");
    EXPECT_NE(all.find("more.pkg"), std::string::npos);
    EXPECT_EQ(passed_, 1);
}

}  // namespace

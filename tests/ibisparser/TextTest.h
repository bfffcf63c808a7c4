// Fixture of the text-library tests: a captured message stream and fresh
// counts, settings and file state around each test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "tests/support/TestSupport.h"

class TextTest : public ::testing::Test {
protected:
  void SetUp() override {
    MSG_SetOutput(out_.file());
    Defaults();
  }

  void TearDown() override {
    Defaults();
    MSG_SetOutput(nullptr);
  }

  // Text written to the message stream since the last call.
  std::string Output() {
    std::string all = out_.Text();
    std::string text = all.substr(taken_);
    taken_ = all.size();
    return text;
  }

  int32_t Errors() {
    int32_t e = 0;
    MSG_GetCounts(nullptr, &e, nullptr);
    return e;
  }
  int32_t Warnings() {
    int32_t w = 0;
    MSG_GetCounts(nullptr, nullptr, &w);
    return w;
  }
  int32_t Bugs() {
    int32_t b = 0;
    MSG_GetCounts(&b, nullptr, nullptr);
    return b;
  }

private:
  static void Defaults() {
    MSG_ResetCounts();
    MSG_SetPlainStyle(1);
    MSG_SuppressBugs(0);
    MSG_SuppressErrors(0);
    MSG_SuppressWarnings(0);
    MSG_SuppressCautions(1);
    MSG_SetLineNumber(0);
    CMN_SuppressCharCheck(0);
    CMN_ResetFileState();
  }

  testsupport::CapturedStream out_;
  size_t taken_ = 0;
};

// Helpers of the package-model tests: a .pkg file of one model around the
// text under test, and its messages without banner, summary or wrapping.
#pragma once

#include <string>

#include "CheckerTest.h"
#include "IbisParser/pkgmdl.h"

class PackageTest : public CheckerTest {
protected:
    // Header and model keywords up to [Model Data] for pins named 1..pins:
    // the text that follows starts on line 11 + pins.
    static std::string Preamble(int pins) {
        std::string s = "[IBIS Ver] 3.2\n[File Name] t.pkg\n[File Rev] 1\n"
                        "[Define Package Model] P\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
                        "[Number Of Pins] " + std::to_string(pins) + "\n[Pin Numbers]\n";
        for (int i = 1; i <= pins; ++i)
            s += std::to_string(i) + "\n";
        return s + "[Model Data]\n";
    }

    // A sparse capacitance matrix with the diagonal only.
    static std::string Diagonal(int pins) {
        std::string s = "[Capacitance Matrix] Sparse_matrix\n";
        for (int i = 1; i <= pins; ++i)
            s += "[Row] " + std::to_string(i) + "\n" + std::to_string(i) + " 1p\n";
        return s;
    }

    // Reads a file and keeps its root for inspection until the next call or
    // the end of the test; returns the messages of the read.
    std::string Parse(const std::string &name, const std::string &text, int kind = FILE_PKG) {
        Close();
        CHECKPASS_BeginFile();
        open_ = true;
        std::string path = Write(name, text);
        PARSE_ParseFile(path.c_str(), kind);
        return Messages(Output());
    }

    // The messages of one model file whose [Model Data] holds `body` (a
    // capacitance matrix is added when the body has none).
    std::string Model(int pins, const std::string &body) {
        std::string tail = body.find("[Capacitance Matrix]") == std::string::npos ? Diagonal(pins) : "";
        return Parse("t.pkg", Preamble(pins) + body + tail +
                                  "[End Model Data]\n[End Package Model]\n[End]\n");
    }

    // The package models of the kept root, newest first.
    PKGMDL *Models() {
        IBIS *root = nullptr;
        PKGMDL *list = nullptr;
        if (IBIS_GetCurrent(&root))
            IBIS_GetPackageModels(root, &list);
        return list;
    }

    void Close() {
        if (open_) {
            CHECKPASS_EndFile();
            Output();
            open_ = false;
        }
    }

    void TearDown() override {
        Close();
        CheckerTest::TearDown();
    }

    // Output without the banners and with wrapped messages on one line.
    static std::string Messages(std::string text) {
        for (size_t at; (at = text.find("\nChecking ")) != std::string::npos;) {
            size_t end = text.find("...\n\n", at);
            text.erase(at, end + 5 - at);
        }
        for (size_t at; (at = text.find(" -\n    ")) != std::string::npos;)
            text.replace(at, 7, " - ");
        return text;
    }

private:
    bool open_ = false;
};

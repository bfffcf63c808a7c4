// Files for the checker benchmarks: a scratch directory, file sizes, a check
// pass with its messages captured, and a generator of a complete .ibs file
// with the .pkg file its components name. The generated pair checks clean:
// no error, warning or note, so a benchmark on it measures the path that a
// good vendor file takes. The tests include it too, to keep it clean.
#pragma once

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace benchfiles {

inline size_t FileSize(const std::string &path) {
    FILE *f = fopen(path.c_str(), "rb");
    if (f == nullptr)
        abort();
    fseek(f, 0, SEEK_END);
    size_t size = static_cast<size_t>(ftell(f));
    fclose(f);
    return size;
}

// The scratch directories made and not yet removed, each removed with what
// it holds when the program ends: generated files run to tens of megabytes
// each.
struct ScratchDirs {
    std::vector<std::string> made;
    ~ScratchDirs() {
        std::error_code ignored;
        for (const std::string &dir : made)
            std::filesystem::remove_all(dir, ignored);
    }
};

inline ScratchDirs &Scratch() {
    static ScratchDirs dirs;
    return dirs;
}

// A new directory under /tmp whose name begins with prefix.
inline std::string ScratchDir(const char *prefix) {
    std::string tmpl = std::string("/tmp/") + prefix + "-XXXXXX";
    if (mkdtemp(&tmpl[0]) == nullptr)
        abort();
    Scratch().made.push_back(tmpl);
    return tmpl;
}

// Removes the scratch directory that holds path, with all it holds, before
// the program ends; a path in no directory of ScratchDir is left alone.
inline void RemoveScratchDirOf(const std::string &path) {
    const std::string dir = path.substr(0, path.rfind('/'));
    std::vector<std::string> &made = Scratch().made;
    for (size_t i = 0; i < made.size(); ++i) {
        if (made[i] == dir) {
            std::error_code ignored;
            std::filesystem::remove_all(dir, ignored);
            made.erase(made.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }
}

// Pin names of at most five characters, as [Pin] allows. Without the letters
// n and o no name is a reserved word (NA, NC, GND, POWER).
inline std::string PinName(int i) {
    static const char kDigits[] = "0123456789abcdefghijklmpqrstuvwxyz";
    std::string name;
    do {
        name.insert(name.begin(), kDigits[i % 34]);
        i /= 34;
    } while (i > 0);
    return name;
}

// One check pass over path from a fresh state; returns what it printed.
inline std::string CheckOutput(const std::string &path, int kind, int *passed = nullptr) {
    FILE *out = tmpfile();
    if (out == nullptr)
        abort();
    FILE *saved = MSG_GetOutput();
    MSG_SetOutput(out);
    PARSE_SetIbisVersion(0);
    CMN_ResetFileState();
    int ok = CHECKPASS_CheckFile(path.c_str(), kind, 0);
    MSG_SetOutput(saved);
    if (passed != nullptr)
        *passed = ok;
    std::string text;
    rewind(out);
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, out)) > 0;)
        text.append(chunk, n);
    fclose(out);
    return text;
}

// The first line of a check's output that is an error, a warning, a note or
// a program bug; empty when there is none.
inline std::string FirstComplaint(const std::string &output) {
    for (const char *word : {"ERROR", "WARNING", "NOTE", "BUG"}) {
        size_t at = output.find(word);
        if (at != std::string::npos) {
            size_t begin = output.rfind('\n', at);
            begin = begin == std::string::npos ? 0 : begin + 1;
            return output.substr(begin, output.find('\n', output.find('\n', at) + 1) - begin);
        }
    }
    return std::string();
}

struct CompleteShape {
    int pinsPerComponent = 4000;
    int modelsPerComponent = 16;  // half on single-ended pins, half on diff pins
    int waveformRows = 250;
};

struct CompleteFiles {
    std::string ibs;
    std::string pkg;
    size_t bytes = 0;  // both files
    int components = 0;
    int models = 0;
};

namespace detail {

// Appends printf-style text to a buffer.
inline void Add(std::string &out, const char *format, ...) {
    char line[256];
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line, sizeof line, format, args);
    va_end(args);
    out.append(line, static_cast<size_t>(n < 0 ? 0 : n));
}

// The three corners of a driver: supply, pulldown and pullup resistance.
struct Corner {
    double vcc, rpd, rpu;
};
const Corner kCorners[3] = {{3.3, 20, 25}, {3.0, 25, 30}, {3.6, 16, 20}};  // typ, min, max

// A ground clamp that conducts below -0.5 V through `ohms`; a power clamp
// mirrors it against its supply.
inline double Clamp(double v, double ohms) { return v < -0.5 ? (v + 0.5) / ohms : 0.0; }

inline void Model(std::string &out, const std::string &name, int variant, int waveformRows) {
    // Each model a little different, so no two tables are alike.
    const double k = 1.0 + 0.001 * (variant % 97);
    Add(out, "[Model] %s\nModel_type I/O\nPolarity Non-Inverting\nEnable Active-High\n", name.c_str());
    Add(out, "Vinl = 0.8\nVinh = 2.0\nVmeas = 1.5\nVref = 0\nRref = 50\nCref = 0\n");
    Add(out, "C_comp %.4gp %.4gp %.4gp\n", 1.5 * k, 1.2 * k, 1.8 * k);
    Add(out, "[Voltage Range] 3.3 3.0 3.6\n");
    // Drivers: -Vcc to 2 Vcc in 100 rows; clamps: -Vcc to Vcc.
    for (int table = 0; table < 4; ++table) {
        static const char *const kNames[] = {"[Pulldown]", "[Pullup]", "[GND Clamp]", "[POWER Clamp]"};
        Add(out, "%s\n", kNames[table]);
        const int rows = table < 2 ? 100 : 67;
        for (int r = 0; r < rows; ++r) {
            const double v = -3.3 + 0.1 * r;
            double i[3];
            for (int c = 0; c < 3; ++c) {
                const Corner &corner = kCorners[c];
                const double clampOhms = 5.0 * (c == 1 ? 1.2 : c == 2 ? 0.8 : 1.0);
                i[c] = table == 0   ? v / (corner.rpd * k)
                       : table == 1 ? -v / (corner.rpu * k)
                       : table == 2 ? Clamp(v, clampOhms)
                                    : -Clamp(v, clampOhms);
            }
            Add(out, "%6.2f %.6gm %.6gm %.6gm\n", v + 0.0, 1e3 * i[0], 1e3 * i[1], 1e3 * i[2]);
        }
    }
    Add(out, "[Ramp]\ndV/dt_r %.4g/0.5n %.4g/0.6n %.4g/0.4n\n", 1.32 * k, 1.2 * k, 1.44 * k);
    Add(out, "dV/dt_f %.4g/0.45n %.4g/0.55n %.4g/0.35n\nR_load = 50\n", 1.32 * k, 1.2 * k, 1.44 * k);
    // Four waveforms, rising and falling into 50 Ohm to ground and to the
    // supply; their ends are where the I-V tables drive that load.
    for (int falling = 0; falling < 2; ++falling) {
        for (int toSupply = 0; toSupply < 2; ++toSupply) {
            Add(out, "%s\nR_fixture = 50\n", falling ? "[Falling Waveform]" : "[Rising Waveform]");
            if (toSupply)
                Add(out, "V_fixture = 3.3\nV_fixture_min = 3.0\nV_fixture_max = 3.6\n");
            else
                Add(out, "V_fixture = 0\nV_fixture_min = 0\nV_fixture_max = 0\n");
            double low[3], high[3];
            for (int c = 0; c < 3; ++c) {
                const Corner &corner = kCorners[c];
                const double rpd = corner.rpd * k, rpu = corner.rpu * k;
                low[c] = toSupply ? corner.vcc * rpd / (rpd + 50) : 0.0;
                high[c] = toSupply ? corner.vcc : corner.vcc * 50 / (50 + rpu);
            }
            for (int r = 0; r < waveformRows; ++r) {
                // A raised-cosine edge over the first 60% of the table.
                const double t = static_cast<double>(r) / (waveformRows - 1);
                const double s = t >= 0.6 ? 1.0 : 0.5 - 0.5 * cos(M_PI * t / 0.6);
                const double up = falling ? 1.0 - s : s;
                double v[3];
                for (int c = 0; c < 3; ++c)
                    v[c] = low[c] + (high[c] - low[c]) * up;
                Add(out, "%dp %.5f %.5f %.5f\n", 10 * r, v[0], v[1], v[2]);
            }
        }
    }
}

// Supplies every tenth pin from 0 (POWER) and from 5 (GND), on eight buses;
// pins 1 and 2 of each ten a differential pair; the rest single-ended.
inline const char *PinModelKind(int i) {
    switch (i % 10) {
    case 0: return "POWER";
    case 5: return "GND";
    case 1:
    case 2: return "D";
    default: return "S";
    }
}

inline void Component(std::string &ibs, std::string &pkg, int c, const CompleteShape &shape) {
    const int pins = shape.pinsPerComponent;
    const int half = shape.modelsPerComponent / 2;
    Add(ibs, "[Component] C%d\n[Manufacturer] Generated\n[Package]\n", c);
    Add(ibs, "R_pkg 0.2 0.1 0.3\nL_pkg 2n 1n 3n\nC_pkg 0.5p 0.3p 0.7p\n[Package Model] PK%d\n", c);
    Add(ibs, "[Pin] signal_name model_name R_pin L_pin C_pin\n");
    for (int i = 0; i < pins; ++i) {
        const std::string pin = PinName(i);
        const char *kind = PinModelKind(i);
        if (kind[1] != '\0') {
            Add(ibs, "%-6s %-12s %s\n", pin.c_str(), (std::string(kind) + std::to_string(i)).c_str(), kind);
            continue;
        }
        const int model = (i / 10 + (kind[0] == 'D' ? 0 : i % 10)) % half;
        Add(ibs, "%-6s sig%-9d M%dx%s%d %.3g %.3gn %.3gp\n", pin.c_str(), i, c, kind, model,
            0.05 + 0.001 * (i % 100), 1.0 + 0.01 * (i % 100), 0.3 + 0.005 * (i % 100));
    }
    Add(ibs, "[Pin Mapping] pulldown_ref pullup_ref gnd_clamp_ref power_clamp_ref\n");
    for (int i = 0; i < pins; ++i) {
        const int bus = (i / 10) % 8;
        const std::string pin = PinName(i);
        switch (i % 10) {
        case 0: Add(ibs, "%-6s NC VDD%d NC NC\n", pin.c_str(), bus); break;
        case 5: Add(ibs, "%-6s GND%d NC NC NC\n", pin.c_str(), bus); break;
        default: Add(ibs, "%-6s GND%d VDD%d GND%d VDD%d\n", pin.c_str(), bus, bus, bus, bus); break;
        }
    }
    Add(ibs, "[Diff Pin] inv_pin vdiff tdelay_typ tdelay_min tdelay_max\n");
    for (int i = 1; i + 1 < pins; i += 10)
        Add(ibs, "%-6s %-6s 0.1 1p 0.5p 2p\n", PinName(i).c_str(), PinName(i + 1).c_str());

    // Its package model: lumped banded R and L matrices, a sparse C matrix.
    Add(pkg, "[Define Package Model] PK%d\n[Manufacturer] Generated\n[OEM] Generated\n", c);
    Add(pkg, "[Description] %d-pin package\n[Number Of Pins] %d\n[Pin Numbers]\n", pins, pins);
    for (int i = 0; i < pins; ++i)
        Add(pkg, "%s\n", PinName(i).c_str());
    Add(pkg, "[Model Data]\n");
    for (int m = 0; m < 2; ++m) {
        const int band = m == 0 ? 1 : 3;
        Add(pkg, "[%s Matrix] Banded_matrix\n[Bandwidth] %d\n", m == 0 ? "Resistance" : "Inductance", band);
        for (int i = 0; i < pins; ++i) {
            Add(pkg, "[Row] %s\n", PinName(i).c_str());
            const int cols = band + 1 < pins - i ? band + 1 : pins - i;
            for (int k = 0; k < cols; ++k) {
                if (m == 0)
                    Add(pkg, k == 0 ? "%.3g" : " %.3g", k == 0 ? 0.1 + 0.001 * (i % 50) : 0.01);
                else
                    Add(pkg, k == 0 ? "%.3gn" : " %.3gn", k == 0 ? 2.0 + 0.01 * (i % 50) : 0.3 / k);
            }
            Add(pkg, "\n");
        }
    }
    Add(pkg, "[Capacitance Matrix] Sparse_matrix\n");
    for (int i = 0; i < pins; ++i) {
        const std::string pin = PinName(i);
        Add(pkg, "[Row] %s\n%s %.3gp\n", pin.c_str(), pin.c_str(), 0.5 + 0.001 * (i % 50));
        if (i + 1 < pins)
            Add(pkg, "%s -0.05p\n", PinName(i + 1).c_str());
    }
    Add(pkg, "[End Model Data]\n[End Package Model]\n");

    for (int m = 0; m < half; ++m) {
        Model(ibs, "M" + std::to_string(c) + "xS" + std::to_string(m), c * 31 + m, shape.waveformRows);
        Model(ibs, "M" + std::to_string(c) + "xD" + std::to_string(m), c * 31 + half + m, shape.waveformRows);
    }
}

inline void Write(const std::string &path, const std::string &text) {
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr || fwrite(text.data(), 1, text.size(), f) != text.size() || fclose(f) != 0)
        abort();
}

}  // namespace detail

// Writes name.ibs and name.pkg into dir, with as many components (each with
// its package model and its models) as make both files together at least
// `bytes` long.
inline CompleteFiles GenerateComplete(const std::string &dir, const std::string &name, size_t bytes,
                                      const CompleteShape &shape = CompleteShape()) {
    using detail::Add;
    CompleteFiles files;
    files.ibs = dir + "/" + name + ".ibs";
    files.pkg = dir + "/" + name + ".pkg";
    static const char kHeader[] =
        "[File Rev] 1.0\n[Date] 9 December 2026\n[Source] Generated for the checker benchmark.\n"
        "[Notes] Components of many pins with pin mapping and differential pins, I/O models\n"
        "        with full I-V tables and waveforms, package models with matrices.\n"
        "[Disclaimer] Generated data, not a real device.\n[Copyright] None.\n";
    std::string ibs, pkg;
    Add(ibs, "[IBIS Ver] 5.0\n[File Name] %s.ibs\n", name.c_str());
    ibs += kHeader;
    Add(pkg, "[IBIS Ver] 5.0\n[File Name] %s.pkg\n", name.c_str());
    pkg += kHeader;
    do {
        detail::Component(ibs, pkg, files.components++, shape);
    } while (ibs.size() + pkg.size() < bytes);
    files.models = files.components * (shape.modelsPerComponent / 2 * 2);
    ibs += "[End]\n";
    pkg += "[End]\n";
    detail::Write(files.ibs, ibs);
    detail::Write(files.pkg, pkg);
    files.bytes = ibs.size() + pkg.size();
    return files;
}

}  // namespace benchfiles

// Drives the whole check pass on arbitrary file contents. The first byte
// picks the file kind (.ibs, .pkg, .ebd, .ami); the rest is the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

// Each process writes its inputs into a directory of its own (mkdtemp), so
// that parallel jobs and workers never read each other's files; it goes
// when the process ends.
std::string g_dir;
FILE *g_sink = nullptr;

void RemoveDir() {
    for (const char *ext : {".ibs", ".pkg", ".ebd", ".ami"})
        remove((g_dir + "/f" + ext).c_str());
    rmdir(g_dir.c_str());
}

void Setup() {
    char tmpl[] = "/tmp/checkpass-fuzz-XXXXXX";
    if (mkdtemp(tmpl) == nullptr)
        abort();
    g_dir = tmpl;
    atexit(RemoveDir);
    g_sink = fopen("/dev/null", "w");
    if (g_sink == nullptr)
        abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (g_sink == nullptr)
        Setup();
    if (size == 0)
        return 0;
    static const char *const kExt[] = {".ibs", ".pkg", ".ebd", ".ami"};
    int kind = data[0] % 4 + 1;
    std::string path = g_dir + "/f" + kExt[kind - 1];
    FILE *f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        return 0;
    fwrite(data + 1, 1, size - 1, f);
    fclose(f);

    FILE *saved = MSG_GetOutput();
    MSG_SetOutput(g_sink);
    PARSE_SetIbisVersion(0);
    CMN_ResetFileState();
    CHECKPASS_CheckFile(path.c_str(), kind, 0);
    MSG_SetOutput(saved);
    remove(path.c_str());
    // The counts are the pass's own. No input may lead to a program-bug
    // message: one is a finding like a crash.
    int32_t bugs = 0;
    MSG_GetCounts(&bugs, nullptr, nullptr);
    if (bugs != 0)
        abort();
    return 0;
}

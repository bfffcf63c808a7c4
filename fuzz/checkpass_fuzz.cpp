// Drives the whole check pass on arbitrary file contents. The first byte
// picks the file kind (.ibs, .pkg, .ebd, .ami); the rest is the file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

std::string g_dir;
FILE *g_sink = nullptr;

void Setup() {
    char tmpl[] = "/tmp/checkpass-fuzz-XXXXXX";
    if (mkdtemp(tmpl) == nullptr)
        abort();
    g_dir = tmpl;
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
    return 0;
}

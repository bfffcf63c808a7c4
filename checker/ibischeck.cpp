// Command-line checker: runs the check pass on every file named, the file
// kind taken from the extension. Exits 1 when any file failed, 2 on a usage
// error or when the report could not be written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#if !defined(_WIN32)
#include <fcntl.h>
#include <unistd.h>
#endif

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"

namespace {

// .ibs 1, .pkg 2, .ebd 3, .ami 4 (any case); anything else is checked as an
// .ibs file, whose extension check then reports it.
int KindOf(const char *path) {
    const char *dot = strrchr(path, '.');
    const char *sep = strrchr(path, '/');
    const char *bsl = strrchr(path, '\\');
    if (dot == nullptr || (sep != nullptr && sep > dot) || (bsl != nullptr && bsl > dot))
        return FILE_IBS;
    static const char *const kExt[] = {".ibs", ".pkg", ".ebd", ".ami"};
    for (int k = 0; k < 4; ++k)
        if (CMN_StrEqualNoCase(dot, kExt[k]))
            return k + 1;
    return FILE_IBS;
}

int WriteError(const char *program, int error) {
    if (error != 0)
        fprintf(stderr, "%s: write error: %s\n", program, strerror(error));
    else
        fprintf(stderr, "%s: write error\n", program);
    return 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: %s file...\n", argv[0]);
        return 2;
    }
#if !defined(_WIN32)
    // Without a standard output the first file opened would take its place.
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1)
        return WriteError(argv[0], errno);
#endif
    int failed = 0;
    for (int i = 1; i < argc; ++i) {
        // Each name on the command line stands on its own, not in the
        // directory of the previous one.
        CMN_ResetFileState();
        if (!CHECKPASS_CheckFile(argv[i], KindOf(argv[i]), 0))
            failed = 1;
    }
    // A report lost to a full disk or a closed stream is no pass: a write
    // that failed on the way left the error flag, the close writes the rest.
    const bool lost = ferror(stdout) != 0;
    errno = 0;
    if (fclose(stdout) != 0 || lost)
        return WriteError(argv[0], errno);
    return failed;
}

// Command-line checker: runs the check pass on every file named, the file
// kind taken from the extension; -h prints the usage. Exits 1 when any file
// failed, 2 on a usage error or when the report could not be written.
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

void Usage(FILE *to, const char *program) {
    fprintf(to,
            "usage: %s [-h] [--] file...\n"
            "Checks each IBIS (.ibs), package (.pkg), board (.ebd) or AMI parameter (.ami)\n"
            "file and writes the report to the standard output.\n"
            "  -h, --help  print this text and exit\n"
            "  --          end of the options: every later argument names a file\n"
            "Exit status: 0 every file passed, 1 a file failed, 2 a usage error or a\n"
            "report that could not be written.\n",
            program);
}

int WriteError(const char *program, int error) {
    if (error != 0)
        fprintf(stderr, "%s: write error: %s\n", program, strerror(error));
    else
        fprintf(stderr, "%s: write error\n", program);
    return 2;
}

// Flushes and closes the standard output: 2 after a message when what was
// written did not all arrive, else status.
int Finish(const char *program, int status) {
    // A report lost to a full disk or a closed stream is no pass: a write
    // that failed on the way left the error flag, the close writes the rest.
    const bool lost = ferror(stdout) != 0;
    errno = 0;
    if (fclose(stdout) != 0 || lost)
        return WriteError(program, errno);
    return status;
}

}  // namespace

int main(int argc, char **argv) {
    const char *program = argc > 0 ? argv[0] : "ibischeck";
    // Options come before "--"; they are all looked at before any file is
    // checked. A lone "-" is refused too: files are read by name only.
    int files = 0;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (optionsEnd || a[0] != '-') {
            ++files;
            continue;
        }
        if (strcmp(a, "--") == 0) {
            optionsEnd = true;
            continue;
        }
        if (strcmp(a, "-h") == 0 || strcmp(a, "--help") == 0) {
            Usage(stdout, program);
            return Finish(program, 0);
        }
        fprintf(stderr, "%s: unknown option '%s'\n", program, a);
        Usage(stderr, program);
        return 2;
    }
    if (files == 0) {
        Usage(stderr, program);
        return 2;
    }
#if !defined(_WIN32)
    // Without a standard output the first file opened would take its place.
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1)
        return WriteError(program, errno);
#endif
    int failed = 0;
    optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        if (!optionsEnd && strcmp(argv[i], "--") == 0) {
            optionsEnd = true;
            continue;
        }
        // Each name on the command line stands on its own, not in the
        // directory of the previous one.
        CMN_ResetFileState();
        if (!CHECKPASS_CheckFile(argv[i], KindOf(argv[i]), 0))
            failed = 1;
    }
    return Finish(program, failed);
}

/*
** The few file-system details that differ between platforms.  Names may
** use '/' or '\\' as directory separator on every platform.
*/
#ifndef IBISPARSER_PLATFORM_H
#define IBISPARSER_PLATFORM_H

#include <cstdio>

/* 1 for '/' and '\\'. */
int PLAT_IsDirSeparator(int c);
/* 1 when path starts at a root ("/x", "\\x", "C:..."). */
int PLAT_IsAbsolutePath(const char *path);
/*
** fopen with the platform's separator; mode as for fopen.  For reading,
** only regular files are opened: a directory, a device or a FIFO is not
** found, at once, and is never opened where the platform can tell it
** before (a FIFO would block, a device may act on being opened).
*/
FILE *PLAT_Open(const char *path, const char *mode);
/*
** The package files directly in directory dir (a prefix that ends in a
** separator, as the file opener remembers it; "" for the current
** directory): regular files whose name ends in ".pkg" in any case and that
** are neither hidden nor system files.  Names carry no directory and come
** sorted; on Windows in lower case, as the command interpreter lists them,
** elsewhere as stored, since a case-sensitive file system finds only that
** spelling.  *names receives an array of *count names, all from the text
** library's allocation wrappers (PLAT_FreeNames releases it), null when
** there are none; a directory that cannot be read has none.  Returns 0
** only when memory ran out, after the memory-failure message.
*/
int PLAT_ListPackageFiles(const char *dir, char ***names, size_t *count);
void PLAT_FreeNames(char **names, size_t count);
/*
** strtod in the "C" locale, whatever locale the host process has set: a
** simulator running under a decimal-comma locale must still read "2.5".
*/
double PLAT_StrToD(const char *text, char **end);

#endif /* IBISPARSER_PLATFORM_H */

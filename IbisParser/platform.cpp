/*
** Platform layer, a POSIX and a Windows side.  Windows takes both
** separators natively and needs no translation.
*/
#include "IbisParser/platform.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

int PLAT_IsDirSeparator(int c) { return c == '/' || c == '\\'; }

int PLAT_IsAbsolutePath(const char *path) {
  if (!path || !path[0]) return 0;
  if (PLAT_IsDirSeparator((unsigned char)path[0])) return 1;
  return isalpha((unsigned char)path[0]) && path[1] == ':';
}

void PLAT_FreeNames(char **names, size_t count) {
  if (!names) return;
  for (size_t i = 0; i < count; i++) CMN_Free(names[i]);
  CMN_Free(names);
}

namespace {

/* A growing array of names, for the listing sides below. */
struct NameList {
  char **names;
  size_t count, capacity;
};

/* 0 after the memory-failure message of the wrappers. */
int AddName(NameList &l, const char *name, int lower) {
  if (!CMN_Grow(&l.names, &l.capacity, l.count + 1, 16)) return 0;
  size_t n = strlen(name);
  char *copy = nullptr;
  if (!CMN_Alloc(&copy, n + 1)) return 0;
  for (size_t i = 0; i < n; i++)
    copy[i] = lower ? (char)tolower((unsigned char)name[i]) : name[i];
  l.names[l.count++] = copy;
  return 1;
}

/*
** The directory as a prefix ending in sep, into buf of size n; 0 when it
** does not fit, a directory that cannot be listed.
*/
int DirPrefix(const char *dir, char sep, char *buf, size_t n) {
  size_t len = dir ? strlen(dir) : 0;
  if (len + 2 > n) return 0;
  for (size_t i = 0; i < len; i++) buf[i] = PLAT_IsDirSeparator((unsigned char)dir[i]) ? sep : dir[i];
  if (len > 0 && buf[len - 1] != sep && !(sep == '\\' && buf[len - 1] == ':')) buf[len++] = sep;
  buf[len] = 0;
  return 1;
}

/*
** The platform's own allocation failed while listing: reported as the
** wrappers report theirs, though the size it asked for is not known.
*/
int OutOfMemory() {
  MSG_ErrorFrom(MSGSRC_CMN, 1906, 0u);
  return 0;
}

int HasPkgExtension(const char *name) {
  size_t n = strlen(name);
  if (n < 5) return 0; /* at least one character before ".pkg" */
  const char *e = name + n - 4;
  return e[0] == '.' && tolower((unsigned char)e[1]) == 'p' &&
         tolower((unsigned char)e[2]) == 'k' && tolower((unsigned char)e[3]) == 'g';
}

int CompareNames(const void *a, const void *b) {
  return strcmp(*(char *const *)a, *(char *const *)b);
}

int FinishList(NameList &l, int ok, char ***names, size_t *count) {
  if (!ok) {
    PLAT_FreeNames(l.names, l.count);
    return 0;
  }
  if (l.count > 1) qsort(l.names, l.count, sizeof *l.names, CompareNames);
  *names = l.names;
  *count = l.count;
  return 1;
}

} // namespace

#if !defined(_WIN32)

#include <dirent.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

/*
** A name opened to read comes from the input.  Opening a FIFO blocks until
** a writer comes and opening a device may act on it, so the kind is tested
** first; the open does not block, and the kind is tested again on what was
** opened in case the name was swapped in between.
*/
FILE *PLAT_Open(const char *path, const char *mode) {
  if (!path || !mode) return nullptr;
  char p[4097]; /* PATH_MAX of the common POSIX systems, plus NUL */
  size_t n = strlen(path);
  if (n >= sizeof p) return nullptr;
  for (size_t i = 0; i <= n; i++) p[i] = path[i] == '\\' ? '/' : path[i];
  if (mode[0] != 'r') return fopen(p, mode);
  struct stat st;
  if (stat(p, &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  int access = strchr(mode, '+') ? O_RDWR : O_RDONLY;
  int fd = open(p, access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  int flags = -1;
  FILE *f = nullptr;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (flags = fcntl(fd, F_GETFL)) != -1 &&
      fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != -1)
    f = fdopen(fd, mode);
  if (!f) close(fd);
  return f;
}

int PLAT_ListPackageFiles(const char *dir, char ***names, size_t *count) {
  *names = nullptr;
  *count = 0;
  NameList l = {nullptr, 0, 0};
  char d[4097];
  if (!DirPrefix(dir, '/', d, sizeof d)) return 1;
  errno = 0;
  DIR *h = opendir(d[0] ? d : ".");
  if (!h) return errno == ENOMEM ? OutOfMemory() : 1;
  /* Entries are looked at relative to the open directory: no path is built. */
  const int fd = dirfd(h);
  int ok = 1;
  for (;;) {
    errno = 0;
    struct dirent *e = readdir(h);
    if (!e) {
      /* Another fault ends the listing with what it found. */
      if (errno == ENOMEM) ok = OutOfMemory();
      break;
    }
    /* A leading '.' is what hides a file here. */
    if (e->d_name[0] == '.' || !HasPkgExtension(e->d_name)) continue;
    struct stat st;
    if (fstatat(fd, e->d_name, &st, 0) != 0) {
      if (errno == ENOMEM) {
        ok = OutOfMemory();
        break;
      }
      continue;
    }
    if (!S_ISREG(st.st_mode)) continue;
    if (!AddName(l, e->d_name, 0)) {
      ok = 0;
      break;
    }
  }
  closedir(h);
  return FinishList(l, ok, names, count);
}

double PLAT_StrToD(const char *text, char **end) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", (locale_t)0);
  return c ? strtod_l(text, end, c) : strtod(text, end);
}

#else /* _WIN32 */

#include <atomic>
#include <locale.h>

namespace {
/*
** The "C" numeric locale, made at the first number read and freed as the
** library unloads.  Not a function-local static: its guard would set up
** thread state of the statically linked C++ runtime, and the locale would
** stay behind, at every load and unload of a model library.
*/
struct NumericLocale {
  std::atomic<_locale_t> locale{nullptr};
  ~NumericLocale() {
    if (_locale_t l = locale.exchange(nullptr)) _free_locale(l);
  }
  _locale_t Get() {
    _locale_t l = locale.load(std::memory_order_acquire);
    if (l) return l;
    _locale_t made = _create_locale(LC_NUMERIC, "C");
    if (!made) return nullptr;
    if (locale.compare_exchange_strong(l, made, std::memory_order_acq_rel)) return made;
    _free_locale(made); /* another thread was first */
    return l;
  }
} numericLocale;
} // namespace

double PLAT_StrToD(const char *text, char **end) {
  _locale_t c = numericLocale.Get();
  return c ? _strtod_l(text, end, c) : strtod(text, end);
}

#include <sys/stat.h>
#include <windows.h>

FILE *PLAT_Open(const char *path, const char *mode) {
  if (!path || !mode) return nullptr;
  FILE *f = fopen(path, mode);
  if (f && mode[0] == 'r') {
    /* Device names (CON, NUL, COM1, also with an extension) open as
    ** character devices, never as files. */
    struct _stat64 st;
    if (_fstat64(_fileno(f), &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) {
      fclose(f);
      f = nullptr;
    }
  }
  return f;
}

int PLAT_ListPackageFiles(const char *dir, char ***names, size_t *count) {
  *names = nullptr;
  *count = 0;
  NameList l = {nullptr, 0, 0};
  char pattern[4097];
  if (!DirPrefix(dir, '\\', pattern, sizeof pattern - 5)) return 1;
  strcat(pattern, "*.pkg");
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern, &fd);
  if (h == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_NOT_ENOUGH_MEMORY ? OutOfMemory() : 1;
  int ok = 1;
  do {
    const DWORD skip = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                       FILE_ATTRIBUTE_DEVICE;
    /* "*.pkg" also matches "x.pkgx" through its short name: check the
    ** long one. */
    if ((fd.dwFileAttributes & skip) || !HasPkgExtension(fd.cFileName)) continue;
    if (!AddName(l, fd.cFileName, 1)) {
      ok = 0;
      break;
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  return FinishList(l, ok, names, count);
}

#endif

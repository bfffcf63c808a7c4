// Entry point of a model DLL. The libraries start no threads and keep no
// per-thread state, so thread attach and detach notifications are turned off;
// nothing else may happen before AMI_Init.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

#include "win/Wine.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace tivolan::test {

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace tivolan::test

/* The floor of the launcher's run: the command lines of OMBREL.DAT beside
   this program, one a line, started by a plain loop of CreateProcessW with
   the launcher's start-up information, none waited for. The lines are plain
   ASCII program paths, so no entry list reader is needed. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(NULL, path, MAX_PATH);
  while (length > 0 && path[length - 1] != L'\\') --length;
  if (length == 0 || length + 10 >= MAX_PATH) return 1;
  lstrcpyW(path + length, L"OMBREL.DAT");

  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (file == INVALID_HANDLE_VALUE) return 2;
  /* From the heap: a static buffer would be stored in the program's file
     and make this floor larger than a plain loop is. */
  HANDLE heap = GetProcessHeap();
  const DWORD capacity = 1 << 20;
  char* bytes = HeapAlloc(heap, 0, capacity);
  wchar_t* lineBuffer = HeapAlloc(heap, 0, 32768 * sizeof(wchar_t));
  DWORD size = 0;
  const BOOL read = bytes != NULL && lineBuffer != NULL && ReadFile(file, bytes, capacity, &size, NULL);
  CloseHandle(file);
  if (!read) return 3;

  int status = 0;
  DWORD start = 0;
  for (DWORD i = 0; i <= size; ++i) {
    if (i < size && bytes[i] != '\r' && bytes[i] != '\n') continue;
    const DWORD count = i - start;
    if (count > 0 && count < 32767) {
      for (DWORD k = 0; k < count; ++k) lineBuffer[k] = (wchar_t)(unsigned char)bytes[start + k];
      lineBuffer[count] = L'\0';
      STARTUPINFOW startup = {0};
      startup.cb = sizeof startup;
      startup.dwFlags = STARTF_USESHOWWINDOW;
      startup.wShowWindow = SW_SHOWNORMAL;
      PROCESS_INFORMATION process = {0};
      if (CreateProcessW(NULL, lineBuffer, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
      } else {
        status = 4;
      }
    }
    start = i + 1;
  }
  return status;
}

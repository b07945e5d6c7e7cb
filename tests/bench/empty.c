/* The floor of a process start: a static Win32 program, built as the
   launcher is, that does nothing. It also stands in for a program entry that
   ends at once. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance;
  (void)previous;
  (void)commandLine;
  (void)show;
  return 0;
}

/* A program that imports the small library, USER32 and ADVAPI32 besides
   the C runtime and KERNEL32. */
#include <stdio.h>
#include <windows.h>

__declspec(dllimport) int tiny_add(int a, int b);

int main(int argc, char** argv) {
  HKEY key;
  if (argc > 5) MessageBoxA(NULL, "text", "caption", MB_OK);
  if (argc > 6 && RegOpenKeyA(HKEY_CURRENT_USER, "Software", &key) == ERROR_SUCCESS) RegCloseKey(key);
  printf("%d\n", tiny_add(argc, 2));
  return 0;
}

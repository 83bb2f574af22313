/* A small library with one export, for the real-program import test. */
#include <stdio.h>

__declspec(dllexport) int tiny_add(int a, int b) {
  if (a < 0) puts("negative");
  return a + b;
}

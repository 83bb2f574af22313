// Stands in for the web browser in the About box tests: writes the address
// it was asked to open into the file named by TARNWICK_URL_RECORD.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* record = std::getenv("TARNWICK_URL_RECORD");
  if (record == nullptr || argc < 2) return 1;
  std::FILE* out = std::fopen(record, "w");
  if (out == nullptr) return 1;
  std::fputs(argv[1], out);
  std::fclose(out);
  return 0;
}

// A small set of executables and registry files of every kind the analysis
// knows, plus broken ones: the bundled samples of the console analyser and
// the seed corpus of the fuzzer.
#ifndef TARNWICK_SAMPLES_SAMPLE_FILES_H
#define TARNWICK_SAMPLES_SAMPLE_FILES_H

#include <string>
#include <vector>

#include "tests/builders/bytes.h"

namespace samples {

struct SampleFile {
  std::string name;
  testbuild::Bytes bytes;
  std::string about;  // one line on what the file shows
};

std::vector<SampleFile> SampleFiles();

}  // namespace samples

#endif

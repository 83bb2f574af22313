// Classification of one file and extraction of the modules it imports.
//
// AnalyzeFile maps the file read-only, tells what kind of file it is (or why
// it could not be analysed), adds every imported module name of an NE or PE
// executable to the name sink, lower-cased and newly allocated with malloc,
// and finally hands the stretch of the file worth searching to the content
// callback. Every read is checked against the file's size: a header field
// that points outside the file ends the analysis with AE_ACCESS_VIOLATION.
#ifndef TARNWICK_ANALYSIS_ANALYZE_FILE_H
#define TARNWICK_ANALYSIS_ANALYZE_FILE_H

#include <cstdint>

class PointerList;
class ReadBuffer;

enum FileKind {
  FK_UNKNOWN_TYPE = 0,
  FK_NT_REGISTRY = 1,
  FK_95_REGISTRY = 2,
  FK_WIN16_OR_OS2 = 3,
  FK_WIN32 = 4,
  FK_VXD = 5,
  FK_DOS_EXE = 6,
  FK_DOS_COMPRESSED = 7,
};

enum AnalyzeError {
  AE_NOT_AN_EXE = -1,
  AE_INVALID_EXECUTABLE = -2,
  AE_INVALID_16BIT = -3,
  AE_CANT_OPEN_FILE = -4,
  AE_CANT_ACCESS_MEMORY = -5,
  AE_NO_IMPORT = -6,
  AE_ACCESS_VIOLATION = -7,
};

// Display names indexed by FileKind, and messages indexed by the magnitude of
// an error code (entry 0 is empty).
extern const char* const kFileKindNames[8];
extern const char* const kAnalyzeErrorNames[8];

// Receives the content region: a pointer to the file's bytes, valid only
// until the callback returns. The result is ignored.
typedef int (*ContentCallback)(const std::uint8_t* regionStart, std::uint32_t regionLength,
                               void* callbackContext, int kind);

// Receives the trace lines of the analysis, each a complete text ending in a
// line feed. Only the console analyser supplies one.
class AnalysisTrace {
 public:
  virtual ~AnalysisTrace() = default;
  virtual void Print(const char* text) = 0;
};

// Returns a FileKind (0 to 7) or a negative AnalyzeError. The sink takes over
// each name it accepts; a name it refuses is freed here. The later-bound
// sink, when given, receives the modules a PE file binds to through export
// forwarders and delay-load imports (analysis/later_bound_modules.h); it
// never changes the result, the trace or what the name sink receives.
int AnalyzeFile(const char* path, ContentCallback callback, void* callbackContext,
                PointerList* nameSink, AnalysisTrace* trace = nullptr,
                PointerList* laterBoundSink = nullptr);

// One reading of the file for both passes of the search: the names, the
// later-bound modules and the content callback as above, and the results
// AnalyzeFile gives without the callback (as the import pass calls it) and
// with it (as the content pass does). The file is read into the buffer when
// it fits (platform/file_view.h), mapped otherwise; the results are the same.
struct BothPassesResult {
  int importPass;
  int contentPass;
};
BothPassesResult AnalyzeFileForBothPasses(const char* path, ReadBuffer* buffer, ContentCallback callback,
                                          void* callbackContext, PointerList* nameSink, PointerList* laterBoundSink);

#endif

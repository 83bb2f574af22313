// A library built by the MinGW compiler, as any installed program's library
// would be: it has no Wine builtin marker.
extern "C" __declspec(dllexport) int PlainLibraryValue() { return 7; }

// The list of candidates as the console edition writes it to standard
// output for people and scripts.
//
// TSV: one line per candidate, as the dialog's list box shows it (name,
// library kind, and the user with its kind in parentheses, or "?"), with a
// tab, line feed or carriage return inside a field written as \t, \n, \r,
// so that one candidate is always one line. A backslash stays as it is, so
// Windows paths and registry keys read as they always did.
//
// JSON: one document with every candidate (name, full path, size in bytes,
// library kind, whether it is used, what uses it and how, and after a backup
// what became of it) and the totals.
#ifndef TARNWICK_UI_CONSOLE_LIST_OUTPUT_H
#define TARNWICK_UI_CONSOLE_LIST_OUTPUT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "usage/backup.h"

struct ProcessState;

// The size in bytes of each candidate's file, by list index (-1 when it
// cannot be read); taken before a backup moves the files.
std::vector<std::int64_t> CandidateSizes(const ProcessState& state);

// A field of a TSV line with its tabs, line feeds and carriage returns escaped.
std::string TsvField(const std::string& text);

void WriteListTsv(std::FILE* out, const ProcessState& state);

// backup is null when no backup ran.
void WriteListJson(std::FILE* out, const ProcessState& state, const std::vector<std::int64_t>& sizes,
                   const BackupOutcome* backup);

#endif

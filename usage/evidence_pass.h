// The evidence pass: after the import and content passes, the candidates
// still unused are looked for where those passes cannot see them, and only
// marked used, never the other way round:
//  1. the modules PE files bind to through export forwarders and delay-load
//     imports, noted by the import pass (as "32-bit exe or dll", the file as
//     the user);
//  2. the installation's registry (platform/registry.h), every key name,
//     value name and string value (as "NT registry", the key's path as the
//     user);
//  3. the settings files the walk met (*.ini, *.inf, *.manifest and exported
//     *.reg files) and the Windows directory's system.ini and win.ini (as
//     "settings file").
// Texts are judged by the rule of usage/name_in_text.h. Each mark is listed
// and logged as the other passes' marks are.
#ifndef TARNWICK_USAGE_EVIDENCE_PASS_H
#define TARNWICK_USAGE_EVIDENCE_PASS_H

#include <string>

class RegistryReading;
struct ProcessState;

// With a registry reading started before the passes (usage/registry_reading.h)
// its findings are applied; without one the registry is read now.
void RunEvidencePass(ProcessState& state, RegistryReading* registry = nullptr);

// The text of a settings file as 8-bit text: UTF-16 after its byte-order
// mark is converted, a UTF-8 mark is dropped, anything else is taken as it
// is and also in its other reading (platform/text.h). An exported registry
// file also yields its decoded names and strings.
std::string SettingsFileText(const std::string& path);

#endif

// Reads the project settings: every known key of the project ini, and the user's
// registry choices laid over the options the author left open.
#pragma once

#include "settings/IniFile.h"
#include "settings/ProjectSettings.h"
#include "settings/RegistryStore.h"

#include <string>

namespace quindle {

// The base temporary directory: the registry's "Zantic Temp Directory", else the
// system temporary path, with a trailing backslash. An empty value counts as absent.
std::string ReadTempBase(IRegistryStore& registry, const std::string& systemTempPath);

// Before the keys are read: the user may choose interaction, sound, MIDI and key
// interaction; the right-click menu only while mouse interaction is on.
void PrepareOptionStates(TProjectSettings& options);

// The keys go to two records. presentation receives what belongs to the running
// presentation (Major, BeforeShow, the password fields, HideCursor,
// RightMenuDeleteItems); options receives the option states, the window geometry,
// the screen name, CurrentDir, the alignments and MidiLoopTimes. The runner passes its
// own settings as both; the setup dialog passes its own record as options. The keys
// are read in the key table's order, with the options prepared.
void ReadProjectKeys(TCustomIniFile& ini, const std::string& exeBaseName, TProjectSettings& presentation,
                     TProjectSettings& options);

// Registry choices for the five user options whose Visible is set.
void ApplyRegistryChoices(IRegistryStore& registry, TProjectSettings& options);

}  // namespace quindle

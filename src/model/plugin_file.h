// Reading the three data files into the catalog and writing the user's
// choices back into them by name.
#pragma once

#include <string>

#include "model/catalog.h"
#include "model/data_file.h"

namespace sh {

// The spot list: root "CleaningSpots" (exact case), groups, spots, one item
// container per spot. Spots marked OS "XP" load only when isWindowsXP.
// Returns 0, adding nothing, when the file cannot be read or parsed or its
// root is wrong; else 1 and the list's Version through `version`.
int LoadSpotList(DataFileEnv& env, CSpotCatalog& catalog, const std::string& path, int isWindowsXP, int* version);
// The plugin list: one plugin per element below the root, with presence
// tests (all of them evaluated), files, folders and registry entries.
// Returns 0 when the file cannot be read or parsed; else 1 and the Version.
int LoadPluginList(DataFileEnv& env, CSpotCatalog& catalog, const std::string& path, int* version);
// The custom plugin file: like the plugin list without presence tests; the
// plugins are custom ("Custom Plugin") and go to their own list.
int LoadCustomPlugins(DataFileEnv& env, CSpotCatalog& catalog, const std::string& path);

// Set ToBeCleaned of the first element whose name matches (ignoring case)
// in the spot list, the plugin list or the custom plugin file (each found
// through the `path` setting) and store the file. 1 when the element was
// found and the file stored, else 0 (nothing stored).
int SaveSpotChoice(DataFileEnv& env, const CCleaningSpot& spot, int value);
int SavePluginChoice(DataFileEnv& env, const CPluginSpots& plugin, int value);
int SaveCustomPluginChoice(DataFileEnv& env, const CPluginSpots& plugin, int value);

// Copies the choices (ToBeCleaned) of every spot (`spots`) or plugin of
// `from` onto the element of `to` with the same name, ignoring case, as the
// choice saves find it. Names only in `to` keep the choice they came with.
// Returns how many were carried.
int CarryOverChoices(const TiXmlDocument& from, TiXmlDocument& to, bool spots);

// Leading decimal integer of an attribute (optional white space and sign);
// 0 when missing or not numeric, clamped to the 32-bit range.
int IntegerFromText(const char* text);

}  // namespace sh

#pragma once
// The section readers and writers that LoadAllOptions and SaveAllOptions run in their fixed
// order. Each Load opens its own section first; each Save opens its own section.
#include "foundation/settings/option_keys.h"

namespace qv {

// "Internal" and its sub-sections, "NewDocParams", "Preview", "FontHistory", "FavSymbols".
void LoadInternalSection(TSettingsStorage& s, const TOptionsContext& c, TOptions& o);
void SaveInternalSection(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void LoadInternalSubSections(TSettingsStorage& s, const TOptionsContext& c, TOptions& o);
void SaveTocAndEnvelopes(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void SaveMainWnd(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void SaveFindReplace(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void LoadNewDocAndPreview(TSettingsStorage& s, const TOptionsContext& c, TOptions& o,
                          THolderSettings& h);
void SaveNewDocParams(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void SavePreview(TSettingsStorage& s, const THolderSettings& h);
void SaveRootTexts(TSettingsStorage& s, const TOptions& o);
// A document format name as "DefDocFmt" and "SaveSelAs_DefDocFmt" keep it: a known writable
// format's canonical name, anything else (including "ODT" and "WRI") "RTF".
std::string NormalizeDocFormatName(const std::string& name);

// "General", "DefDocTemplates", the remembered lists, "View", "Edit", "LoadSave", "Print",
// "PageNum".
void LoadGeneralSections(TSettingsStorage& s, const TOptionsContext& c, TOptions& o,
                         THolderSettings& h);
void SaveDefDocTemplatesAndLists(TSettingsStorage& s, const TOptionsContext& c,
                                 const TOptions& o);
void SaveGeneralSections(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o,
                         const THolderSettings& h);

// "ColorScheme" up to "ClipLib", "DateTime", "OverusedWords".
void LoadColourSections(TSettingsStorage& s, const TOptionsContext& c, TOptions& o);
void SaveColourSections(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void SaveWebClipDate(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);
void SaveOverusedWords(TSettingsStorage& s, const TOptionsContext& c, const TOptions& o);

// Defaults of the sections that depend on the machine, and the built-in lists.
void ApplyContextDefaults(const TOptionsContext& c, TOptions& o, THolderSettings& h);
void ApplyColourDefaults(TOptions& o);

}  // namespace qv

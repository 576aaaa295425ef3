#pragma once
// Filters of the file dialogs: "Description|*.ext;*.ext2|Description|pattern" pairs, and the
// wildcard matching of file names against their patterns.
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct FilterEntry {
  std::string description;
  std::vector<std::string> patterns;  // trimmed, never empty strings
};

// The pairs of a filter text. A description without a pattern after it is dropped; a pair whose
// pattern part is blank matches every file ("*").
std::vector<FilterEntry> ParseFilter(std::string_view filter);

// "*" matches any run of characters, "?" one character (a whole UTF-8 sequence). Letters are
// compared without ASCII case, so "*.txt" also lists "README.TXT". "*.*" matches every name,
// with or without a dot.
bool MatchesPattern(std::string_view name, std::string_view pattern);
bool MatchesAnyPattern(std::string_view name, const std::vector<std::string>& patterns);
bool HasWildcards(std::string_view text);

// The extension a pattern names ("*.rtf" gives "rtf"); empty for "*", "*.*" or a pattern with
// wildcards in its extension.
std::string PatternExtension(std::string_view pattern);

}  // namespace plat

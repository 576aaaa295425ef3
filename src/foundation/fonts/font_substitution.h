#pragma once
// The table of font substitutes (a face and the alternative to try when it is not installed),
// the walk along its chains, and the Windows core faces that the platform maps onto installed
// metric-compatible faces.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace qv {

// Case-insensitive comparison of face names (ASCII letters only, as face names are).
bool SameFaceName(std::string_view a, std::string_view b);
int CompareFaceNames(std::string_view a, std::string_view b);

// The face with its last word removed: characters are dropped from the end until the last one
// is a blank or one character is left, then that character too ("Arial Narrow" -> "Arial").
std::string RemoveLastWord(std::string_view face);

// The alternative listed for a face; empty when the table has none.
std::string_view FontSubstitute(std::string_view face);
// The whole table as "face,alternative" entries.
std::span<const char* const> FontSubstituteEntries();

// Walks the substitutes from `face` until it reaches a face for which `installed` is true; empty
// when the chain ends or loops first. The face itself is not tested.
std::string FollowSubstitutes(std::string_view face,
                              const std::function<bool(std::string_view)>& installed);

// The common document faces and the metric-compatible faces the platform draws them with when
// they are not installed themselves ("Times New Roman" is laid out with the widths of
// "Liberation Serif"). The font manager lists each as an installed family when the platform
// resolves it to one of its stand-ins.
struct TMetricAlias {
  const char* Face;
  const char* StandIns[2];  // in order of preference; unused slots are null
};
std::span<const TMetricAlias> MetricAliases();

// Whether `drawn` is a metric-compatible stand-in of `face`.
bool IsMetricStandIn(std::string_view face, std::string_view drawn);

}  // namespace qv

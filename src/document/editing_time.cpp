// The time spent editing a document, its per-file record, and the language most of its
// paragraphs are written in.
#include <chrono>
#include <cmath>
#include <utility>
#include <vector>

#include "document/doc.h"
#include "document/editing_time_services.h"
#include "foundation/base/date_time.h"
#include "foundation/base/service_slot.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// A pause longer than this is not counted: the action after it adds one second.
constexpr double kLongestPause = 30000;
constexpr double kActionTime = 1000;

// Days since 30 December 1899, the time of day as fraction.
double Today() {
  using namespace std::chrono;
  return duration<double>(system_clock::now().time_since_epoch()).count() / 86400.0 + 25569.0;
}

}  // namespace

bool TEditingTimeList::Find(const std::string& path, TEditingTimeRecord& out) {
  const auto it = records_.find(path);
  if (it == records_.end()) return false;
  out = it->second;
  return true;
}

void TEditingTimeList::Store(const std::string& path, const TEditingTimeRecord& record) {
  records_[path] = record;
}

void RegisterEditingTimeList(std::unique_ptr<TEditingTimeList> list) {
  RegisterService(std::move(list));
}
TEditingTimeList& EditingTimeList() { return Service<TEditingTimeList>(); }

void TDoc::AddEditingTime() { AddEditingTimeAt(plat::GetTickCount()); }

void TDoc::AddEditingTimeAt(uint32_t tick) {
  // The tick count wraps at 32 bits; the unsigned difference stays right across the wrap.
  const uint32_t since = tick - LastActivityTick;
  if (LastActivityTick != 0 && since <= kLongestPause)
    EditingTime += since;
  else
    EditingTime += kActionTime;
  LastActivityTick = tick == 0 ? 1 : tick;
}

void TDoc::RecordEditingTime() {
  if (FileName.empty()) return;
  TEditingTimeRecord record;
  const double seconds = std::nearbyint(EditingTime * 0.001);  // halves to even
  record.Seconds = seconds > INT32_MAX ? INT32_MAX : static_cast<int32_t>(seconds);
  record.TypedChars = TypedChars;
  record.LastSaveDay = DateToDayIndex(Today());
  EditingTimeList().Store(FileName, record);
}

void TDoc::RestoreEditingTime() {
  TEditingTimeRecord record;
  if (FileName.empty() || !EditingTimeList().Find(FileName, record)) return;
  EditingTime = static_cast<double>(record.Seconds) * 1000;
  TypedChars = record.TypedChars;
}

int32_t TDoc::PredominantLanguage() {
  TScopedDocFlag noEdgeRules(*this, 90);
  // Counted from the last paragraph back; on a tie the language met later in that walk (whose
  // last paragraph lies nearer the start) wins.
  std::vector<std::pair<int32_t, int32_t>> counts;  // language, count
  const int32_t last = LastParagraphOfStory(stEndnotes);
  for (int32_t p = last; p >= 0; --p) {
    if (StoryOfParagraph(p) > stEndnotes) continue;
    const int32_t language = GetLanguageAt(p, 0);
    auto it = counts.begin();
    while (it != counts.end() && it->first != language) ++it;
    if (it == counts.end()) {
      counts.emplace_back(language, 0);
      it = counts.end() - 1;
    }
    ++it->second;
  }
  int32_t best = 0, bestCount = 0;
  for (const auto& [language, count] : counts) {
    if (count >= bestCount) {
      best = language;
      bestCount = count;
    }
  }
  return best;
}

}  // namespace qv

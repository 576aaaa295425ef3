// The post-load steps for lists: the lists that old paragraph numbering made (one small list
// per numbered paragraph) become the lists the model numbers with, and list levels get the
// values the model expects.
#include "files/post_load_steps.h"

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/number_formats.h"
#include "document/par.h"
#include "document/styles.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"

namespace qv {
namespace {

// Number format of a level that shows no number.
constexpr int32_t kNoNumberFormat = 255;
// How much further in a level copied from the one above it is indented.
constexpr int16_t kLevelIndentStep = 720;

int32_t LevelOf(const TPar& par) {
  const int32_t level = par.Format.ListLevel;
  return level == ParUnset8 ? 0 : std::clamp(level, 0, ListLevelCount - 1);
}

// Text before or after the number, in the code page of the level's font.
std::u16string Widen(const TListLevel& level, const std::string& bytes) {
  const uint32_t cp = level.CharFormat.Font == CharUnset ? DefaultCodePage
                                                         : TextCodePageOfFont(level.CharFormat.Font);
  return CodePageToWide(bytes, cp);
}

// A level that old numbering gave settings of its own (it has a text before or after).
bool HasOwnSettings(const TListLevel& level) {
  return !level.FileData1.empty() || !level.FileData2.empty();
}

// Moves paragraphs and styles from lists to the lists they were merged into (by number), and
// deletes the lists merged that nothing uses any more.
void MoveToMergedLists(TDoc& doc, const std::map<int32_t, int32_t>& into,
                       const std::set<int32_t>& merged) {
  auto target = [&into](int32_t list) {
    for (auto it = into.find(list); it != into.end(); it = into.find(list)) list = it->second;
    return list;
  };
  std::set<int32_t> used;
  for (int32_t p = 0; p < doc.ParCount(); ++p) {
    TParFormat& f = doc.Par(p)->Format;
    f.List = target(f.List);
    used.insert(f.List);
  }
  if (doc.Styles != nullptr) {
    for (int32_t i = 0; i < doc.Styles->Count(); ++i) {
      TParFormat& f = (*doc.Styles)[i].ParFmt;
      f.List = target(f.List);
      used.insert(f.List);
    }
  }
  std::erase_if(doc.Lists, [&](const std::unique_ptr<TAutoList>& l) {
    return merged.count(l->Number) != 0 && used.count(l->Number) == 0;
  });
}

// Consecutive numbered paragraphs of a story (or ones at a level above 0) join the list of the
// first of them, which takes their level settings; a paragraph without a list ends the run, and
// so does a numbered one after bullets at its level.
void MergeNumberedRuns(TDoc& doc, std::set<int32_t>& merged) {
  for (int32_t story = stMain; story < StoryCount; ++story) {
    TAutoList* running = nullptr;
    const int32_t last = doc.LastParagraphOfStory(story);
    for (int32_t p = doc.FirstParagraphOfStory(story); p <= last; ++p) {
      TPar& par = *doc.Par(p);
      TAutoList* list = doc.ListByNumber(par.Format.List);
      if (list == nullptr) {
        running = nullptr;
        continue;
      }
      const int32_t level = LevelOf(par);
      const TListLevel& own = list->ListLevels[static_cast<size_t>(level)];
      const bool numbered = IsNumberedFormat(own.NumberFormat) || level > 0;
      // A numbered paragraph after bullets at its level starts a list of its own: joining
      // would turn the bullets before it into numbers.
      const TListLevel* theirs = running != nullptr ? &running->ListLevels[static_cast<size_t>(level)] : nullptr;
      const bool afterBullets =
          theirs != nullptr && HasOwnSettings(*theirs) && !IsNumberedFormat(theirs->NumberFormat);
      if (running == nullptr || running == list || !numbered || afterBullets) {
        running = list;
        // A paragraph numbered at a level above 0 needs its list's levels even when it starts
        // the run: a single-level list would number it with level 0's settings.
        if (level > 0) running->SingleLevel = 0;
        continue;
      }
      running->ListLevels[static_cast<size_t>(level)] = own;
      if (level > 0) running->SingleLevel = 0;
      merged.insert(list->Number);
      par.Format.List = running->Number;
    }
  }
}

// The level texts of a list that was not merged: levels without settings of a multi-level list
// copy the level above, one step further in; numbered levels get their text from the texts
// before and after the number.
void RebuildLevelTexts(TAutoList& list) {
  if (!list.SingleLevel) {
    for (size_t l = 1; l < ListLevelCount; ++l) {
      if (HasOwnSettings(list.ListLevels[l])) continue;
      list.ListLevels[l] = list.ListLevels[l - 1];
      TParFormat& f = list.ListLevels[l].ParFormat;
      f.LeftIndent = static_cast<int16_t>((f.LeftIndent == ParUnset16 ? 0 : f.LeftIndent) +
                                          kLevelIndentStep);
    }
  }
  for (size_t l = 0; l < ListLevelCount; ++l) {
    TListLevel& level = list.ListLevels[l];
    if (!IsNumberedFormat(level.NumberFormat)) continue;
    if (level.FileData1.empty() && level.FileData2.empty() && level.NumberFormat != kNoNumberFormat)
      level.FileData2 = ".";
    std::u16string text;
    if (level.IncludesPrevious && l > 0) text = list.ListLevels[l - 1].LevelText;
    text += Widen(level, level.FileData1);
    text.push_back(static_cast<char16_t>(l));
    text += Widen(level, level.FileData2);
    level.LevelText = std::move(text);
  }
}

}  // namespace

void ResolveLists(TDoc& doc, const TPostLoadInfo& info) {
  if (info.ListsFromTable || doc.Lists.empty()) return;
  for (auto& list : doc.Lists) {
    list->SingleLevel = 1;
    for (TListLevel& level : list->ListLevels)
      level.LevelText = Widen(level, level.FileData1) + Widen(level, level.FileData2);
  }
  std::set<int32_t> merged;
  MergeNumberedRuns(doc, merged);
  MoveToMergedLists(doc, {}, merged);
  for (auto& list : doc.Lists) RebuildLevelTexts(*list);
  // A simple bullet list like an earlier one is that list.
  std::map<int32_t, int32_t> into;
  std::set<int32_t> bullets;
  for (size_t i = 0; i < doc.Lists.size(); ++i) {
    const TAutoList& list = *doc.Lists[i];
    if (!list.SingleLevel || !list.IsBulletLevel(0)) continue;
    for (size_t j = 0; j < i; ++j) {
      const TAutoList& earlier = *doc.Lists[j];
      if (into.count(earlier.Number) != 0 || !list.SameFormat(earlier, 0)) continue;
      into[list.Number] = earlier.Number;
      bullets.insert(list.Number);
      break;
    }
  }
  if (!into.empty()) MoveToMergedLists(doc, into, bullets);
}

void FixListLevels(TDoc& doc) {
  TFontManager* fonts = FontManager();
  for (auto& list : doc.Lists) {
    for (TListLevel& level : list->ListLevels) {
      if (level.ParFormat.FirstIndent == ParUnset16) level.ParFormat.FirstIndent = 0;
      if (level.ParFormat.LeftIndent == ParUnset16) level.ParFormat.LeftIndent = 0;
      if (level.ParFormat.RightIndent == ParUnset16) level.ParFormat.RightIndent = 0;
      const bool bullet = level.NumberFormat >= 23 && level.NumberFormat != 255;
      if (!bullet || level.LevelText.empty() || fonts == nullptr) continue;
      const int32_t font = level.CharFormat.Font;
      const bool known = font >= 0 && font != CharUnset && static_cast<size_t>(font) < fonts->RegFonts.size();
      const bool symbolFont = known && fonts->RegFonts[static_cast<size_t>(font)].Charset == SYMBOL_CHARSET;
      const char16_t first = level.LevelText[0];
      if (first < 256) {
        if (symbolFont) level.LevelText[0] = static_cast<char16_t>(first + 0xF000);
        continue;
      }
      // A bullet from a symbol font's area means that font's character. Some writers leave the
      // font out of the font table; the Symbol font then shows it (its bullet, not the middle dot
      // that the character's low byte is in other fonts).
      if (first >= 0xF020 && first <= 0xF0FF && !symbolFont) {
        const int32_t symbol = fonts->FontIndex("Symbol", SYMBOL_CHARSET, true);
        if (symbol >= 0) level.CharFormat.Font = symbol;
      }
    }
  }
}

}  // namespace qv

#pragma once
// TAutoList: an automatic (bulleted, numbered or outline) list of a document, named by the List
// property of paragraph formats, with its nine TListLevel records.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "document/char_format.h"
#include "document/par_format.h"

namespace qv {

class TDoc;
class TPar;
class TShape;
class TStyle;

constexpr int32_t ListLevelCount = 9;

enum : int32_t { lkBulleted = 0, lkNumbered = 1, lkOutline = 2 };

// Modes of TAutoList::SameFormat.
enum : int32_t {
  lcIgnoreStartNumbers = 1,  // start numbers may differ
  lcNumberFormatsOnly = 2,   // only the number formats are compared
};

struct TListLevel {
  int32_t StartAt = 1;
  int32_t NumberFormat = 0;        // number-format code; 23 and above (but 255) are bullets
  TShape* PictureBullet = nullptr;  // picture used as the bullet (shared, owned by the document)
  TCharFormat CharFormat;           // format of the number; unset by default
  TParFormat ParFormat;             // the level's paragraph format; unset by default
  uint8_t NumberAlign = 0;          // 0 left, 1 centred, 2 right
  uint8_t Follow = 0;               // after the number: 0 tab, 1 space, 2 nothing
  uint8_t NoRestart = 0;            // does not restart after a higher level
  uint8_t Legal = 0;                // legal numbering
  std::u16string LevelText;         // number template; characters 0..8 stand for levels 0..8
  // Kept and copied with the level: the text before and after the number of the old paragraph
  // numbering (byte strings as the file gave them), from which opening rebuilds LevelText.
  std::string FileData1;
  std::string FileData2;
  uint8_t IncludesPrevious = 0;     // old paragraph numbering: the text of the level above leads
  TStyle* LinkedStyle = nullptr;    // the style tied to the level
};

class TAutoList {
 public:
  // Nine levels with start number 1, unset formats and everything else 0.
  TAutoList() = default;

  uint8_t SingleLevel = 0;  // one level: all paragraphs use level 0
  std::array<TListLevel, ListLevelCount> ListLevels;
  std::vector<TPar*> OtherPars;     // not used by the numbering pass
  std::vector<TPar*> NumberedPars;  // paragraphs numbered so far in the current pass
  int32_t NumberedCount = 0;        // how many of them; 0 at the start of each pass
  int32_t Number = 0;               // the list's number in the document (its id in files)

  // Copies SingleLevel and the nine levels (strings copied, picture bullets shared).
  void Assign(const TAutoList& other);
  // Assign, then every used level's picture bullet is replaced by a copy made in the document.
  void AssignToDoc(const TAutoList& other, TDoc* doc);
  bool SameFormat(const TAutoList& other, int32_t mode) const;
  int32_t GetKind() const;
  // The level asked about; level 0 of a single-level list whatever level is asked.
  bool IsBulletLevel(int32_t level) const;
  bool IsNumberedLevel(int32_t level) const;
  bool IsAllBullets() const;
  // Levels in use: level 0 of a single-level list, else all nine.
  int32_t UsedLevelCount() const { return SingleLevel ? 1 : ListLevelCount; }

 private:
  const TListLevel& EffectiveLevel(int32_t level) const;
};

// Both null, or both set with the same picture file.
bool SamePictureBullet(const TShape* a, const TShape* b);

// The level's text with its placeholders replaced by the number texts that the level shows in
// a preview (each level's start number, in its format, in the given language). `numbers`, when
// given, receives each number text with the placeholder's level.
std::u16string ListLevelPreviewText(const TAutoList& list, int32_t level, int32_t language,
                                    std::vector<std::pair<std::u16string, int32_t>>* numbers);

}  // namespace qv

// The normal form of a content stream: field marks ahead of the formatting at their place (with
// note fields outside the other fields there), no formatting tag that changes nothing, and no
// formatting after the last character. Layout, text reading and counting rely on it.
#include <array>
#include <cstring>

#include "document/content_stream.h"
#include "document/field.h"
#include "document/par.h"
#include "document/shape_binding.h"
#include "foundation/fonts/font_manager.h"

namespace qv {

namespace {

bool IsNoteKind(int kind) { return kind == fkNoteText || kind == fkNoteReference || kind == fkNoteMark; }

bool IsIndexEntry(const TField* f) {
  return f != nullptr && f->Kind == fkField && f->FieldType == ftIndexEntry;
}

// Whether the field mark m moves back over the tag p just before it.
bool MarkMovesBack(const TContentTag& m, const TContentTag& p) {
  if (IsFormatTagKind(p.Kind)) return true;
  if (!IsFieldMarkKind(p.Kind)) return false;
  const TField* f = FieldOfTag(m);
  const TField* g = FieldOfTag(p);
  if (f == nullptr || g == nullptr) return false;
  const bool mStart = m.Kind == ctFieldStart;
  const bool pStart = p.Kind == ctFieldStart;
  // A note field opens before the other fields that open at its place.
  if (mStart && pStart && IsNoteKind(f->Kind) && !IsNoteKind(g->Kind)) return true;
  // A note's text opens outside a bookmark or index entry that ends at its place.
  if (mStart && !pStart && f->Kind == fkNoteText && (g->Kind == fkBookmark || IsIndexEntry(g)))
    return true;
  // Other fields close before the note fields that close at their place.
  if (!mStart && !pStart && !IsNoteKind(f->Kind) && IsNoteKind(g->Kind)) return true;
  // An index entry stays empty: its end follows its start directly.
  if (!mStart && IsIndexEntry(f) && g != f) return true;
  return false;
}

void SwapTags(uint8_t* data, int32_t a) {
  uint8_t tmp[ContentTagSize];
  std::memcpy(tmp, data + a, ContentTagSize);
  std::memmove(data + a, data + a + ContentTagSize, ContentTagSize);
  std::memcpy(data + a + ContentTagSize, tmp, ContentTagSize);
}

void MoveFieldMarksAhead(TMemory& s) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(s.Data, s.Length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || !IsFieldMarkKind(item.Tag.Kind)) continue;
    int32_t p = off;
    while (TagEndsBefore(s.Data, p) && IsTagAt(s.Data, s.Length, p - ContentTagSize) &&
           MarkMovesBack(item.Tag, ReadTagAt(s.Data, p - ContentTagSize))) {
      SwapTags(s.Data, p - ContentTagSize);
      p -= ContentTagSize;
    }
  }
}

bool IsSymbolCharsetFont(int32_t font) {
  const TFontManager* fm = FontManager();
  return fm != nullptr && fm->IsValidFont(font) &&
         fm->RegFonts[static_cast<size_t>(font)].Charset == 2;
}

// The second pass, after the field marks have moved: drops each formatting tag that changes
// nothing (one whose value is already in force; one that a later tag of the same kind replaces
// before the next character, and that later tag too when it only restores the value in force
// before them), and on the way sets the paragraph's content flags (symbol text, vertical
// offset, inline and anchored shapes, horizontal rule, drop cap) and binds the shapes to their
// character positions.
class TFormatWalk {
 public:
  explicit TFormatWalk(TPar& par) : par_(par), s_(par.Content) {
    cur_ = DefaultCharFormat;
    before_ = cur_;
    groupTag_.fill(-1);
  }

  void Run() {
    int32_t off = 0;
    TStreamItem item;
    while (ReadStreamItem(s_.Data, s_.Length, off, item)) {
      if (item.ItemType == TStreamItem::siText) {
        EndGroup();
        charIndex_ += item.Size;
        off += item.Size;
      } else if (item.ItemType == TStreamItem::siDamaged) {
        off += 1;
      } else if (IsFormatTagKind(item.Tag.Kind)) {
        off = FormatTag(off, item.Tag);
      } else {
        OtherTag(item.Tag);
        if (IsCharTagKind(item.Tag.Kind)) {
          EndGroup();
          ++charIndex_;
        }
        off += ContentTagSize;
      }
    }
  }

 private:
  void EndGroup() {
    before_ = cur_;
    groupTag_.fill(-1);
  }

  void RemoveTag(int32_t at) {
    s_.Delete(at, ContentTagSize);
    for (int32_t& o : groupTag_)
      if (o > at) o -= ContentTagSize;
  }

  // Returns the offset at which the walk goes on.
  int32_t FormatTag(int32_t off, const TContentTag& t) {
    const int k = t.Kind;
    if (k == ctFont && IsSymbolCharsetFont(t.Value)) par_.Flags |= pfSymbolText;
    if (k == cpVertOffset && t.Value != 0) par_.Flags |= pfVertOffset;
    if (t.Value == cur_[k]) {
      RemoveTag(off);
      return off;
    }
    cur_[k] = t.Value;
    if (groupTag_[static_cast<size_t>(k)] >= 0) {
      const int32_t earlier = groupTag_[static_cast<size_t>(k)];
      groupTag_[static_cast<size_t>(k)] = -1;
      RemoveTag(earlier);
      off -= ContentTagSize;
      if (t.Value == before_[k]) {
        RemoveTag(off);
        return off;
      }
    }
    groupTag_[static_cast<size_t>(k)] = off;
    return off + ContentTagSize;
  }

  void OtherTag(const TContentTag& t) {
    if (t.Kind == ctWideChar) {
      par_.Flags |= pfSymbolText;
    } else if (t.Kind == ctInlineShape) {
      TShape* shape = ShapeOfTag(t);
      par_.Flags |= ShapeBinding().IsHorizontalRule(shape) ? pfHorizontalRule : pfInlineShapes;
      if (shape != nullptr) ShapeBinding().BindInlineShape(shape, par_, charIndex_);
    } else if (t.Kind == ctFieldStart) {
      TField* f = FieldOfTag(t);
      if (f == nullptr) return;
      if (f->Kind == fkShapeAnchor) {
        par_.Flags |= pfAnchoredShapes;
        par_.AnchoredShapes.push_back(f->Shape);
        if (f->Shape != nullptr) ShapeBinding().BindAnchoredShape(f->Shape, par_, charIndex_, f);
      } else if (f->Kind == fkDropCap && charIndex_ == 0) {
        par_.Flags |= pfDropCap;
      } else if (f->Kind == fkField && f->FieldType == ftSymbol) {
        par_.Flags |= pfSymbolText;
      }
    }
  }

  TPar& par_;
  TMemory& s_;
  TCharFormat cur_;
  TCharFormat before_;
  std::array<int32_t, TCharFormat::Count> groupTag_{};
  int32_t charIndex_ = 0;
};

void DropTrailingFormatting(TMemory& s) {
  while (s.Length >= 2 * ContentTagSize && TagEndsBefore(s.Data, s.Length) &&
         IsTagAt(s.Data, s.Length, s.Length - ContentTagSize) &&
         IsFormatTagKind(s.Data[s.Length - ContentTagSize + 1]))
    s.SetLength(s.Length - ContentTagSize);
}

}  // namespace

void NormalizeParagraphTags(TPar& par) {
  if (par.HasFlag(pfNormalized)) return;
  par.Flags &= static_cast<uint16_t>(~(pfSymbolText | pfWideTextValid | pfWordCacheValid |
                                       pfVertOffset | pfInlineShapes | pfAnchoredShapes |
                                       pfHorizontalRule | pfDropCap));
  par.AnchoredShapes.clear();
  MoveFieldMarksAhead(par.Content);
  TFormatWalk(par).Run();
  DropTrailingFormatting(par.Content);
  par.Widths.clear();
  par.Flags |= pfNormalized;
}

}  // namespace qv

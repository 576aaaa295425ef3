#pragma once
// What sections, fields and lists ask of the rest of the document model and of the field-code
// and date routines, as one replaceable service. The default answers do the least these objects
// need on their own (no document behind them); the document registers the real answers when it
// starts up (RegisterDocObjectServices).
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TDoc;
class TField;
class TSection;
class TShape;
struct TDocPosition;

class TDocObjectServices {
 public:
  virtual ~TDocObjectServices() = default;

  // --- Document queries ---
  // The section whose page settings govern the page of a paragraph; null: the asking section's
  // own settings are used.
  virtual const TSection* PageSectionOfParagraph(const TDoc* doc, int32_t par) const;
  // Character positions of a paragraph, paragraph mark included; -1 when not known.
  virtual int32_t ParLength(const TDoc* doc, int32_t par) const;
  virtual bool IsDocFlagSet(const TDoc* doc, int32_t flag) const;
  // The bookmark of that name after refreshing the bookmark list (names compare without regard
  // to case); null when none.
  virtual TField* FindBookmark(TDoc* doc, const std::u16string& name) const;
  // The note reference (a field of kind 3) whose mark is at the place; null when none.
  virtual TField* NoteReferenceAt(TDoc* doc, const TDocPosition& place) const;

  // --- Shapes ---
  // Whether two picture bullets show the same picture file (both are set).
  virtual bool SamePictureFile(const TShape* a, const TShape* b) const;
  // A copy of a picture-bullet shape made in another document; the default shares the shape.
  virtual TShape* CopyShapeToDoc(TShape* shape, TDoc* doc) const;

  // --- Field instructions ---
  // Number style (0..4) named by the switch words "alphabetic", "ALPHABETIC", "roman", "ROMAN"
  // (searched in that order); else the default, where 255 gives 0.
  virtual uint8_t NumberStyleOfSwitch(const std::string& instruction, uint8_t defaultStyle) const;
  // The picture of the \@ switch; empty when there is none.
  virtual std::string DateTimePicture(const std::u16string& instruction) const;
  // Whether the instruction carries the switch (such as "\h") as a word of its own.
  virtual bool HasSwitch(const std::u16string& instruction, const std::u16string& name) const;
  // The first word after the keyword that is not a switch (the bookmark of PAGEREF and NOTEREF).
  virtual std::u16string FirstArgument(const std::u16string& instruction) const;

  // --- Dates ---
  // A date (days since 30 December 1899, with the time of day as fraction) in a picture of the
  // date format language, or in the short date (or time) pattern of the user's locale in the
  // language when the picture is empty.
  virtual std::u16string FormatDate(double date, const std::string& picture, int32_t language,
                                    bool timeFormat) const;
};

// The document model's own answers (document/doc_object_queries.cpp).
std::unique_ptr<TDocObjectServices> MakeDocObjectServices();

// Replaces the services; null restores the defaults.
void RegisterDocObjectServices(std::unique_ptr<TDocObjectServices> services);
const TDocObjectServices& DocObjectServices();

}  // namespace qv

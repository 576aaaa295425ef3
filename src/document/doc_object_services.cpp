#include "document/doc_object_services.h"

#include "document/field_instructions.h"
#include "foundation/base/service_slot.h"
#include "foundation/text/date_format.h"

namespace qv {

const TSection* TDocObjectServices::PageSectionOfParagraph(const TDoc*, int32_t) const {
  return nullptr;
}

int32_t TDocObjectServices::ParLength(const TDoc*, int32_t) const { return -1; }

bool TDocObjectServices::IsDocFlagSet(const TDoc*, int32_t) const { return false; }

TField* TDocObjectServices::FindBookmark(TDoc*, const std::u16string&) const { return nullptr; }

TField* TDocObjectServices::NoteReferenceAt(TDoc*, const TDocPosition&) const { return nullptr; }

bool TDocObjectServices::SamePictureFile(const TShape* a, const TShape* b) const { return a == b; }

TShape* TDocObjectServices::CopyShapeToDoc(TShape* shape, TDoc*) const { return shape; }

uint8_t TDocObjectServices::NumberStyleOfSwitch(const std::string& instruction,
                                                uint8_t defaultStyle) const {
  return qv::NumberStyleOfSwitch(instruction, defaultStyle);
}

std::string TDocObjectServices::DateTimePicture(const std::u16string& instruction) const {
  return GetDateTimeFormatSwitch(instruction);
}

bool TDocObjectServices::HasSwitch(const std::u16string& instruction,
                                   const std::u16string& name) const {
  return HasFieldSwitch(instruction, name.c_str());
}

std::u16string TDocObjectServices::FirstArgument(const std::u16string& instruction) const {
  return FirstFieldArgument(instruction);
}

std::u16string TDocObjectServices::FormatDate(double date, const std::string& picture,
                                              int32_t language, bool timeFormat) const {
  if (!picture.empty()) return FormatDateTimeLocale(picture, language, date);
  return FormatDateTimeLocale(timeFormat ? u"ttttt" : u"ddddd", language, date);
}

void RegisterDocObjectServices(std::unique_ptr<TDocObjectServices> services) {
  RegisterService(std::move(services));
}

const TDocObjectServices& DocObjectServices() { return *ServiceSlot<TDocObjectServices>(); }

}  // namespace qv

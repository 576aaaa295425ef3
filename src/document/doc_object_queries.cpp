// The document model's own answers to what sections, fields and lists ask of it: page sections,
// paragraph lengths, flags, bookmarks by name, note references by place, and picture bullets.
#include <fstream>
#include <iterator>

#include "document/doc.h"
#include "document/doc_object_services.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/shape.h"

namespace qv {

namespace {

std::string FileBytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), {});
}

class TModelObjectServices : public TDocObjectServices {
 public:
  const TSection* PageSectionOfParagraph(const TDoc* doc, int32_t par) const override {
    if (doc == nullptr || par < 0 || par >= doc->ParCount()) return nullptr;
    return const_cast<TDoc*>(doc)->PageSectionOfParagraph(par);
  }
  int32_t ParLength(const TDoc* doc, int32_t par) const override {
    return doc != nullptr && par >= 0 && par < doc->ParCount() ? doc->ParLength(par) : -1;
  }
  bool IsDocFlagSet(const TDoc* doc, int32_t flag) const override {
    return doc != nullptr && doc->IsDocFlagSet(flag);
  }
  TField* FindBookmark(TDoc* doc, const std::u16string& name) const override {
    if (doc == nullptr) return nullptr;
    const int32_t i = doc->FindBookmarkName(name);
    return i < 0 ? nullptr : doc->FieldIndex().Bookmarks[static_cast<size_t>(i)].Field;
  }
  TField* NoteReferenceAt(TDoc* doc, const TDocPosition& place) const override {
    if (doc == nullptr) return nullptr;
    doc->RebuildFieldIndex();
    for (TField* f : doc->FieldIndex().Fields)
      if (f->Kind == fkNoteReference && f->Range.Start.Par == place.Par && f->Range.Start.Offset == place.Offset)
        return f;
    return nullptr;
  }
  bool SamePictureFile(const TShape* a, const TShape* b) const override {
    if (a == b) return true;
    if (a == nullptr || b == nullptr) return false;
    if (a->Graphic->FileName == b->Graphic->FileName) return true;
    if (a->Graphic->PictureKind != b->Graphic->PictureKind) return false;
    const std::string x = FileBytes(a->Graphic->FileName);
    return !x.empty() && x == FileBytes(b->Graphic->FileName);
  }
  TShape* CopyShapeToDoc(TShape* shape, TDoc* doc) const override {
    if (shape == nullptr || doc == nullptr) return shape;
    return doc->CopyShape(*shape);
  }
};

}  // namespace

std::unique_ptr<TDocObjectServices> MakeDocObjectServices() {
  return std::make_unique<TModelObjectServices>();
}

}  // namespace qv

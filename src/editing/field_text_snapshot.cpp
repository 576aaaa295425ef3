#include "editing/field_text_snapshot.h"

#include <algorithm>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/field.h"
#include "document/field_evaluation.h"
#include "document/field_text.h"
#include "document/field_update_state.h"
#include "document/par.h"

namespace qv {

namespace {

bool InDocument(const TDoc& doc, const TField* field) {
  return std::any_of(doc.Fields.begin(), doc.Fields.end(),
                     [field](const auto& f) { return f.get() == field; });
}

// The stream offset of the field's mark of the kind in the paragraph; -1 when it is not there.
int32_t MarkOffset(const TPar& p, const TField* field, uint8_t kind) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size)
    if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == kind && FieldOfTag(item.Tag) == field)
      return off;
  return -1;
}

// Replaces what stands between the field's marks (in one paragraph) by the text, in the format
// in force after the start mark, with no record.
void WriteResult(TDoc& doc, TField* field, const std::u16string& text) {
  TDocRange range;
  if (!doc.GetFieldRange(field, range) || range.Start.Par != range.End.Par) return;
  TPar& p = *doc.Par(range.Start.Par);
  NormalizeParagraphTags(p);
  const int32_t from = MarkOffset(p, field, ctFieldStart);
  const int32_t to = MarkOffset(p, field, ctFieldEnd);
  if (from < 0 || to < from) return;
  const int32_t inner = from + ContentTagSize;
  TCharFormat inside = FormatInForceAt(p.Content, inner);
  p.GetCharFormatAt(range.Start.Offset, inside);
  const TCharFormat atEnd = FormatInForceAt(p.Content, to);
  TMemory stream;
  stream.Append(p.Content.Data, inner);
  AppendFormatDifference(stream, FormatInForceAt(p.Content, inner), inside);
  AppendTextContent(stream, text);
  AppendFormatDifference(stream, inside, atEnd);
  stream.Append(p.Content.Data + to, p.Content.Length - to);
  p.Content = stream;
  p.RebuildCodes();
  p.ContentChanged();
  p.ReleaseLines(0);
  doc.InvalidateFieldIndex(range.Start.Par, range.Start.Par);
}

}  // namespace

void CaptureFieldTexts(TDoc& doc, TFieldTexts& out) {
  out.clear();
  TDocRange area;
  if (!doc.GetHeaderFooterRange(doc.HeaderFooterInPlace, area)) return;
  const TFieldTypeSet computed = EvaluatedFieldTypes();
  std::vector<TField*> fields;
  doc.FindOverlappingFields(area, fields);
  for (TField* f : fields) {
    if (f->Kind != fkField || f->FieldType >= computed.size() || !computed.test(f->FieldType)) continue;
    TDocRange r;
    if (!doc.GetFieldRange(f, r) || !PositionInRangeInclusive(r.Start, area)) continue;
    if (std::any_of(out.begin(), out.end(), [f](const auto& e) { return e.first == f; })) continue;
    out.emplace_back(f, doc.GetRangeFullWideText(r, 0));
  }
}

void RestoreFieldTexts(TDoc& doc, const TFieldTexts& texts, TField* headerFooter) {
  TFieldTypeSet types;
  for (const auto& [field, text] : texts) {
    if (!InDocument(doc, field)) continue;
    types.set(field->FieldType);
    WriteResult(doc, field, text);
  }
  TDocRange area;
  if (types.none() || !doc.GetHeaderFooterRange(headerFooter, area)) return;
  TScopedDocFlag stored(doc, dfStoredFieldResults);
  doc.BeginOperation(nullptr);
  doc.UpdateFieldsRun(nullptr, &area, types);
  doc.EndOperation();
}

}  // namespace qv

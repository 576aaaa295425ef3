#pragma once
// Writing test documents as RTF to memory, and a dump of a document's content and formatting
// that two documents are compared by.
#include <string>

#include "document/auto_list.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/section.h"
#include "document/table_row.h"
#include "files/output/output_layer.h"
#include "files/output/save_collection.h"
#include "files/rtf/rtf_writer.h"

namespace qvtest {

// The document's main text (or the range) written as RTF to memory, through the collection
// step as the save dispatcher runs it.
inline std::string WriteRtfToString(qv::TDoc& doc, uint8_t flags = 0,
                                    const qv::TDocRange* range = nullptr) {
  qv::TMemory out;
  qv::TDocSavingOptions options;
  options.Target = qv::TDocSavingOptions::tgMemory;
  options.Output = &out;
  options.Flags = flags;
  options.Format = 0;
  if (range != nullptr) {
    options.Range = *range;
  } else {
    doc.GetMainTextRange(options.Range);
  }
  qv::TSaveContext context(&doc, options);
  context.WriteTables = !doc.TableRows.empty();
  context.FootnotesPresent = doc.StoryCounts[qv::stFootnotes] > 0;
  context.EndnotesPresent = doc.StoryCounts[qv::stEndnotes] > 0;
  qv::CollectFontsAndColors(context);
  if (qv::WriteRtf(context) != 0) return "<failed>";
  return std::string(reinterpret_cast<const char*>(out.Data), static_cast<size_t>(out.Length));
}

// One line per paragraph of every story: its story, text (special characters as "<code>"),
// the formatting in force at each change, and the paragraph properties that a reader keeps.
inline std::string DumpDocument(qv::TDoc& doc) {
  using namespace qv;
  std::string out;
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    TPar& par = *doc.Par(i);
    NormalizeParagraphTags(par);
    out += "[" + std::to_string(doc.StoryOfParagraph(i)) + "] ";
    const TParFormat& f = par.Format;
    out += "al=" + std::to_string(GetParFormatProp(f, ppAlignment)) +
           " li=" + std::to_string(GetParFormatProp(f, ppLeftIndent)) +
           " fi=" + std::to_string(GetParFormatProp(f, ppFirstIndent)) +
           " sb=" + std::to_string(GetParFormatProp(f, ppSpaceBefore)) +
           " sa=" + std::to_string(GetParFormatProp(f, ppSpaceAfter)) +
           " tbl=" + std::to_string(f.InTable > 0 ? 1 : 0) + " |";
    TCharFormat current = DefaultCharFormat;
    TCharFormat shown = DefaultCharFormat;
    TStreamItem item;
    for (int32_t pos = 0; ReadStreamItem(par.Content.Data, par.Content.Length, pos, item);
         pos += item.Size) {
      if (item.ItemType == TStreamItem::siTag && IsFormatTagKind(item.Tag.Kind)) {
        if (item.Tag.Kind != cpCharStyle && item.Tag.Kind != cpLanguage)
          current[item.Tag.Kind] = item.Tag.Value;
        continue;
      }
      if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
        const TField* field = FieldOfTag(item.Tag);
        out += item.Tag.Kind == ctFieldStart ? "<{" : "<}";
        if (field != nullptr) out += std::to_string(field->Kind);
        out += ">";
        continue;
      }
      if (!CharFormatsEqual(current, shown)) {
        out += "{";
        for (int k = 0; k < TCharFormat::Count; ++k)
          if (current[k] != shown[k] && current[k] != CharUnset)
            out += std::to_string(k) + "=" + std::to_string(current[k]) + ",";
        out += "}";
        shown = current;
      }
      if (item.ItemType == TStreamItem::siText) {
        out.append(reinterpret_cast<const char*>(par.Content.Data + pos),
                   static_cast<size_t>(item.Size));
      } else if (item.ItemType == TStreamItem::siTag) {
        if (item.Tag.Kind == ctWideChar) {
          out += "<u" + std::to_string(item.Tag.Value & 0xFFFF) + ">";
        } else if (item.Tag.Kind == ctSpecialChar) {
          out += "<" + std::to_string(item.Tag.Value) + ">";
        } else {
          out += "<k" + std::to_string(item.Tag.Kind) + ">";
        }
      }
    }
    out += "\n";
  }
  return out;
}

}  // namespace qvtest

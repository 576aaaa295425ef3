#include "files/rtf/rtf_writer.h"

#include <algorithm>
#include <exception>

#include "document/doc.h"
#include "document/content_tags.h"
#include "document/par.h"
#include "document/shape.h"
#include "document/styles.h"
#include "files/crypt/encrypted_document.h"
#include "files/crypt/encryption_manager.h"
#include "files/doc_formats.h"
#include "files/output/output_layer.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_write_body.h"
#include "files/rtf/rtf_write_header.h"
#include "files/rtf/rtf_write_sections.h"
#include "files/rtf/rtf_write_state.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {
namespace {

constexpr uint16_t kSupercompactOption = 1;  // Load/Save flags bit 0

void ReserveMemoryTarget(TRtfWriteState& w) {
  TMemory& out = *w.Context.Options.Output;
  const TDocRange& range = w.Context.Options.Range;
  int64_t bytes = 0;
  if (w.Context.Options.HasFlag(TDocSavingOptions::sfSelectedShapesOnly)) {
    bytes = int64_t{65536} * static_cast<int64_t>(w.Doc.SelectedShapes.size());
  } else {
    for (int32_t p = range.Start.Par; p <= range.End.Par && p < w.Doc.ParCount(); ++p) {
      const TPar& par = *w.Doc.Par(p);
      bytes += 256;
      for (int32_t i = 0; i < par.CharCount(); ++i)
        if (par.CodeAt(i) == scInlineShape) bytes += 65536;
    }
  }
  bytes = std::min<int64_t>(bytes, TMemory::MaxLength / 2);
  if (bytes > out.Capacity) {
    out.SetLength(static_cast<int32_t>(bytes));
  }
  out.SetLength(0);
}

void WriteSelectedShapes(TRtfWriteState& w) {
  WriteRtfWord(w, RtfWord("shpsel"));
  for (TShape* shape : w.Doc.SelectedShapes) {
    if (shape == nullptr || shape->AnchorPar == nullptr) continue;
    WriteRtfShape(w, *shape, shape->AnchorPar->Index);
  }
  w.Text("\\\r");
  w.DelimiterPending = false;
}

void WriteDocument(TRtfWriteState& w) {
  TSaveContext& c = w.Context;
  TDoc& doc = w.Doc;
  const TDocFileState& state = doc.FileState;
  const bool fileTarget = !c.ToMemory();
  const bool compactAsked = (GetOptions().LoadSave.Flags & kSupercompactOption) != 0 ||
                            c.Options.Format == dfEncrypted || state.WritingSafeCopy;
  w.RawText = state.CompactRtf || (fileTarget && compactAsked && !c.CjkFonts);
  w.NativePictures = true;
  w.StyleCount = doc.Styles != nullptr ? doc.Styles->Count() : 0;
  w.FirstNoteStyle = w.StyleCount + 1;
  if (c.ToMemory() && c.Options.Output != nullptr) ReserveMemoryTarget(w);
  w.Text("{\\rtf1\\ansi");
  w.DelimiterPending = true;
  if (c.Options.HasFlag(TDocSavingOptions::sfSelectedShapesOnly)) {
    WriteSelectedShapes(w);
  } else {
    WriteRtfWordValue(w, RtfWord("deflang"), doc.DefaultLanguage);
    if (state.DefaultLanguageCoding != 0)
      WriteRtfWordValue(w, RtfWord("deflangcoding"), state.DefaultLanguageCoding);
    WriteRtfFontTable(w);
    WriteRtfColorTable(w);
    WriteRtfStyleSheet(w);
    WriteRtfListTables(w);
    WriteRtfInfo(w);
    WriteRtfDocSettings(w);
    WriteRtfBody(w);
  }
  w.Text("}");
}

// An encrypted document: the RTF is made in memory and written as one enciphered image, header,
// body and check value, so that no plain byte of the document ever reaches the target.
uint8_t WriteEncrypted(TSaveContext& context) {
  TDoc& doc = *context.Doc;
  if (doc.FileState.Password.empty()) return 2;
  TMemory rtf;
  {
    TDocSavingOptions options = context.Options;
    options.Target = TDocSavingOptions::tgMemory;
    options.Output = &rtf;
    TSaveContext inner(&doc, options);
    inner.ColorTable = context.ColorTable;
    inner.ListCounter = context.ListCounter;
    inner.CjkFonts = context.CjkFonts;
    inner.WriteTables = context.WriteTables;
    inner.EndnotesPresent = context.EndnotesPresent;
    inner.FootnotesPresent = context.FootnotesPresent;
    inner.FontUsed = context.FontUsed;
    inner.ListUsed = context.ListUsed;
    inner.ListOutputNumber = context.ListOutputNumber;
    inner.AllLists = context.AllLists;
    TRtfWriteState w(inner);
    WriteDocument(w);
  }
  TEncryptionManager& manager = GetEncryptionManager();
  std::string password = manager.DecryptString(doc.FileState.Password);
  TMemory image;
  EncipherDocument(rtf.Data, rtf.Length, password, image, !MessagesSuppressed);
  password.assign(password.size(), '\0');
  // The image is enciphered already: the output layer must not encipher it again.
  context.Options.Format = dfRtf;
  WriteOutputBytes(context, image.Data, image.Length);
  context.Options.Format = dfEncrypted;
  if (!context.ToMemory()) {
    context.Options.Format = dfRtf;
    FlushOutput(context);
    context.Options.Format = dfEncrypted;
  }
  return 0;
}

}  // namespace

uint8_t WriteRtf(TSaveContext& context) {
  if (context.Doc == nullptr) return 2;
  try {
    if (context.Options.Format == dfEncrypted) return WriteEncrypted(context);
    TRtfWriteState w(context);
    WriteDocument(w);
    if (!context.ToMemory()) FlushOutput(context);
    return 0;
  } catch (const std::exception&) {
    return 2;
  }
}

}  // namespace qv

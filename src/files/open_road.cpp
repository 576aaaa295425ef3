#include "files/open_road.h"

#include <unistd.h>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/par.h"
#include "document/section.h"
#include "document/styles.h"
#include "files/doc_formats.h"
#include "files/document_road_services.h"
#include "files/file_services.h"
#include "files/format_probe.h"
#include "files/office_xml_services.h"
#include "files/open_context.h"
#include "files/post_load_steps.h"
#include "files/reader_steps.h"
#include "files/rtf/rtf_reader.h"
#include "files/save_dispatcher.h"
#include "files/text/plain_text_reader.h"
#include "files/web_format_services.h"
#include "files/word_binary_services.h"
#include "files/write/write_reader.h"
#include "foundation/base/exceptions.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {
namespace {

constexpr uint16_t kCursorPositionOption = 8;  // Load/Save flags bit 3

std::vector<uint8_t> ReadWholeFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file");
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool RunReader(TDoc& doc, TOpenContext& context, int32_t format, const TDoc* textTemplate) {
  const bool fromFile = context.Options.From == TDocOpeningOptions::Source::File;
  switch (format) {
    case dfRtf:
    case dfEncrypted:
      if (!ReadRtf(context)) return false;
      // The notes and the headers and footers the reader collected follow the main text.
      AppendReadStories(context);
      return true;
    case dfDoc: return WordBinaryServices().ReadDoc(context);
    case dfDocx: return OfficeXmlServices().ReadDocx(context);
    case dfOdt: return OfficeXmlServices().ReadOdt(context);
    case dfHtml: return WebFormatServices().ReadHtml(context);
    default: break;
  }
  std::vector<uint8_t> bytes;
  if (fromFile) bytes = ReadWholeFile(context.OpenedName);
  else if (context.Options.Block != nullptr && context.Options.Length > 0)
    bytes.assign(context.Options.Block, context.Options.Block + context.Options.Length);
  if (format == dfWrite) return ReadWri(doc, bytes.data(), bytes.size()).Ok;
  TTxtReadOptions txt;
  txt.FileName = context.Options.FileName;
  txt.FromFile = fromFile;
  txt.Template = textTemplate;
  return ReadTxt(doc, bytes.data(), bytes.size(), txt).Ok;
}

// OpenDocumentFile: a file that cannot be written is opened for reading only; one that cannot
// be opened at all is offered with Retry and Cancel.
bool OpenDocumentFile(TDoc& doc, TOpenContext& context) {
  const std::string& name = context.Options.FileName;
  for (;;) {
    try {
      context.BeginFileRead(name);
      if (DocumentRoadServices().OpenReadOnlyRequested() || ::access(name.c_str(), W_OK) != 0)
        doc.FileState.ReadOnly = true;
      context.OpenedName = name;
      return true;
    } catch (const EAbort&) {
      return false;
    } catch (const std::exception&) {
      MessageDlgInfo().DefaultButton = mbRetry;
      const int32_t answer =
          ShowMessageDlg(FormatMessageText("Cannot open file \"%s\".", {name}), mkError,
                         ButtonBit(mbRetry) | ButtonBit(mbCancel));
      if (answer != mrRetry) return false;
    }
  }
}

// The format check of a file: detection for "detect" and HTML, the probe and the offer to detect
// the real format otherwise. dfRefused when the file is refused.
int32_t CheckFormat(TDoc& doc, TOpenContext& context, int32_t format) {
  if (format > dfText && format != dfHtml) return DetectFileFormat(context);
  if (format == dfHtml) return ProbeFileFormat(dfHtml, context) ? dfHtml : DetectFileFormat(context);
  if (ProbeFileFormat(format, context)) return format;
  if (doc.FileState.NoDetectionOffer) return dfRefused;
  const std::string text = FormatMessageText(
      "File \"%s\" is not a valid file in format \"%s\". Attempt to detect real format of the "
      "file?",
      {context.Options.FileName, DocFormatName(format)});
  if (ShowMessageDlg(text, mkWarning, ButtonBit(mbYes) | ButtonBit(mbNo)) != mrYes) return dfRefused;
  return DetectFileFormat(context);
}

void TakeTemplate(TDoc& doc, const TDoc& templ) {
  if (templ.Styles != nullptr && doc.Styles != nullptr) doc.Styles->Assign(*templ.Styles);
  if (!templ.Sections.empty() && !doc.Sections.empty())
    doc.Sections.front()->AssignFormat(*templ.Sections.front());
  doc.ZoomPercent = templ.ZoomPercent;
  doc.View.ZoomMode = templ.View.ZoomMode;
}

bool EndsParagraph(uint8_t code, bool tableFragment) {
  return code == scParagraphEnd || code == scRowEnd || (tableFragment && code == scCellEnd);
}

// The final paragraph: an empty last paragraph after one that does not end a section is merged
// into it, and a full document ends in a paragraph mark.
int32_t FinishLastParagraph(TDoc& doc, int32_t format) {
  int32_t count = doc.StoryCounts[stMain];
  const int32_t lastIndex = doc.LastParagraphOfStory(stMain);
  if (lastIndex > 0 && doc.Par(lastIndex)->CharCount() == 0) {
    TPar& before = *doc.Par(lastIndex - 1);
    if (before.CharCount() == 0 || before.CodeAt(before.CharCount() - 1) != scSectionEnd) {
      before.Content.AppendMemory(doc.Par(lastIndex)->Content);
      before.RebuildCodes();
      before.ContentChanged();
      doc.RemoveParagraph(lastIndex);
      --count;
    }
  }
  TPar& last = *doc.Par(doc.LastParagraphOfStory(stMain));
  NormalizeParagraphTags(last);
  const bool ended = last.CharCount() > 0 &&
                     EndsParagraph(last.CodeAt(last.CharCount() - 1), doc.FileState.TableFragment);
  if (!ended) {
    if (doc.FileState.FullDocument || !doc.Hidden) {
      if (last.CharCount() > 0 && last.CodeAt(last.CharCount() - 1) == scSectionEnd) {
        const int32_t at = last.CharToStreamOffset(last.CharCount() - 1);
        last.Content.SetLength(at);
      }
      AppendContentTag(last.Content, ctSpecialChar, scParagraphEnd);
      last.Format.InTable = 0;
      last.RebuildCodes();
      last.ContentChanged();
    } else {
      --count;
    }
  } else if (DocumentRoadServices().LeaveOutFinalParagraphMark() && format < dfText &&
             last.CodeAt(last.CharCount() - 1) == scParagraphEnd) {
    last.Content.SetLength(last.CharToStreamOffset(last.CharCount() - 1));
    last.RebuildCodes();
    last.ContentChanged();
    --count;
  }
  return count;
}

void FinishSections(TDoc& doc) {
  if (doc.Sections.empty()) return;
  const TPageParams& first = doc.Sections.front()->PageParams;
  for (auto& s : doc.Sections) {
    TPageParams& p = s->PageParams;
    if (s != doc.Sections.front()) {
      p.Mirror = first.Mirror;
      p.DiffOddEven = first.DiffOddEven;
      s->Endnotes.Position = doc.Sections.front()->Endnotes.Position;
    }
    p.LeftMargin = std::max(0, p.LeftMargin);
    p.RightMargin = std::max(0, p.RightMargin);
    p.TopMargin = std::max(0, p.TopMargin);
    p.BottomMargin = std::max(0, p.BottomMargin);
  }
}

void PlaceCaret(TDoc& doc) {
  const TDocFileState& state = doc.FileState;
  const bool keep = (GetOptions().LoadSave.Flags & kCursorPositionOption) != 0 || state.VadureVavi;
  int32_t par = 0;
  int32_t offset = 0;
  if (keep && state.StoredCaretPar >= 0) {
    const int32_t last = std::max(doc.LastParagraphOfStory(stEndnotes),
                                  doc.LastParagraphOfStory(stMain));
    par = std::clamp(state.StoredCaretPar, 0, last);
    offset = std::clamp(state.StoredCaretOffset, 0, std::max(0, doc.ParLength(par) - 1));
  }
  doc.Caret = {par, offset, 0, 0};
  doc.SelectionAnchor = doc.Caret;
}

void RunPostLoadSteps(TDoc& doc, const TPostLoadInfo& info) {
  ResolveStyles(doc, info);
  if (info.Format == dfRtf || info.Format == dfDoc || info.Format == dfEncrypted)
    ResolveLists(doc, info);
  FixListLevels(doc);
  RetrieveLinkedPictures(doc);
  ResolveNoteReferenceMarks(doc);
  PlaceCaret(doc);
  FixShapes(doc, info);
  if (doc.FileState.TablesRead || !doc.TableRows.empty()) FixTables(doc, info);
}

void SetUpView(TDoc& doc) {
  if (doc.Hidden) return;
  {
    // The lists get their numbers and bullets once, before anything is laid out.
    TScopedDocFlag suspended(doc, dfLayoutSuspended);
    doc.RenumberLists();
  }
  for (auto& s : doc.Sections) ClampPageParams(s->PageParams);
  if (doc.FileState.NoViewSetup) return;
  const int32_t zoom = DocumentRoadServices().DefaultZoom();
  if (zoom > 0) doc.SetZoomState(zoom, 0);
  else if (zoom < 0) doc.SetZoomState(doc.ZoomPercent, static_cast<uint8_t>(-zoom));
}

}  // namespace

uint8_t DocOpen(TDoc& doc, TDocOpeningOptions& options) {
  const bool fromFile = options.From == TDocOpeningOptions::Source::File;
  TFileServices& files = FileServices();
  TOpenContext context;
  context.Document = &doc;
  context.Options = options;
  int32_t format = options.FormatIndex;
  bool progress = false;
  std::unique_ptr<TDoc> textTemplate;
  uint8_t result = 0;
  try {
    if (fromFile) {
      if (!OpenDocumentFile(doc, context)) {
        options.FormatIndex = dfRefused;
        return 0;
      }
      progress = !MessagesSuppressed;
      if (progress)
        files.BeginProgress(context.FileSize,
                            FormatMessageText("Loading document \"%s\" ...", {options.FileName}));
      format = CheckFormat(doc, context, format);
      if (format == dfRefused) {
        if (progress) files.EndProgress();
        options.FormatIndex = dfRefused;
        return 0;
      }
      doc.FormatIndex = format;
      if (format == dfEncrypted) context.RestartRead();
      const bool inTemplates = doc.IsTemplate();
      if (format >= dfWrite && !inTemplates) {
        textTemplate = DocumentRoadServices().LoadDefaultTemplate(format);
        if (textTemplate != nullptr) TakeTemplate(doc, *textTemplate);
      }
    } else {
      doc.FormatIndex = format;
      context.BeginMemoryRead(options.Block, options.Length, format);
    }
    context.Options.FormatIndex = format;
    result = RunReader(doc, context, format, textTemplate.get()) ? 1 : 0;
  } catch (const std::exception&) {
    result = 0;
  }
  if (result != 0) {
    try {
      if (fromFile && !doc.FileState.RestoredFromSafeCopy) doc.FileName = options.FileName;
      if (fromFile) {
        doc.FileState.HoldsFile = !doc.FileState.ReadOnly && !doc.FileState.WorkingCopy &&
                                  !DocumentRoadServices().IsRemovableDrive(options.FileName);
        std::error_code ec;
        doc.FileState.FileSize = static_cast<int64_t>(std::filesystem::file_size(options.FileName, ec));
      }
      FinishSections(doc);
      TPostLoadInfo info;
      info.Format = format;
      info.OwnSettingsStyles = context.StylesOwnSettingsOnly;
      info.ListsFromTable = context.ListsFromListTable;
      info.FullDocument = doc.FileState.FullDocument || !doc.Hidden;
      FinishLastParagraph(doc, format);
      RunPostLoadSteps(doc, info);
      doc.ResetPageLayout();
      SetUpView(doc);
    } catch (const std::exception&) {
      result = 0;
    }
  }
  if (result == 0) {
    options.FormatIndex = dfRefused;
    if (fromFile) {
      if (!doc.FileState.ErrorReported)
        ShowError(FormatMessageText("Error opening document \"%s\".", {options.FileName}));
      doc.FileState.ErrorReported = false;
    }
  } else {
    options.FormatIndex = format;
  }
  if (progress) files.EndProgress();
  return result;
}

}  // namespace qv

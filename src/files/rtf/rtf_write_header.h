#pragma once
// The header groups of an RTF document: font, colour and style tables, the list tables with
// picture bullets, the generator and info groups and the document settings.
namespace qv {

class TRtfWriteState;
class TStyle;
struct TListLevel;
class TAutoList;

void WriteRtfFontTable(TRtfWriteState& w);
void WriteRtfColorTable(TRtfWriteState& w);
void WriteRtfStyleSheet(TRtfWriteState& w);
void WriteRtfStyle(TRtfWriteState& w, TStyle& style, int index);
void WriteRtfKeyCode(TRtfWriteState& w, unsigned keyCode);
void WriteRtfListTables(TRtfWriteState& w);
void WriteRtfInfo(TRtfWriteState& w);
void WriteRtfDocSettings(TRtfWriteState& w);

}  // namespace qv

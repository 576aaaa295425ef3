#pragma once
// Helpers of the table and section operation tests: a document with the engine and the table
// provider registered, tables built from cell texts, a picture of a table as text, and a dump of
// the whole document with every row's data block to prove undo and redo exact.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "document/doc_builder.h"
#include "edit_test_support.h"
#include "editing/edit_codes.h"
#include "editing/edit_operation_providers.h"
#include "editing/table_edit_providers.h"
#include "editing/table_records.h"

namespace qv {

struct TTableEngineScope {
  TEngineScope Engine;
  ScopedService<TEditOperationProviders> Providers{MakeTableEditProviders()};
};

// "before", a table of the rows (each cell one paragraph; '+' in a cell text separates
// paragraphs of the cell), "after". Cells are `width` twips wide.
inline void BuildTable(TDoc& doc, const std::vector<std::vector<std::string>>& rows,
                       int32_t width = 2000, bool surround = true) {
  TDocBuilder b(doc);
  if (surround) b.Add("before");
  for (const auto& cells : rows) {
    auto row = std::make_unique<TTableRow>();
    row->CellCount = static_cast<int32_t>(cells.size());
    TParFormat cellFormat = DefaultParFormat;
    cellFormat.InTable = 1;
    b.Format = cellFormat;
    for (size_t i = 0; i < cells.size(); ++i) {
      row->Cells[i].Right = width * static_cast<int32_t>(i + 1);
      std::string text = cells[i];
      size_t at;
      while ((at = text.find('+')) != std::string::npos) {
        b.Add(text.substr(0, at));
        text = text.substr(at + 1);
      }
      b.Add(text, stMain, scCellEnd);
    }
    TTableRow* r = doc.AddTableRow(std::move(row));
    TMemory s;
    AppendContentTag(s, ctRowEnd, TagRefOf(r));
    TPar* p = doc.AppendParagraph(stMain, TableParFormat);
    p->Content = s;
    p->RebuildCodes();
    p->ContentChanged();
  }
  b.Format = DefaultParFormat;
  if (surround) b.Add("after");
  b.Finish();
}

// The first paragraph of the first table, -1 when there is none.
inline int32_t FirstTablePar(const TDoc& doc) {
  for (int32_t i = 0; i < doc.ParCount(); ++i)
    if (doc.Par(i)->Format.InTable == 1) return i;
  return -1;
}

inline std::string ParText(const TDoc& doc, int32_t par) {
  const TPar& p = *doc.Par(par);
  std::string s;
  for (int32_t c = 0; c + 1 < p.CharCount(); ++c) s.push_back(static_cast<char>(p.CodeAt(c)));
  return s;
}

// The tables of the main text as text: rows separated by "/", cells by "|", paragraphs of a
// cell by "+", an empty cell "_"; text outside tables in brackets; "*" marks a continuation
// cell, "^" a merge start.
inline std::string TableText(TDoc& doc) {
  std::string out;
  const int32_t last = doc.LastParagraphOfStory(stMain);
  for (int32_t p = 0; p <= last;) {
    if (doc.Par(p)->Format.InTable != 1) {
      out += "[" + ParText(doc, p) + "]";
      ++p;
      continue;
    }
    std::string row;
    const TTableRow* props = doc.GetRowProps(p);
    int32_t cell = 0;
    while (p <= last && doc.Par(p)->Format.InTable == 1 && !doc.IsRowEndPar(p)) {
      TDocRange r;
      doc.GetCellRange(p, r);
      if (cell > 0) row += "|";
      if (props != nullptr && cell < props->CellCount) {
        if (props->Cells[static_cast<size_t>(cell)].IsContinuation()) row += "*";
        else if (props->Cells[static_cast<size_t>(cell)].MergeStart) row += "^";
      }
      std::string text;
      for (int32_t k = r.Start.Par; k <= r.End.Par; ++k) {
        if (k > r.Start.Par) text += "+";
        text += ParText(doc, k);
      }
      row += text.empty() ? "_" : text;
      p = r.End.Par + 1;
      ++cell;
    }
    out += row + "/";
    ++p;  // the row-end paragraph
    if (p > last || doc.Par(p)->Format.InTable != 1) out += " ";
  }
  return out;
}

// The Right of every cell of every row of the table at the paragraph, rows separated by "/".
inline std::string RowGeometry(TDoc& doc, int32_t par) {
  std::vector<TTableRow*> rows;
  TDocRange t;
  doc.GetTableRows(par, rows, t);
  std::string s;
  for (const TTableRow* r : rows) {
    s += std::to_string(r->Left);
    for (int32_t i = 0; i < r->CellCount; ++i) s += "," + std::to_string(r->Cells[static_cast<size_t>(i)].Right);
    s += "/";
  }
  return s;
}

// DumpDoc with every row's data block in paragraph order.
inline std::string TableDump(TDoc& doc) {
  std::string out = DumpDoc(doc);
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    if (!doc.IsRowEndPar(i)) continue;
    const TTableRow* row = doc.GetRowProps(i);
    out += "R" + std::to_string(i);
    if (row == nullptr) {
      out += " none\n";
      continue;
    }
    for (int32_t k = 0; k < RowValueSlotCount(); ++k) out += " " + std::to_string(GetRowValue(*row, k));
    out += "\n";
  }
  return out;
}

// Runs the edit, then checks that undo gives back the state before and redo the state after.
inline void ExpectUndoRedoExact(TDoc& doc, const std::function<void()>& edit) {
  const std::string before = TableDump(doc);
  const int32_t position = doc.UndoPosition;
  edit();
  ASSERT_GT(doc.UndoPosition, position) << "the edit recorded nothing";
  const std::string after = TableDump(doc);
  const int32_t done = doc.UndoPosition;
  while (doc.UndoPosition > position) {
    const int32_t at = doc.UndoPosition;
    doc.Undo();
    if (doc.UndoPosition == at) break;
  }
  EXPECT_EQ(TableDump(doc), before) << "undo";
  while (doc.UndoPosition < done) {
    const int32_t at = doc.UndoPosition;
    doc.Redo();
    if (doc.UndoPosition == at) break;
  }
  EXPECT_EQ(TableDump(doc), after) << "redo";
}

// Runs model code as one undoable operation of its own (as the commands do outside the
// dispatcher).
inline void RunInOperation(TDoc& doc, const std::function<void()>& body) {
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 62);
  doc.BeginOperation(op.get());
  body();
  doc.EndOperation();
  doc.PostEditUpdate();
  doc.CommitOperation(std::move(op));
}

inline void Edit(TDoc& doc, uint8_t code, std::vector<void*> args = {}) {
  doc.ExecuteEdit(code, args.empty() ? nullptr : args.data(), static_cast<int32_t>(args.size()) - 1);
}

}  // namespace qv

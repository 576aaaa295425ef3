#pragma once
// Builds content streams for tests: text runs and tags in the order given.
#include <string>

#include "document/content_tags.h"
#include "document/par.h"

using namespace qv;

struct TStreamBuilder {
  TMemory s;
  TStreamBuilder& Text(const std::string& t) {
    s.AppendString(t);
    return *this;
  }
  TStreamBuilder& Tag(uint8_t kind, int32_t value) {
    AppendContentTag(s, kind, value);
    return *this;
  }
  // A tag naming an object (a TSection, TField, TShape or TTableRow).
  template <class T>
  TStreamBuilder& Ref(uint8_t kind, const T* object) {
    return Tag(kind, TagRefOf(object));
  }
  TStreamBuilder& End() { return Tag(ctSpecialChar, scParagraphEnd); }
  std::string Bytes() const { return s.ToString(); }
  // Puts the stream into a paragraph with its codes.
  void Into(TPar& par) const {
    par.Content = s;
    par.RebuildCodes();
    par.ContentChanged();
  }
};

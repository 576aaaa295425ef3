#pragma once
// A paragraph set up for line fitting with real fonts (Liberation faces) and the layout's line
// fitter registered with the paragraph line breaker.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "document/content_tags.h"
#include "document/line.h"
#include "document/par.h"
#include "document/par_breaking.h"
#include "document/tab_stops.h"
#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"
#include "layout/hyphenation_service.h"
#include "layout/inline_shape_service.h"
#include "layout/line_fitter.h"

using namespace qv;

class LayoutTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  }
  void SetUp() override {
    fitter_.emplace(MakeLayoutLineFitter());
    LayoutLineFitter().Settings = TLayoutSettings{};
    serif = FontManager()->FontIndex("Liberation Serif", kAnyCharset, true);
    sans = FontManager()->FontIndex("Liberation Sans", kAnyCharset, true);
    par = std::make_unique<TPar>(nullptr);
    par->Format = DefaultParFormat;
  }
  void TearDown() override {
    par.reset();
    fitter_.reset();
  }
  std::optional<ScopedService<TLineFitter>> fitter_;

  // Starts the stream with a font and size (half-points).
  TMemory& Start(int32_t font, int32_t size = 24) {
    stream.Clear();
    AppendContentTag(stream, ctFont, font);
    AppendContentTag(stream, ctSize, size);
    return stream;
  }
  void Text(const std::string& t) { stream.AppendString(t); }
  void Special(uint8_t code) { AppendContentTag(stream, ctSpecialChar, code); }
  // Ends the paragraph and puts the stream into it.
  void Finish() {
    Special(scParagraphEnd);
    par->Content = stream;
    par->RebuildCodes();
    par->ContentChanged();
  }
  void Break(int32_t width) { BreakParagraphIntoLines(*par, 0, width, nullptr); }
  TLine& Line(size_t i) { return *par->Lines.at(i); }
  size_t LineCount() const { return par->Lines.size(); }
  // The line's characters: text bytes as they are, special characters as their codes.
  std::string LineText(size_t i) {
    const TLine& l = Line(i);
    std::string s;
    for (int32_t c = l.FirstChar; c < l.FirstChar + l.Count; ++c) s.push_back(static_cast<char>(par->CodeAt(c)));
    return s;
  }
  // Twips a line must offer for the first `chars` characters of a single unbroken line.
  int32_t WidthOfFirst(int32_t chars) {
    Break(1000000);
    const int32_t x = Line(0).Positions.at(static_cast<size_t>(chars));
    return LayoutXToTwips(x, LayoutLineFitter().Settings);
  }
  const TLayoutSettings& S() { return LayoutLineFitter().Settings; }

  std::unique_ptr<TPar> par;
  TMemory stream;
  int32_t serif = 0;
  int32_t sans = 0;
};

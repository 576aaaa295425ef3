// A document window on the real X11 backend for the smoke tests:
//   doc_window_demo FILE WORD   opens the text file in a document window at the screen's top-left,
//                               prints "ready X Y" with the screen point of the middle of the
//                               paragraph's word number WORD (from 0), then waits (at most 15 s)
//                               for the mouse to select something and prints "selected: TEXT".
// Exit code 0 when something was selected, 1 otherwise, 2 when no X display could be used.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <thread>

#include "app/program_services.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/ui/application.h"
#include "layout/box.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/line_painter.h"
#include "platform/win/window.h"
#include "platform/win/window_system.h"

using namespace qv;

namespace {

void Settle(int rounds) {
  for (int i = 0; i < rounds; ++i) {
    plat::PumpPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
}

// The offset of the word's middle character in the paragraph.
int32_t WordMiddle(const TPar& par, int32_t word) {
  int32_t index = 0, start = -1;
  for (int32_t i = 0; i <= par.CharCount(); ++i) {
    const bool letter = i < par.CharCount() && par.CodeAt(i) > ' ';
    if (letter && start < 0) start = i;
    if (!letter && start >= 0) {
      if (index == word) return (start + i) / 2;
      ++index;
      start = -1;
    }
  }
  return 0;
}

int Run(const std::string& file, int32_t word) {
  plat::Window host;
  plat::CreateParams p;
  p.bounds = {0, 0, 800, 600};
  p.style = plat::WS_POPUP | plat::WS_VISIBLE;
  host.Create(p);
  TDocForm form;
  std::string error;
  if (!form.OpenFile(file, error)) {
    std::fprintf(stderr, "doc_window_demo: %s\n", error.c_str());
    return 1;
  }
  if (!form.CreateForm(host.Handle(), {0, 0, 800, 600})) return 1;
  plat::SetFocus(form.Handle());
  Settle(20);
  TDoc& doc = form.Doc();
  TDocPosition at{0, WordMiddle(*doc.Par(0), word), 0, 0};
  EnsureLaidOut(doc, at, true);
  TLine& line = *doc.Par(0)->Lines[static_cast<size_t>(at.Line)];
  const plat::Point origin = BoxToViewPoint(*line.Box, {0, doc.TwipsToPixelsY(line.Top)});
  const int32_t x = origin.x + (LineTextX(line, at.Offset - line.FirstChar) + LineTextX(line, at.Offset - line.FirstChar + 1)) / 2;
  const plat::Point client = form.DocToClient({x, origin.y + LineHeightPixels(line) / 2});
  const plat::Point screen = plat::ClientToScreen(form.Handle(), client);
  std::printf("ready %d %d\n", screen.x, screen.y);
  std::fflush(stdout);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  while (std::chrono::steady_clock::now() < end) {
    Settle(1);
    // A double click ends with its release: wait until no gesture runs.
    if (doc.HasSelection() && (form.Flags & TDocForm::MouseBusyFlags) == 0) break;
  }
  if (!doc.HasSelection()) {
    std::printf("nothing selected\n");
    return 1;
  }
  const TDocRange& r = *doc.Selection->GetRange(0);
  std::printf("selected: %s\n", doc.GetRangeText(r).c_str());
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: doc_window_demo FILE WORD\n");
    return 1;
  }
  try {
    plat::StartWindowSystem({plat::BackendKind::X11});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "doc_window_demo: %s\n", e.what());
    return 2;
  }
  int code = 1;
  try {
    GetApp();
    RegisterProgramServices();
    if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
    code = Run(argv[1], std::stoi(argv[2]));
    UnregisterProgramServices();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "doc_window_demo: %s\n", e.what());
  }
  FreeApp();
  plat::StopWindowSystem();
  return code;
}

// The Save As dialog of the shell: choosing another type gives the name in the dialog's box the
// extension of that type's format.
#include "shell/document_save.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/controls/dialogs/file_dialog.h"
#include "shell/doc_file_names.h"
#include "support/test_env.h"

using namespace qv;

namespace {

TEST(SaveDialog, AnotherTypeGivesTheNameItsExtension) {
  const struct {
    const char* name;
    int32_t filterIndex;  // RTF, DOC, DOCX, COD, TXT
    const char* expected;
  } cases[] = {
      {"Letter.rtf", 5, "Letter.txt"},
      {"Hello world..rtf", 2, "Hello world..doc"},
      {"Report", 3, "Report.docx"},
      {"notes.d/Report", 1, "notes.d/Report.rtf"},
      {"Secret.txt", 4, "Secret.cod"},
      {"", 5, ""},
  };
  for (const auto& c : cases) {
    plat::FileDialog dialog(true);
    dialog.Filter = SaveDocumentFilter();
    dialog.SetInitialDir(qvtest::MakeTempDir("save-dialog"));
    dialog.FilterIndex = c.filterIndex == 1 ? 5 : 1;
    dialog.OnTypeChange = &SaveDialogTypeChanged;
    dialog.Begin();
    dialog.SetFileNameText(c.name);
    dialog.ChooseFilter(c.filterIndex);
    EXPECT_EQ(dialog.FileNameText(), c.expected) << c.name;
    dialog.End(false);
  }
}

}  // namespace

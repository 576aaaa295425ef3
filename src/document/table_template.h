#pragma once
// The default table template: new tables copy the rows of the first table of the file
// "Default Table.rtf" in the templates folder.
#include <memory>
#include <vector>

#include "document/char_format.h"
#include "document/par_format.h"
#include "document/table_row.h"
#include "foundation/base/memory.h"

namespace qv {

inline constexpr const char* DefaultTableTemplateName = "Default Table.rtf";

// One record of the template's format buffer: the paragraph format of a paragraph of the table
// and the character format in force at its start.
inline constexpr int32_t TableTemplateRecordSize =
    static_cast<int32_t>(sizeof(TParFormat) + sizeof(TCharFormat));

// Copies of the rows of the template's first table (an empty list without a template or a
// table in it). With a format buffer, the buffer is sized to one record per paragraph of that
// table, and each cell of the copies refers to the record of its first paragraph: Scratch1 holds
// the byte offset of the record's paragraph format, Scratch2 that of its character format. The
// buffer is left alone when there is no table.
std::vector<std::unique_ptr<TTableRow>> LoadDefaultTableTemplate(TMemory* formats);

}  // namespace qv

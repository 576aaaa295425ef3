#pragma once
// The editing engine's answers to what field updates, hyperlinks, tables of contents, indexes
// and the built-in style imports ask of it (document/field_edit_services.h), and the provider of
// the edit action codes of fields, bookmarks, hyperlinks, tables of contents and indexes.
#include <memory>

namespace qv {

class TEditOperationProviders;
class TFieldEditServices;

std::unique_ptr<TFieldEditServices> MakeFieldEditServices();
// Codes 28 to 42 and 80: bookmarks, index entries, field instructions, hyperlinks, tables of
// contents, fields and their update, and indexes.
std::unique_ptr<TEditOperationProviders> MakeFieldEditProviders();

}  // namespace qv

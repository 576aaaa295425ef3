#pragma once
// The operations of edit action codes that other parts of the editing engine and the document
// model provide: text insertion and typing, deletion and replacement, paragraph operations,
// case conversion, symbols, page numbers and envelopes, paste and the Vadure Vavi, hyphenation,
// pictures, default language and AutoCorrect (codes 12 to 26, 46 to 49, 56, 83, 84), and the
// document-model operations on fields, bookmarks, hyperlinks, indexes, tables of contents,
// sections, lists, notes, tables, document properties, locked selections, shapes and drop caps
// (codes 27 to 45, 50 to 55, 57 to 82, 85, 86). Each registers its provider; the default
// provides none, so such a code records nothing.
#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

class TDoc;

// The arguments of an edit action code: argument i as a T (null when the call passed fewer), and
// its value or the fallback.
template <class T>
T* OperationArg(void* const* args, int32_t lastIndex, int32_t i) {
  return args != nullptr && i <= lastIndex ? static_cast<T*>(args[i]) : nullptr;
}

template <class T>
T OperationArgValue(void* const* args, int32_t lastIndex, int32_t i, T fallback) {
  const T* p = OperationArg<T>(args, lastIndex, i);
  return p ? *p : fallback;
}

class TEditOperationProviders {
 public:
  virtual ~TEditOperationProviders() = default;
  // Runs the code's operation inside the open operation; false when no provider knows the code.
  virtual bool RunOperation(TDoc& /*doc*/, uint8_t /*code*/, void* const* /*args*/,
                            int32_t /*lastIndex*/) {
    return false;
  }
  // Runs the code's follow-up after its commit (chained to it); nothing by default.
  virtual void RunChain(TDoc& /*doc*/, uint8_t /*code*/, void* const* /*args*/,
                        int32_t /*lastIndex*/) {}
};

// The providers of every area, each asked in turn: the program registers one list holding each
// area's provider (editing/editing_services.cpp), so areas never replace one another.
class TEditOperationProviderList : public TEditOperationProviders {
 public:
  void Add(std::unique_ptr<TEditOperationProviders> provider);
  // The first provider that knows the code runs it.
  bool RunOperation(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex) override;
  // Every provider is offered the follow-up; each acts on its own codes only.
  void RunChain(TDoc& doc, uint8_t code, void* const* args, int32_t lastIndex) override;

 private:
  std::vector<std::unique_ptr<TEditOperationProviders>> providers_;
};

void RegisterEditOperationProviders(std::unique_ptr<TEditOperationProviders> providers);
TEditOperationProviders& EditOperationProviders();

}  // namespace qv

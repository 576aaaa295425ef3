#pragma once
// The properties of a document: eight descriptive texts the user edits (title, subject ...) and
// the automatic properties the program and the file formats keep (times, last author, revision,
// stored size). Readers and writers of the file formats fill and store them, fields show them,
// and the statistics message prints the automatic ones.
#include <array>
#include <cstdint>
#include <string>

namespace qv {

struct TAutoDocProps {
  std::u16string LastSavedBy;
  double Created = 0;   // days since 30 December 1899, time of day as fraction
  double Modified = 0;  // 0 when not recorded
  double Printed = 0;   // 0 when not recorded
  int32_t StoredSize = 0;              // the file size in bytes as recorded
  std::array<int32_t, 4> Values = {};  // further automatic properties of the file formats
  int32_t RevisionNumber = 0;
  std::u16string Text;                 // a further automatic property of the file formats
  bool operator==(const TAutoDocProps&) const = default;
};

struct TDocProps {
  // At most this many characters a text in the Document Properties dialog.
  static constexpr int32_t MaxTextLength = 2048;

  std::u16string Title;
  std::u16string Subject;
  std::u16string Author;
  std::u16string Manager;
  std::u16string Company;
  std::u16string Category;
  std::u16string Keywords;
  std::u16string Comments;  // may hold several lines
  TAutoDocProps AutoProps;

  // The eight descriptive texts in their fixed order.
  std::array<std::u16string*, 8> Texts();
  std::array<const std::u16string*, 8> Texts() const;
  // Exchanges the eight descriptive texts with another record; the automatic properties of both
  // stay where they are (the undoable property change swaps a saved copy this way).
  void SwapDescriptive(TDocProps& other);
  bool operator==(const TDocProps&) const = default;
};

// Shows the Document Properties dialog filled from the record; on OK writes the eight texts back
// and answers true; on Cancel leaves the record alone and answers false.
bool EditDocProperties(TDocProps& props);

}  // namespace qv

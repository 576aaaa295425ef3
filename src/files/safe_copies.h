#pragma once
// Safe copies: crash-recovery copies of open documents ("~Qvr" names with the extension qvs in
// the temporary folder), written every few minutes while a document has unsaved changes and
// deleted when it is saved or closed.
namespace qv {

class TDoc;

// TDoc.MakeSafeCopy: writes or refreshes the safe copy when one is due. A refresh replaces the
// previous copy only once the new one is complete.
void DocMakeSafeCopy(TDoc& doc);
// Deletes the document's safe copy (after a save, or when the document closes).
void DocDeleteSafeCopy(TDoc& doc);

}  // namespace qv

#pragma once
// How the process keeps heap memory it has freed.
//
// A document keeps its text in many small blocks (a paragraph object, its content stream and its
// character codes each). By default the C library hands freed memory at the top of the heap back
// to the system as soon as a little of it is free, so closing a large document and opening the
// next one, or reading one paste document after another, has every page of the new document
// faulted in afresh. On systems where a page fault is dear (virtual machines with shadow page
// tables above all) that costs more than the reading itself. The program therefore keeps freed
// memory up to a limit for the next document, and takes blocks of up to 32 MB from the heap too
// (so that large read buffers are reused instead of being mapped and unmapped each time).
#include <cstddef>

namespace plat {

// Keeps up to `bytes` of freed memory at the top of the heap before any is handed back.
void KeepFreedMemory(size_t bytes);

// The limit the program runs with.
constexpr size_t ProgramFreedMemoryKept = size_t{256} << 20;

}  // namespace plat

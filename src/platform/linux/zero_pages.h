#pragma once

#include <cstddef>

// Gives the memory pages inside [data, data + size) that hold only zero bytes back to the
// system; they read as zeros again and count as resident only once written. For long-lived,
// mostly empty tables (the graph buffers of adapters a run without a window never draws).
// Returns the number of bytes given back. Only for memory of the program's own heap.
std::size_t release_zero_pages(void* data, std::size_t size);

// Returns the heap's free memory to the system (after the start-up's temporary buffers).
void trim_heap();

// Lets go of the pages of program code and read-only data that are mapped from files and
// were never changed in memory (most of them run once, at start): they count as resident
// again only when used, read back from the file. Returns the bytes of the mappings let go.
std::size_t release_start_up_code();

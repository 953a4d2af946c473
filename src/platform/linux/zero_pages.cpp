#include "platform/linux/zero_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

std::size_t release_zero_pages(void* data, std::size_t size) {
    const long page_size = ::sysconf(_SC_PAGESIZE);
    if (page_size <= 0 || data == nullptr) return 0;
    const auto page = static_cast<std::uintptr_t>(page_size);
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + page - 1) / page * page;
    const std::uintptr_t end = (begin + size) / page * page;
    std::size_t released = 0;
    for (std::uintptr_t at = first; at + page <= end; at += page) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(at);
        if (bytes[0] != 0 || std::memcmp(bytes, bytes + 1, page - 1) != 0) continue;
        // Private anonymous memory reads as zeros after this, which is what it held.
        if (::madvise(reinterpret_cast<void*>(at), page, MADV_DONTNEED) == 0) released += page;
    }
    return released;
}

void trim_heap() { ::malloc_trim(0); }

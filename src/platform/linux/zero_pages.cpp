#include "platform/linux/zero_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

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

std::size_t release_start_up_code() {
    std::FILE* f = std::fopen("/proc/self/smaps", "re");
    if (f == nullptr) return 0;
    struct Range {
        std::uintptr_t begin, end;
    };
    std::vector<Range> clean;
    Range current{};
    bool candidate = false;
    char line[512];
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strchr(line, '\n') == nullptr) {
            // A line longer than the buffer (a long path): its mapping is left as it is, and
            // the rest of the line is no line of its own.
            candidate = false;
            for (int c = std::fgetc(f); c != EOF && c != '\n';) c = std::fgetc(f);
            continue;
        }
        unsigned long begin = 0, end = 0;
        char perms[8] = {};
        char path[2] = {};
        // A mapping's first line: "begin-end perms offset device inode path".
        if (std::sscanf(line, "%lx-%lx %7s %*s %*s %*s %1s", &begin, &end, perms, path) >= 3 &&
            std::strlen(perms) == 4) {
            // Only what is read from a file and never written: such pages read the same
            // from the file again when they are used.
            candidate = perms[1] == '-' && perms[3] == 'p' && path[0] == '/';
            current = {begin, end};
            continue;
        }
        unsigned long anonymous = 0;
        if (candidate && std::sscanf(line, "Anonymous: %lu kB", &anonymous) == 1) {
            // A page written once (relocations made read-only after) exists only in memory.
            if (anonymous == 0) clean.push_back(current);
            candidate = false;
        }
    }
    std::fclose(f);
    std::size_t released = 0;
    for (const Range& r : clean)
        if (::madvise(reinterpret_cast<void*>(r.begin), r.end - r.begin, MADV_DONTNEED) == 0) released += r.end - r.begin;
    return released;
}

#include "allocation_count.h"

#include <cstddef>

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);

bool countingAllocations = false;
long countedAllocations = 0;

// Every allocation of the process, from the program or from a library, passes here.
extern "C" void* malloc(std::size_t size) {
    if (countingAllocations) ++countedAllocations;
    return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t count, std::size_t size) {
    if (countingAllocations) ++countedAllocations;
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* memory, std::size_t size) {
    if (countingAllocations) ++countedAllocations;
    return __libc_realloc(memory, size);
}

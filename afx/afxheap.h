// The heap that the framework's strings and the tool's records draw from.
// One pair of functions, so a test build can link a heap that fails on demand.
#pragma once

#include <cstddef>

void* AfxAllocate(std::size_t size);  // nullptr when the memory cannot be had
void AfxRelease(void* block);

#pragma once

#include <cstddef>

// Watches every allocation through operator new of the test program that links this: how many
// there were and the largest one. Link zark_test_allocations only where that is wanted.
namespace zark::test {

long AllocationCount();
std::size_t LargestAllocation();
void ResetLargestAllocation();

}  // namespace zark::test

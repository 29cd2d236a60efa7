#include "link/rangecall.h"

#include <mutex>

namespace zark {
namespace {

std::mutex g_rangeMutex;
RangeCall g_rangeCall;

}  // namespace

void CallTheRange(const RangeCall& call) {
    std::lock_guard lock(g_rangeMutex);
    g_rangeCall = call;
}

RangeCall RangeCallNow() {
    std::lock_guard lock(g_rangeMutex);
    return g_rangeCall;
}

}  // namespace zark

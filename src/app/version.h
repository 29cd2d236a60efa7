#pragma once

namespace zark {

// The program's version as the About box shows it.
inline constexpr const char* kProgramVersion = "2.0.5";

}  // namespace zark

#pragma once

#include <optional>
#include <string>

namespace zark::test {

// Puts LC_NUMERIC on a German locale (decimal comma) while it lives, as Qt does at start-up on a
// German system. The system's de_DE.UTF-8 when it has one, else the one the build compiles from
// the Debian locale sources into the build tree (LOCPATH), so no root is needed.
class GermanNumericLocale final {
public:
    GermanNumericLocale();
    ~GermanNumericLocale();
    GermanNumericLocale(const GermanNumericLocale&) = delete;
    GermanNumericLocale& operator=(const GermanNumericLocale&) = delete;

    // Whether the locale is in force and its decimal point is a comma.
    bool active() const { return active_; }
    // Why it is not, for the failure message.
    const std::string& problem() const { return problem_; }

private:
    std::string previous_;
    std::optional<std::string> previousLocPath_;
    bool changedLocPath_ = false;
    bool active_ = false;
    std::string problem_;
};

}  // namespace zark::test

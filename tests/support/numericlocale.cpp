#include "support/numericlocale.h"

#include <clocale>
#include <cstdlib>
#include <cstring>

namespace zark::test {
namespace {

constexpr const char* kGerman = "de_DE.UTF-8";

}  // namespace

GermanNumericLocale::GermanNumericLocale() {
    previous_ = std::setlocale(LC_NUMERIC, nullptr);
    bool set = std::setlocale(LC_NUMERIC, kGerman) != nullptr;
#ifdef ZARK_TEST_LOCALE_DIR
    if (!set) {
        if (const char* path = std::getenv("LOCPATH")) previousLocPath_ = path;
        changedLocPath_ = true;
        ::setenv("LOCPATH", ZARK_TEST_LOCALE_DIR, 1);
        set = std::setlocale(LC_NUMERIC, kGerman) != nullptr;
    }
#endif
    if (!set) {
        problem_ = std::string("no ") + kGerman + " locale: install the Debian package 'locales' (scripts/bootstrap.sh) "
                   "and build again, the build compiles one into build/locales";
        return;
    }
    active_ = std::strcmp(std::localeconv()->decimal_point, ",") == 0;
    if (!active_) problem_ = std::string(kGerman) + " has no decimal comma";
}

GermanNumericLocale::~GermanNumericLocale() {
    std::setlocale(LC_NUMERIC, previous_.c_str());
#ifdef ZARK_TEST_LOCALE_DIR
    if (!changedLocPath_) return;
    if (previousLocPath_)
        ::setenv("LOCPATH", previousLocPath_->c_str(), 1);
    else
        ::unsetenv("LOCPATH");
#endif
}

}  // namespace zark::test

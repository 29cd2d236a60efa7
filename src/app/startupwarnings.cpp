#include "app/startupwarnings.h"

#include "app/warningsdialog.h"
#include "i18n/uistrings.h"

namespace zark {
namespace {
constexpr const char* kHideValue = "HideWarningAtStartup";
}

StartupWarnings::StartupWarnings() {
    LoadUiStrings();
    std::int32_t hide = 0;
    if (registry_.readInt(kHideValue, hide)) showAtStartup_ = hide == 0 ? 1 : 0;
}

StartupWarnings::~StartupWarnings() { registry_.writeInt(kHideValue, 1 - showAtStartup_); }

int StartupWarnings::Show() {
    if (sound_) sound_();
    WarningsDialog dialog(owner_);
    return dialog.Run();
}

}  // namespace zark

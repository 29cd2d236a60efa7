#pragma once

#include "diag/diagnostics.h"

namespace zark {

// Shows the program's messages in real message boxes over the active window. A message that
// arrives on another thread than the user interface's goes to the default output instead, as a
// message box can only be shown on that thread.
class QtMessageBoxSink final : public MessageBoxSink {
public:
    void ShowMessage(std::string_view title, std::string_view text, MessageIcon icon) override;
};

}  // namespace zark

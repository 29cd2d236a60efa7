#include "app/accelerators.h"

#include <Qt>
#include <algorithm>

#include "window/commandtable.h"

namespace zark {

std::vector<Accelerator> MainAccelerators() {
    std::vector<const CommandRow*> rows;
    for (const CommandRow& row : CommandTable())
        if (row.key.order > 0) rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const CommandRow* a, const CommandRow* b) { return a->key.order < b->key.order; });
    std::vector<Accelerator> table;
    for (const CommandRow* row : rows) table.push_back({row->key.flags, row->key.key, std::uint16_t(row->id)});
    return table;
}

int MatchAccelerator(std::span<const Accelerator> table, int virtualKey, bool control, bool shift, bool alt) {
    if (virtualKey <= 0) return 0;
    const std::size_t count = std::min(table.size(), kMaxMatchedAccelerators);
    for (std::size_t i = 0; i < count; ++i) {
        const Accelerator& entry = table[i];
        if (entry.key != virtualKey) continue;
        if (((entry.flags & kAccelControl) != 0) != control) continue;
        if (((entry.flags & kAccelShift) != 0) != shift) continue;
        if (((entry.flags & kAccelAlt) != 0) != alt) continue;
        return entry.command;
    }
    return 0;
}

int VirtualKeyOf(int qtKey, bool keypad) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return keypad ? kVkNumpad0 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return qtKey;  // the same codes
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return kVkF1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Backspace: return kVkBack;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return kVkTab;
        case Qt::Key_Return:
        case Qt::Key_Enter: return kVkReturn;
        case Qt::Key_Escape: return kVkEscape;
        case Qt::Key_Space: return kVkSpace;
        case Qt::Key_PageUp: return kVkPrior;
        case Qt::Key_PageDown: return kVkNext;
        case Qt::Key_End: return kVkEnd;
        case Qt::Key_Home: return kVkHome;
        case Qt::Key_Left: return kVkLeft;
        case Qt::Key_Up: return kVkUp;
        case Qt::Key_Right: return kVkRight;
        case Qt::Key_Down: return kVkDown;
        case Qt::Key_Insert: return kVkInsert;
        case Qt::Key_Delete: return kVkDelete;
        default: return 0;
    }
}

}  // namespace zark

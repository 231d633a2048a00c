#include "controller/SECEditKeyTable.h"

#include "controller/SECEditCommandIds.h"

namespace {
constexpr Qt::KeyboardModifiers None{};
constexpr Qt::KeyboardModifiers Shift{Qt::ShiftModifier};
constexpr Qt::KeyboardModifiers Ctrl{Qt::ControlModifier};
constexpr Qt::KeyboardModifiers Alt{Qt::AltModifier};
constexpr Qt::KeyboardModifiers ShiftCtrl{Qt::ShiftModifier | Qt::ControlModifier};
constexpr Qt::KeyboardModifiers ShiftAlt{Qt::ShiftModifier | Qt::AltModifier};
constexpr Qt::KeyboardModifiers Relevant{Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier};
} // namespace

SECEditKeyTable::SECEditKeyTable()
{
    m_entries = {
        {Qt::Key_W, ShiftCtrl, ID_EDIT_SELECT_WORD},
        {Qt::Key_Backspace, Ctrl, ID_EDIT_DELETE_WORD_BACK},
        {Qt::Key_Left, ShiftCtrl, ID_EDIT_WORD_LEFT_EXTEND},
        {Qt::Key_Left, Ctrl, ID_EDIT_WORD_LEFT},
        {Qt::Key_Right, Ctrl, ID_EDIT_WORD_RIGHT},
        {Qt::Key_Tab, None, ID_EDIT_TAB},
        {Qt::Key_Backspace, None, ID_EDIT_BACKSPACE},
        {Qt::Key_Return, None, ID_EDIT_NEWLINE},
        {Qt::Key_Enter, None, ID_EDIT_NEWLINE},
        {Qt::Key_Delete, Ctrl, ID_EDIT_DELETE_WORD},
        {Qt::Key_Delete, None, ID_EDIT_DELETE_CHAR},
        {Qt::Key_Right, ShiftCtrl, ID_EDIT_WORD_RIGHT_EXTEND},
        {Qt::Key_End, ShiftCtrl, ID_EDIT_DOC_END_EXTEND},
        {Qt::Key_Home, ShiftCtrl, ID_EDIT_DOC_START_EXTEND},
        {Qt::Key_End, Ctrl, ID_EDIT_DOC_END},
        {Qt::Key_Home, Ctrl, ID_EDIT_DOC_START},
        {Qt::Key_Insert, None, ID_EDIT_TOGGLE_OVERTYPE},
        {Qt::Key_Up, None, ID_EDIT_LINE_UP},
        {Qt::Key_Down, None, ID_EDIT_LINE_DOWN},
        {Qt::Key_Left, None, ID_EDIT_CHAR_LEFT},
        {Qt::Key_Right, None, ID_EDIT_CHAR_RIGHT},
        {Qt::Key_Up, Shift, ID_EDIT_LINE_UP_EXTEND},
        {Qt::Key_Down, Shift, ID_EDIT_LINE_DOWN_EXTEND},
        {Qt::Key_Left, Shift, ID_EDIT_CHAR_LEFT_EXTEND},
        {Qt::Key_Right, Shift, ID_EDIT_CHAR_RIGHT_EXTEND},
        {Qt::Key_PageUp, None, ID_EDIT_PAGE_UP},
        {Qt::Key_PageDown, None, ID_EDIT_PAGE_DOWN},
        {Qt::Key_PageUp, Shift, ID_EDIT_PAGE_UP_EXTEND},
        {Qt::Key_PageDown, Shift, ID_EDIT_PAGE_DOWN_EXTEND},
        {Qt::Key_Home, None, ID_EDIT_LINE_HOME},
        {Qt::Key_End, None, ID_EDIT_LINE_END},
        {Qt::Key_Home, Shift, ID_EDIT_LINE_HOME_EXTEND},
        {Qt::Key_8, ShiftCtrl, ID_EDIT_SHOW_WHITESPACE},
        // Shift+8 reports the shifted symbol on most layouts.
        {Qt::Key_Asterisk, ShiftCtrl, ID_EDIT_SHOW_WHITESPACE},
        {Qt::Key_End, Shift, ID_EDIT_LINE_END_EXTEND},
        {Qt::Key_F3, None, ID_EDIT_FIND_NEXT},
        {Qt::Key_F3, Ctrl, ID_EDIT_FIND_NEXT_CURRENT},
        {Qt::Key_F3, Shift, ID_EDIT_FIND_PREV},
        {Qt::Key_F3, ShiftCtrl, ID_EDIT_FIND_PREV_CURRENT},
        {Qt::Key_L, Ctrl, ID_EDIT_LINE_CUT},
        {Qt::Key_L, ShiftCtrl, ID_EDIT_LINE_DELETE},
        {Qt::Key_U, Ctrl, ID_EDIT_LOWERCASE},
        {Qt::Key_U, ShiftCtrl, ID_EDIT_UPPERCASE},
        {Qt::Key_Tab, Shift, ID_EDIT_UNTAB},
        {Qt::Key_Backtab, Shift, ID_EDIT_UNTAB},
        {Qt::Key_Backtab, None, ID_EDIT_UNTAB},
        {Qt::Key_Escape, None, ID_EDIT_CANCEL},
        {Qt::Key_B, ShiftCtrl, ID_EDIT_COLUMN_MODE},
        {Qt::Key_Down, Ctrl, ID_EDIT_SCROLL_DOWN},
        {Qt::Key_Up, Ctrl, ID_EDIT_SCROLL_UP},
        {Qt::Key_F9, None, ID_EDIT_MARK_TOGGLE_FIRST + 16},
        {Qt::Key_F2, Ctrl, ID_EDIT_MARK_TOGGLE_FIRST + 17},
        {Qt::Key_F2, None, ID_EDIT_MARK_NEXT_FIRST + 17},
        {Qt::Key_F2, Shift, ID_EDIT_MARK_PREV_FIRST + 17},
        {Qt::Key_F2, ShiftCtrl, ID_EDIT_MARK_CLEAR_FIRST + 17},
        {Qt::Key_C, Ctrl, ID_EDIT_COPY},
        {Qt::Key_Insert, Ctrl, ID_EDIT_COPY},
        {Qt::Key_X, Ctrl, ID_EDIT_CUT},
        {Qt::Key_Delete, Shift, ID_EDIT_CUT},
        {Qt::Key_F, Ctrl, ID_EDIT_FIND},
        {Qt::Key_V, Ctrl, ID_EDIT_PASTE},
        {Qt::Key_Insert, Shift, ID_EDIT_PASTE},
        {Qt::Key_H, Ctrl, ID_EDIT_REPLACE},
        {Qt::Key_A, Ctrl, ID_EDIT_SELECT_ALL},
        {Qt::Key_Z, Ctrl, ID_EDIT_UNDO},
        {Qt::Key_Backspace, Alt, ID_EDIT_UNDO},
        {Qt::Key_Y, Ctrl, ID_EDIT_REDO},
        {Qt::Key_Z, ShiftCtrl, ID_EDIT_REDO},
        {Qt::Key_Backspace, ShiftAlt, ID_EDIT_REDO},
        {Qt::Key_F6, None, ID_NEXT_PANE},
        {Qt::Key_F6, Shift, ID_PREV_PANE},
    };
}

int SECEditKeyTable::Find(int key, Qt::KeyboardModifiers modifiers) const
{
    modifiers &= Relevant;
    for (const Entry& entry : m_entries)
        if (entry.key == key && entry.modifiers == modifiers)
            return entry.command;
    return 0;
}

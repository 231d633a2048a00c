// Changing the text: typing, inserting, deleting, and the editing commands.

#include "controller/SECEditController.h"
#include "controller/SECEditControllerInternal.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/SECEdit.h"
#include "engine/SECEditCommand.h"
#include "engine/SECEditGroupGuard.h"
#include "platform/IMessageBox.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditViewport.h"

#include <QChar>
#include <algorithm>

using namespace ControllerDetail;

namespace {
// Restores a caret that an operation destroyed so that edits keep the selection.
class CaretHold
{
public:
    explicit CaretHold(SECEditController& c) : m_c(c), m_had(c.IsCaretCreated())
    {
        if (m_had)
            m_c.DestroyEditCaret();
    }
    ~CaretHold()
    {
        if (m_had)
            m_c.CreateEditCaret();
    }
    CaretHold(const CaretHold&) = delete;
    CaretHold& operator=(const CaretHold&) = delete;

private:
    SECEditController& m_c;
    bool m_had;
};
} // namespace

// --- Editing ---------------------------------------------------------------------------------

SECEditCommand* SECEditController::LastTypingIfOnTop() const
{
    SECEdit* edit = GetEdit();
    if (!edit || !m_lastTyping)
        return nullptr;
    SECEditCommandBase* top = edit->PeekUndo();
    if (top != m_lastTyping || top->GetSerial() != m_lastTypingSerial)
        return nullptr;
    return m_lastTyping;
}

void SECEditController::TypeText(std::u16string_view text)
{
    SECEdit* edit = GetEdit();
    if (!edit || text.empty())
        return;
    edit->SetCompositeMode(false);
    if (m_caret.column > LineLength(m_caret.line)) {
        ForgetLastTyping();
        FillVirtualSpace();
    }
    if (edit->GetOvertype()) {
        ForgetLastTyping();
        if (m_caret.column >= LineLength(m_caret.line)) {
            ReplaceSelection(text);
            return;
        }
        SECEditGroupGuard group(*edit);
        SuspendAutoScroll(false);
        const bool hadSelection = HasSelectionNow();
        ReplaceSelection(text);
        if (!hadSelection)
            DeleteChar();
        SuspendAutoScroll(true);
        return;
    }
    if (HasSelectionNow()) {
        ReplaceSelection(text);
        ForgetLastTyping();
        return;
    }
    const bool oneCharacter =
        text.size() == 1 || (text.size() == 2 && IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]));
    if (!oneCharacter) {
        ForgetLastTyping();
        PadAndInsert(m_caret.line, m_caret.column, text);
        return;
    }

    // Word characters merge with word characters, blanks and delimiters with
    // each other, so one undo step takes back one word or one gap.
    const auto group = [this](char16_t c) { return ClassOf(c) == Word ? Word : Blank; };
    SECEditCommand* last = LastTypingIfOnTop();
    const bool merge = last && !last->GetText().empty() && last->IsTextPresent() &&
                       last->GetRange().end.line == m_caret.line &&
                       last->GetRange().start.line == m_caret.line &&
                       last->GetRange().start.column + int(last->GetText().size()) == m_caret.column &&
                       edit->IsModified() && group(last->GetText().front()) == group(text.front());

    const SECEditTextPos at = m_caret;
    auto* command = new SECEditCommand(edit, SECEditTextRange(at, at), true, std::u16string(text));
    if (!command->Do()) {
        command->Release();
        return;
    }
    const SECEditTextRange done = command->GetRange();
    if (done.end != SECEditTextPos(at.line, at.column + int(text.size()))) {
        // The line grew past the longest allowed and the engine broke it:
        // a step of its own.
        ForgetLastTyping();
        edit->LogCommand(command);
        return;
    }
    if (merge) {
        last->SetText(last->GetText() + std::u16string(text));
        SECEditTextRange range = last->GetRange();
        range.end.column += int(text.size());
        last->SetRange(range);
        command->Release();
        return;
    }
    if (!edit->LogCommand(command)) {
        command->Release();
        ForgetLastTyping();
        return;
    }
    m_lastTyping = command;
    m_lastTypingSerial = command->GetSerial();
}

std::u16string SECEditController::MakeFill(int line, int fromColumn, int count) const
{
    std::u16string fill;
    if (SECEdit* edit = GetEdit())
        edit->MakeIndentString(fill, count, {line, fromColumn}, true);
    return fill;
}

bool SECEditController::PadAndInsert(int line, int column, std::u16string_view text)
{
    SECEdit* edit = GetEdit();
    if (!edit || line < 0 || line > LastLine())
        return false;
    SECEditGroupGuard group(*edit);
    const int length = LineLength(line);
    if (column > length) {
        const std::u16string fill = MakeFill(line, length, column - length);
        if (!edit->InsertTextAt(line, length, fill))
            return false;
        // Tabs in the fill make it shorter than the columns it spans.
        column = length + int(fill.size());
    }
    return text.empty() || edit->InsertTextAt(line, column, text);
}

void SECEditController::FillVirtualSpace()
{
    SECEdit* edit = GetEdit();
    const int length = LineLength(m_caret.line);
    if (!edit || m_caret.column <= length)
        return;
    const SECEditTextPos anchor = m_anchor;
    const SECEditTextPos active = m_active;
    const int mode = m_mode;
    const int line = m_caret.line;
    const std::u16string fill = MakeFill(line, length, m_caret.column - length);
    edit->InsertTextAt(line, length, fill);
    // The caret stays on the same screen column, now inside the text.
    FixDesiredX();
    m_caret = {line, length + int(fill.size())};
    m_caretPointKnown = false;
    m_anchor = anchor;
    m_active = active;
    m_mode = mode;
    UpdateCaretDisplay();
}

SECEditTextPos SECEditController::DeleteSelection()
{
    SECEdit* edit = GetEdit();
    if (!edit || !HasSelection()) {
        ClearSelection(false);
        return m_caret;
    }
    SECEditTextPos start;
    if (m_mode == ColumnSelection) {
        SECEditGroupGuard group(*edit);
        const SECEditTextPos anchor = m_anchor;
        const SECEditTextPos active = m_active;
        start = std::min(anchor, active);
        const int last = std::max(anchor.line, active.line);
        for (int line = start.line; line <= last; ++line) {
            int left = 0;
            int right = 0;
            if (!GetColumnSelectionSpan(line, left, right))
                continue;
            const int length = LineLength(line);
            if (length < left)
                continue;
            right = std::min(right, length);
            if (left < right)
                edit->DeleteText(line, left, line, right);
            // The edit cleared the selection; the next line needs the block.
            m_anchor = anchor;
            m_active = active;
            m_mode = ColumnSelection;
        }
        // The block's left edge on its first line, where a replacement goes.
        int left = 0;
        int right = 0;
        if (GetColumnSelectionSpan(start.line, left, right))
            start.column = left;
    } else {
        int sl = 0, sc = 0, el = 0, ec = 0;
        GetSelection(sl, sc, el, ec, false);
        start = {sl, sc};
        if (SECEditTextPos(sl, sc) != SECEditTextPos(el, ec))
            edit->DeleteText(sl, sc, el, ec);
    }
    ClearSelection(true);
    return start;
}

void SECEditController::ReplaceSelection(std::u16string_view text, bool columnBlock)
{
    SECEdit* edit = GetEdit();
    if (!edit)
        return;
    SECEditGroupGuard group(*edit);
    SuspendAutoScroll(false);
    const SECEditTextPos at = DeleteSelection();
    if (!text.empty()) {
        if (columnBlock)
            InsertColumnBlock(at, text);
        else
            PadAndInsert(at.line, at.column, text);
    }
    SuspendAutoScroll(true);
}

void SECEditController::InsertColumnBlock(SECEditTextPos position, std::u16string_view text)
{
    SECEdit* edit = GetEdit();
    if (!edit || !m_viewport)
        return;
    SECEditGroupGuard group(*edit);
    const PixelPoint origin = PointFromPosition(position);
    int y = origin.y;
    std::size_t from = 0;
    const bool savedForce = m_forceVirtual;
    // Every segment starts at the same screen x, beyond short lines' ends if need be.
    m_forceVirtual = true;
    while (from < text.size()) {
        const std::size_t feed = text.find(u'\n', from);
        if (feed == std::u16string_view::npos)
            break;
        std::u16string_view segment = text.substr(from, feed - from);
        if (!segment.empty() && segment.back() == u'\r')
            segment.remove_suffix(1);
        const SECEditTextPos target = m_viewport->PositionFromPoint({origin.x, y}, true, true);
        const bool wasLast = target.line == LastLine();
        // An empty segment pads nothing: short lines get no trailing blanks.
        if (!segment.empty())
            PadAndInsert(target.line, target.column, segment);
        if (wasLast && text.find(u'\n', feed + 1) != std::u16string_view::npos)
            edit->InsertTextAt(target.line, LineLength(target.line), edit->GetLineEndString());
        y += LineHeight();
        from = feed + 1;
    }
    m_forceVirtual = savedForce;
}

void SECEditController::DeleteChar()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (HasSelectionNow()) {
        ReplaceSelection({});
        return;
    }
    // Nothing follows the end of the last line, not even in virtual space.
    if (m_caret.line >= LastLine() && m_caret.column >= LineLength(m_caret.line))
        return;
    FillVirtualSpace();
    const SECEditTextPos at = m_caret;
    std::u16string_view text;
    edit->GetLineText(at.line, text);
    const int length = int(text.size());
    EnsureCaretVisible();
    if (at.column < length) {
        int end = at.column + 1;
        if (end < length && IsHighSurrogate(text[std::size_t(at.column)]) && IsLowSurrogate(text[std::size_t(end)]))
            ++end;
        edit->DeleteText(at.line, at.column, at.line, end);
    } else {
        edit->DeleteText(at.line, at.column, at.line + 1, 0);
    }
}

void SECEditController::OnNewline()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (edit->GetOvertype()) {
        // Overtype leaves the text alone: the caret goes to the next line's indentation.
        PlainMove(Move::LineDown);
        PlainMove(Move::Home);
        return;
    }
    const std::u16string lineBreak = edit->GetLineEndString();
    int remembered = -1;
    if (HasSelectionNow()) {
        ReplaceSelection(lineBreak);
    } else {
        const int length = LineLength(m_caret.line);
        if (m_caret.column > length) {
            if (edit->IsBlankLine(m_caret.line))
                remembered = DisplayColumn(m_caret.line, m_caret.column);
            MoveCaretTo(m_caret.line, length);
        }
        const SECEditTextPos at = m_caret;
        if (!edit->InsertTextAt(at.line, at.column, lineBreak))
            return;
        if (!m_caretCreated)
            MoveCaretTo(at.line + 1, 0);
    }
    const auto* config = dynamic_cast<const SECEditLangConfig*>(GetLangConfig());
    if (!config || !config->GetAutoIndent() || m_caret.line == 0)
        return;
    const int above = m_caret.line - 1;
    const int width = remembered >= 0 ? remembered : DisplayColumn(above, edit->CountLeadingBlanks(above));
    if (width <= 0)
        return;
    if (LineLength(m_caret.line) == 0) {
        // White space goes in only when something is typed there.
        MoveCaretTo(m_caret.line, width, true);
        return;
    }
    std::u16string indent;
    edit->MakeIndentString(indent, width, m_caret, true);
    const SECEditTextPos at = m_caret;
    PadAndInsert(at.line, at.column, indent);
    if (!m_caretCreated)
        MoveCaretTo(at.line, at.column + int(indent.size()));
}

void SECEditController::PlaceCaretAfterIndent()
{
    SECEditTextRange range;
    if (!GetSelectionRange(range))
        return;
    const bool anchorFirst = m_anchor <= m_active;
    const SECEditTextPos to = anchorFirst ? range.end : range.start;
    m_caret = to;
    m_caretPointKnown = false;
    RememberCaretX();
}

void SECEditController::OnTab()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    const bool selection = HasSelectionNow();
    const bool oneLine = !selection || (m_mode != LineSelection && m_anchor.line == m_active.line);
    const int tab = TabSize();
    if (oneLine) {
        if (edit->GetOvertype() && m_caret.column < LineLength(m_caret.line)) {
            if (tab == 1) {
                PlainMove(Move::CharRight);
                return;
            }
            const int d = GetCaretDisplayColumn();
            const int column = std::max(0, edit->ConvertColumn(d + tab - d % tab, 1, m_caret.line));
            ClearSelection(true);
            MoveCaretTo(m_caret.line, column);
            EnsureCaretVisible();
            RememberCaretX();
            return;
        }
        SECEditGroupGuard group(*edit);
        FillVirtualSpace();
        edit->InsertTab(m_caret.line, m_caret.column);
        return;
    }
    if (m_mode == StreamSelection) {
        // A selection that ends at the start of a line does not take that line in.
        SECEditTextPos& later = m_anchor < m_active ? m_active : m_anchor;
        if (later.column == 0 && later.line > 0)
            later = {later.line - 1, 0};
        m_mode = LineSelection;
    }
    if (m_mode == LineSelection) {
        SECEditGroupGuard group(*edit);
        SuspendAutoScroll(false);
        {
            CaretHold hold(*this);
            const int first = std::min(m_anchor.line, m_active.line);
            const int last = std::max(m_anchor.line, m_active.line);
            for (int line = first; line <= last; ++line)
                if (!edit->IsBlankLine(line))
                    edit->InsertTab(line, 0);
            PlaceCaretAfterIndent();
        }
        SuspendAutoScroll(true);
        RepaintSelection();
        return;
    }
    // A column block over several lines: a tab at the block's left edge on each line.
    SECEditGroupGuard group(*edit);
    CaretHold hold(*this);
    const int left = std::min(m_anchor.column, m_active.column);
    const int right = std::max(m_anchor.column, m_active.column);
    const int top = std::min(m_anchor.line, m_active.line);
    const int bottom = std::max(m_anchor.line, m_active.line);
    int firstTabbed = -1;
    int lastTabbed = -1;
    int display = 0;
    for (int line = top; line <= bottom; ++line) {
        if (!edit->IsValidPosition(line, left))
            continue;
        if (firstTabbed < 0) {
            display = DisplayColumn(line, left);
            edit->InsertTab(line, left);
            firstTabbed = line;
        } else {
            edit->InsertTab(line, std::max(0, edit->ConvertColumn(display, 1, line)));
        }
        lastTabbed = line;
    }
    m_anchor = {firstTabbed >= 0 ? firstTabbed : top, left};
    m_active = {lastTabbed >= 0 ? lastTabbed : bottom, firstTabbed >= 0 ? right + 1 : right};
    m_mode = ColumnSelection;
    RepaintLines(top, bottom);
}

void SECEditController::OnUntab()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded() || IsColumnSelection())
        return;
    const int tab = TabSize();
    if (HasSelectionNow() && (m_mode == LineSelection || m_anchor.line != m_active.line)) {
        m_mode = LineSelection;
        SECEditGroupGuard group(*edit);
        SuspendAutoScroll(false);
        {
            CaretHold hold(*this);
            const int first = std::min(m_anchor.line, m_active.line);
            const int last = std::max(m_anchor.line, m_active.line);
            for (int line = first; line <= last; ++line) {
                std::u16string_view text;
                if (edit->GetLineText(line, text) <= 0)
                    continue;
                if (text.front() == u'\t') {
                    edit->DeleteText(line, 0, line, 1);
                    continue;
                }
                int spaces = 0;
                while (spaces < tab && spaces < int(text.size()) && text[std::size_t(spaces)] == u' ')
                    ++spaces;
                if (spaces > 0)
                    edit->DeleteText(line, 0, line, spaces);
            }
            PlaceCaretAfterIndent();
        }
        SuspendAutoScroll(true);
        RepaintSelection();
        return;
    }
    ClearSelection(true);
    if (m_caret.column == 0)
        return;
    if (tab == 1) {
        ApplyMove(Move::CharLeft);
        return;
    }
    const int a = GetCaretDisplayColumn();
    if (a > 0 && a < tab) {
        ApplyMove(Move::Home);
        return;
    }
    const int back = a % tab == 0 ? tab : a % tab;
    const int target = a - back;
    const int length = LineLength(m_caret.line);
    const int displayLength = DisplayColumn(m_caret.line, length);
    const int column = target > displayLength ? length + (target - displayLength)
                                              : std::max(0, edit->ConvertColumn(target, 1, m_caret.line));
    MoveCaretTo(m_caret.line, column, column > length);
    EnsureCaretVisible();
    RememberCaretX();
}

void SECEditController::OnBackspace()
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (HasSelectionNow()) {
        ReplaceSelection({});
        return;
    }
    if (m_caret == SECEditTextPos(0, 0))
        return;
    const int length = LineLength(m_caret.line);
    if (m_caret.column > length) {
        MoveCaretTo(m_caret.line, length);
        RememberCaretX();
        return;
    }
    ApplyMove(Move::CharLeft);
    DeleteChar();
    EnsureCaretVisible();
}

void SECEditController::OnDeleteWord(bool back)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    SECEditGroupGuard group(*edit);
    ExtendMove(back ? Move::WordLeft : Move::WordRight);
    if (HasSelectionNow())
        ReplaceSelection({});
}

void SECEditController::OnLineCutOrDelete(bool cut)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    if (HasSelectionNow())
        SelectLines(m_anchor.line, m_active.line);
    else
        SelectLines(m_caret.line);
    if (cut)
        CopyToClipboard({GetSelectedText(), false});
    ReplaceSelection({});
}

void SECEditController::OnChangeCase(bool upper)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded() || !HasSelectionNow())
        return;
    std::u16string text = GetSelectedText();
    // Character by character, so the text keeps its length and the restored
    // selection covers exactly the converted text.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1]);
            const char32_t mapped = upper ? QChar::toUpper(code) : QChar::toLower(code);
            if (QChar::requiresSurrogates(mapped)) {
                text[i] = QChar::highSurrogate(mapped);
                text[i + 1] = QChar::lowSurrogate(mapped);
            }
            ++i;
            continue;
        }
        const char32_t mapped = upper ? QChar::toUpper(char32_t(c)) : QChar::toLower(char32_t(c));
        if (!QChar::requiresSurrogates(mapped))
            text[i] = char16_t(mapped);
    }
    const SECEditTextPos anchor = m_anchor;
    const SECEditTextPos active = m_active;
    const int mode = m_mode;
    ReplaceSelection(text, mode == ColumnSelection);
    SetSelection(anchor, active, mode);
}

void SECEditController::OnUndoRedo(bool redo)
{
    SECEdit* edit = GetEdit();
    if (!edit || Guarded())
        return;
    SuspendAutoScroll(false);
    if (redo)
        edit->Redo();
    else
        edit->Undo();
    SuspendAutoScroll(true);
    if (edit->HistoryStepFailed()) {
        if (IMessageBox* box = SECEditSearchSettings::Instance().messages)
            box->Show(redo ? u"The change could not be redone: it no longer fits the text. The text is unchanged, "
                             u"and the undo history has been cleared."
                           : u"The change could not be undone: it no longer fits the text. The text is unchanged, "
                             u"and the undo history has been cleared.",
                      IMessageBox::Buttons::Ok, IMessageBox::Icon::Warning);
    }
}

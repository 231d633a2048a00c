#include "controller/SECEditFindReplace.h"

#include "controller/SECEditCommandIds.h"
#include "controller/SECEditController.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/SECEdit.h"
#include "engine/SECEditGroupGuard.h"
#include "engine/SECEditLineMarks.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditRegExp.h"
#include "engine/SECEditSearch.h"
#include "engine/SECEditTextStore.h"
#include "platform/IMessageBox.h"
#include "view/SECEditViewport.h"

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr int MarkRange = 33; // mark numbers 0..32 for each of the four commands

bool InRange(int id, int first) { return id >= first && id < first + MarkRange; }

std::u16string Number(long long value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string Substitute(std::u16string text, std::u16string_view key, std::u16string_view value)
{
    const std::size_t at = text.find(key);
    if (at != std::u16string::npos)
        text.replace(at, key.size(), value);
    return text;
}

} // namespace

SECEditFindReplace::SECEditFindReplace(SECEditController& controller) : m_controller(controller) {}

SECEditFindReplace::~SECEditFindReplace() = default;

bool SECEditFindReplace::HandlesCommand(int id)
{
    switch (id) {
    case ID_EDIT_FIND: case ID_EDIT_REPLACE: case ID_EDIT_FIND_NEXT: case ID_EDIT_FIND_PREV:
    case ID_EDIT_FIND_NEXT_CURRENT: case ID_EDIT_FIND_PREV_CURRENT:
        return true;
    default:
        return InRange(id, ID_EDIT_MARK_TOGGLE_FIRST) || InRange(id, ID_EDIT_MARK_NEXT_FIRST) ||
               InRange(id, ID_EDIT_MARK_PREV_FIRST) || InRange(id, ID_EDIT_MARK_CLEAR_FIRST);
    }
}

bool SECEditFindReplace::IsCommandEnabled(int id) const
{
    const SECEdit* edit = m_controller.GetEdit();
    if (!edit)
        return false;
    for (int first : {ID_EDIT_MARK_NEXT_FIRST, ID_EDIT_MARK_PREV_FIRST, ID_EDIT_MARK_CLEAR_FIRST})
        if (InRange(id, first))
            return edit->CountLineMarks(id - first) > 0;
    return HandlesCommand(id);
}

void SECEditFindReplace::OnCommand(int id)
{
    SECEdit* edit = m_controller.GetEdit();
    if (!edit)
        return;
    SECEditSearchSettings& settings = SECEditSearchSettings::Instance();
    switch (id) {
    case ID_EDIT_FIND:
    case ID_EDIT_REPLACE:
        if (settings.showDialog)
            settings.showDialog(m_controller, id == ID_EDIT_FIND);
        return;
    case ID_EDIT_FIND_NEXT: RepeatFind(true, false); return;
    case ID_EDIT_FIND_PREV: RepeatFind(false, false); return;
    case ID_EDIT_FIND_NEXT_CURRENT: RepeatFind(true, true); return;
    case ID_EDIT_FIND_PREV_CURRENT: RepeatFind(false, true); return;
    default:
        break;
    }
    const int line = m_controller.GetCaretPos().line;
    if (id == ID_EDIT_MARK19_TOGGLE)
        ToggleHighlight();
    else if (InRange(id, ID_EDIT_MARK_TOGGLE_FIRST))
        edit->ToggleLineMark(line, id - ID_EDIT_MARK_TOGGLE_FIRST);
    else if (InRange(id, ID_EDIT_MARK_NEXT_FIRST))
        GoToLineMark(id - ID_EDIT_MARK_NEXT_FIRST, true);
    else if (InRange(id, ID_EDIT_MARK_PREV_FIRST))
        GoToLineMark(id - ID_EDIT_MARK_PREV_FIRST, false);
    else if (InRange(id, ID_EDIT_MARK_CLEAR_FIRST))
        edit->ClearLineMarks(id - ID_EDIT_MARK_CLEAR_FIRST);
}

void SECEditFindReplace::GoToLineMark(int bit, bool forward)
{
    SECEdit* edit = m_controller.GetEdit();
    const int line = edit->FindLineMark(m_controller.GetCaretPos().line, bit, forward);
    if (line < 0)
        return;
    m_controller.ClearSelection(true);
    m_controller.MoveCaretTo(line, 0);
    m_controller.RememberCaretX();
    m_controller.EnsureCaretVisible();
}

void SECEditFindReplace::ToggleHighlight()
{
    SECEdit* edit = m_controller.GetEdit();
    const int line = m_controller.GetCaretPos().line;
    edit->ToggleLineMark(line, SECEditLineMarks::HighlightMark);
    // The line's colours change with the mark: have every pane recolour it.
    SECEditLinesMsg message(line, line);
    edit->UpdateAllObservers(nullptr, &message);
}

void SECEditFindReplace::RepeatFind(bool down, bool current)
{
    SECEditSearchSettings& settings = SECEditSearchSettings::Instance();
    if (settings.raiseDialog && settings.raiseDialog())
        return;
    if (current) {
        settings.down = down;
        const std::u16string proposed = GetFindText();
        if (proposed.empty()) {
            if (settings.showDialog)
                settings.showDialog(m_controller, true);
            return;
        }
        settings.findText = proposed;
    } else {
        if (settings.findText.empty())
            settings.findText = GetFindText();
        if (settings.findText.empty())
            return; // nothing to search for: the direction stays as it was too
        settings.down = down;
        m_lastFound.clear();
        m_foundAtSelection = false;
    }
    FindNext(settings);
}

std::u16string SECEditFindReplace::GetFindText() const
{
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (m_controller.HasSelectionNow() && m_controller.GetSelection(sl, sc, el, ec) && sl == el)
        return m_controller.GetSelectedText();
    // Otherwise the word at the caret, by the language's character classes.
    const SECEditTextPos caret = m_controller.GetCaretPos();
    std::u16string word;
    int start = 0;
    int end = 0;
    m_controller.GetWordAtCaret(caret.line, caret.column, word, start, end);
    return word;
}

SECEditFindReplace::SearchCommand::SearchCommand(SECEditFindReplace& owner) : owner(owner)
{
    if (owner.m_searchDepth++ == 0) {
        owner.m_toldTooComplex = false;
        owner.m_tooComplexLine = -1;
    }
}

SECEditFindReplace::SearchCommand::~SearchCommand()
{
    --owner.m_searchDepth;
}

void SECEditFindReplace::TellIfTooComplex(const SECEdit& edit, const SECEditSearchSettings& settings, bool now)
{
    if (m_tooComplexLine < 0)
        m_tooComplexLine = edit.GetSearchTooComplexLine();
    if (!now || m_tooComplexLine < 0 || m_toldTooComplex)
        return;
    m_toldTooComplex = true;
    Say(Substitute(Substitute(u"The regular expression '%s' is too complex for line %d, which was not searched. "
                              u"The search went on after it.",
                              u"%s", settings.findText),
                   u"%d", Number(m_tooComplexLine + 1)));
}

void SECEditFindReplace::Say(const std::u16string& text, bool plain) const
{
    if (IMessageBox* box = SECEditSearchSettings::Instance().messages)
        box->Show(text, IMessageBox::Buttons::Ok, plain ? IMessageBox::Icon::None : IMessageBox::Icon::Warning);
}

std::u16string SECEditFindReplace::Fill(int messageId, const std::u16string& pattern) const
{
    switch (messageId) {
    case 22601: return Substitute(u"Cannot find the string '%1'.", u"%1", pattern);
    case 22602: return Substitute(u"Finished searching for '%1'.", u"%1", pattern);
    default: return {};
    }
}

bool SECEditFindReplace::CheckPattern(const SECEditSearchSettings& settings) const
{
    if (!settings.regularExpression)
        return true;
    const SECEditRegExp rx(settings.findText, !settings.matchCase);
    if (rx.IsValid())
        return true;
    Say(u"The regular expression '" + settings.findText + u"' is not valid: " + rx.GetError() + u".");
    return false;
}

void SECEditFindReplace::SelectMatch(int line, int column, int endLine, int endColumn, bool centre)
{
    m_controller.MoveCaretTo(line, column);
    m_controller.EnsureCaretVisible();
    m_controller.MoveCaretTo(endLine, endColumn);
    m_controller.EnsureCaretVisible();
    m_controller.SetSelection({line, column}, {endLine, endColumn}, StreamSelection);
    m_controller.RememberCaretX();
    if (!centre)
        return;
    if (const SECEditViewport* viewport = m_controller.GetViewport()) {
        const int delta = line - viewport->GetVisibleLineCount() / 2 - viewport->GetFirstVisibleLine();
        if (delta != 0)
            m_controller.ScrollLines(delta, 0);
    }
}

bool SECEditFindReplace::FindNext(SECEditSearchSettings& settings)
{
    const SearchCommand command(*this);
    SECEdit* edit = m_controller.GetEdit();
    const std::u16string& pattern = settings.findText;
    if (!edit || pattern.empty() || !CheckPattern(settings))
        return false;
    SECEditTextPos start = m_controller.GetCaretPos();
    int sl = 0, sc = 0, el = 0, ec = 0;
    const bool selection = m_controller.HasSelectionNow() && m_controller.GetSelection(sl, sc, el, ec);
    if (selection)
        start = settings.down ? SECEditTextPos(el, ec) : SECEditTextPos(sl, sc);
    if (pattern != m_lastFound) {
        m_lastFound.clear();
        m_foundAtSelection = false;
    }
    start.column = std::min(start.column, std::max(edit->GetLineLength(start.line), 0));
    if (!settings.down && !selection) {
        // Not the word the caret stands in again.
        SECEditTextPos back, forth;
        std::u16string after;
        if (m_controller.GetWordAt(start.line, start.column, false, back) &&
            m_controller.GetWordAt(start.line, start.column, true, forth, &after) && !after.empty() &&
            !(forth == start))
            start = back;
    }
    int line = 0, column = 0;
    const int length = edit->FindText(start.line, start.column, line, column, pattern, settings.down, true,
                                      settings.matchCase, settings.wholeWord, settings.regularExpression);
    TellIfTooComplex(*edit, settings, false); // once the match is shown
    int endLine = line, endColumn = column;
    if (length > 0) {
        const std::ptrdiff_t at = edit->GetTextStore()->PositionToOffset(line, column);
        edit->GetTextStore()->OffsetToPosition(at + length, endLine, endColumn);
    }
    const bool onlyTheSelection = length > 0 && m_foundAtSelection && selection && line == sl && column == sc &&
                                  endLine == el && endColumn == ec;
    if (length > 0 && !onlyTheSelection) {
        SelectMatch(line, column, endLine, endColumn, true);
        m_lastFound = pattern;
        m_foundAtSelection = true;
        TellIfTooComplex(*edit, settings);
        return true;
    }
    TellIfTooComplex(*edit, settings);
    Say(Fill(!settings.lastDialogWasFind || onlyTheSelection ? 22602 : 22601, pattern));
    if (onlyTheSelection)
        return false;
    m_lastFound.clear();
    m_foundAtSelection = false;
    m_controller.ClearSelection(true);
    return false;
}

bool SECEditFindReplace::IsSelectionTheMatch(const SECEditSearchSettings& settings) const
{
    SECEdit* edit = m_controller.GetEdit();
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (!edit || settings.findText.empty() || !m_controller.HasSelectionNow() ||
        !m_controller.GetSelection(sl, sc, el, ec) || sl != el)
        return false;
    int line = 0, column = 0;
    const int length = edit->FindText(sl, sc, line, column, settings.findText, true, true, settings.matchCase,
                                      settings.wholeWord, settings.regularExpression, el, ec);
    return length > 0 && line == sl && column == sc && sc + length == ec;
}

bool SECEditFindReplace::MakeReplacement(const SECEditSearchSettings& settings, std::u16string& replacement) const
{
    SECEdit* edit = m_controller.GetEdit();
    int sl = 0, sc = 0, el = 0, ec = 0;
    m_controller.GetSelection(sl, sc, el, ec);
    replacement = settings.replaceText;
    if (!settings.regularExpression && sl == el) {
        // Plain text within one line, no tab or line break on either side:
        // the line's new width is plain arithmetic (what Replace All meets
        // thousands of times).
        std::u16string_view line;
        const auto plain = [](std::u16string_view text) {
            return text.find_first_of(u"\t\n") == std::u16string_view::npos;
        };
        if (edit->GetLineText(sl, line) >= 0 && sc <= ec && std::size_t(ec) <= line.size() && plain(line) &&
            plain(replacement)) {
            const std::size_t width = std::size_t(sc) + replacement.size() + (line.size() - std::size_t(ec));
            char16_t last = 0;
            if (std::size_t(ec) < line.size())
                last = line.back();
            else if (!replacement.empty())
                last = replacement.back();
            else if (sc > 0)
                last = line[std::size_t(sc) - 1];
            const int limit = edit->GetMaxLineLength();
            if (std::int64_t(width) - (last == u'\r' ? 1 : 0) > limit) {
                Say(Substitute(u"Cannot replace text. Line would exceed %d characters.", u"%d", Number(limit)));
                return false;
            }
            return true;
        }
    }
    const std::u16string matched = m_controller.GetSelectedText();
    if (settings.regularExpression) {
        if (!m_replaceRegExp || m_replaceRegExp->GetPattern() != settings.findText ||
            m_replaceRegExp->GetIgnoreCase() == settings.matchCase)
            m_replaceRegExp = std::make_unique<SECEditRegExp>(settings.findText, !settings.matchCase);
        // The groups come from the match in its line, where look-behind and
        // anchors saw what the search saw; applied to the matched text alone
        // they could fail, and the references would go in as typed.
        std::u16string_view lineText;
        SECEditRegExp::Match match;
        if (sl == el && edit->GetLineText(sl, lineText) >= 0 &&
            m_replaceRegExp->Execute(lineText, std::size_t(sc), match) && match.firstIndex == std::size_t(sc) &&
            match.firstIndex + match.length == std::size_t(ec)) {
            replacement = m_replaceRegExp->Expand(lineText, match, settings.replaceText);
        } else {
            const std::u16string replaced = m_replaceRegExp->Replace(matched, settings.replaceText);
            if (replaced != matched)
                replacement = replaced;
        }
    }
    const bool tabs = matched.find(u'\t') != std::u16string::npos &&
                      replacement.find(u'\t') != std::u16string::npos;
    if (replacement.size() <= matched.size() && tabs)
        return true;
    // Each line the edit leaves, in display columns, against the longest allowed.
    std::u16string before, after;
    edit->GetLineText(sl, before);
    edit->GetLineText(el, after);
    const std::u16string result =
        before.substr(0, std::size_t(sc)) + replacement + after.substr(std::min<std::size_t>(ec, after.size()));
    const int limit = edit->GetMaxLineLength();
    std::size_t from = 0;
    while (from <= result.size()) {
        std::size_t end = result.find(u'\n', from);
        if (end == std::u16string::npos)
            end = result.size();
        std::u16string piece = result.substr(from, end - from);
        if (!piece.empty() && piece.back() == u'\r')
            piece.pop_back();
        if (edit->ConvertColumnInString(std::int32_t(piece.size()), 0, piece) > limit) {
            Say(Substitute(u"Cannot replace text. Line would exceed %d characters.", u"%d", Number(limit)));
            return false;
        }
        from = end + 1;
    }
    return true;
}

SECEdit* SECEditFindReplace::EditToReplaceIn(const SECEditSearchSettings& settings)
{
    SECEdit* edit = m_controller.GetEdit();
    if (!edit || settings.findText.empty())
        return nullptr;
    if (m_controller.IsReadOnly()) {
        Say(u"Text is read-only. Cannot perform replace.");
        return nullptr;
    }
    return CheckPattern(settings) ? edit : nullptr;
}

bool SECEditFindReplace::ReplaceOne(SECEditSearchSettings& settings)
{
    const SearchCommand command(*this);
    SECEdit* edit = EditToReplaceIn(settings);
    if (!edit)
        return false;
    SECEditTextPos start = m_controller.GetCaretPos();
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (m_controller.HasSelectionNow() && m_controller.GetSelection(sl, sc, el, ec))
        start = {sl, sc};
    int line = 0, column = 0;
    const int length = edit->FindText(start.line, start.column, line, column, settings.findText, settings.down,
                                      true, settings.matchCase, settings.wholeWord, settings.regularExpression);
    TellIfTooComplex(*edit, settings);
    if (length <= 0) {
        Say(Fill(22602, settings.findText));
        return false;
    }
    int endLine = line, endColumn = column;
    edit->GetTextStore()->OffsetToPosition(edit->GetTextStore()->PositionToOffset(line, column) + length, endLine,
                                           endColumn);
    SelectMatch(line, column, endLine, endColumn, false);
    std::u16string replacement;
    if (!MakeReplacement(settings, replacement))
        return false;
    m_controller.ReplaceSelection(replacement);
    return true;
}

bool SECEditFindReplace::Replace(SECEditSearchSettings& settings)
{
    const SearchCommand command(*this);
    if (!IsSelectionTheMatch(settings)) {
        m_foundAtSelection = false;
        return FindNext(settings);
    }
    if (!ReplaceOne(settings))
        return false;
    // The selection is gone; the next match is found and selected.
    FindNext(settings);
    return true;
}

bool SECEditFindReplace::ReplaceAll(SECEditSearchSettings& settings)
{
    const SearchCommand command(*this);
    SECEdit* edit = EditToReplaceIn(settings);
    if (!edit)
        return false;
    SECEditTextStore& store = *edit->GetTextStore();
    SECEditTextPos start = m_controller.GetCaretPos();
    start.column = std::min(start.column, std::max(edit->GetLineLength(start.line), 0));
    int sl = 0, sc = 0, el = 0, ec = 0;
    const bool selection = m_controller.HasSelectionNow() && m_controller.GetSelection(sl, sc, el, ec);
    if (selection)
        start = {sl, sc};
    const bool inSelection = settings.selectionOnly && selection;
    // Offsets: they shift simply as text is replaced before them.
    std::ptrdiff_t current = store.PositionToOffset(start.line, start.column);
    std::ptrdiff_t limit = inSelection ? store.PositionToOffset(el, ec) : current;
    if (current < 0 || limit < 0)
        return false;
    std::ptrdiff_t first = -1;
    bool wrapped = false;
    long long count = 0;
    {
        SECEditGroupGuard group(*edit);
        // The view follows once, at the end, not to every match.
        m_controller.SuspendAutoScroll(false);
        struct Resume
        {
            SECEditController& controller;
            ~Resume() { controller.SuspendAutoScroll(true); }
        } resume{m_controller};
        for (;;) {
            int cl = 0, cc = 0, ll = 0, lc = 0, line = 0, column = 0;
            store.OffsetToPosition(current, cl, cc);
            store.OffsetToPosition(limit, ll, lc);
            const int length = edit->FindText(cl, cc, line, column, settings.findText, true, true,
                                              settings.matchCase, settings.wholeWord, settings.regularExpression,
                                              ll, lc);
            TellIfTooComplex(*edit, settings, false);
            if (length <= 0)
                break;
            const std::ptrdiff_t at = store.PositionToOffset(line, column);
            if (inSelection && at + length > limit)
                break;
            if (first < 0) {
                first = at;
            } else {
                wrapped = wrapped || at <= first;
                if (wrapped && at == first)
                    break;
            }
            int endLine = 0, endColumn = 0;
            store.OffsetToPosition(at + length, endLine, endColumn);
            SelectMatch(line, column, endLine, endColumn, false);
            std::u16string replacement;
            if (!MakeReplacement(settings, replacement))
                return false; // the replacements made so far stay, as one step
            const std::ptrdiff_t before = store.GetLength();
            m_controller.ReplaceSelection(replacement);
            const std::ptrdiff_t delta = store.GetLength() - before;
            const std::ptrdiff_t inserted = length + delta;
            auto shift = [&](std::ptrdiff_t& mark) {
                if (mark >= at + length)
                    mark += delta;
                else if (mark > at)
                    mark = at + inserted;
            };
            shift(limit);
            if (first > at)
                shift(first);
            ++count;
            current = at + inserted;
            if (inSelection && current > limit)
                break;
        }
    }
    TellIfTooComplex(*edit, settings);
    if (count == 0) {
        Say(Fill(22602, settings.findText));
        return false;
    }
    m_controller.ClearSelection(true);
    m_controller.EnsureCaretVisible();
    Say(Substitute(inSelection ? u"The selection has been searched and %d replacements were made."
                               : u"The document has been searched and %d replacements were made.",
                   u"%d", Number(count)),
        true);
    return true;
}

bool SECEditFindReplace::MarkAll(SECEditSearchSettings& settings)
{
    SECEdit* edit = m_controller.GetEdit();
    if (!edit || settings.findText.empty())
        return false;
    SECEditTextPos start = m_controller.GetCaretPos();
    start.column = std::min(start.column, std::max(edit->GetLineLength(start.line), 0));
    int sl = 0, sc = 0, el = 0, ec = 0;
    if (m_controller.HasSelectionNow() && m_controller.GetSelection(sl, sc, el, ec))
        start = settings.down ? SECEditTextPos(sl, sc) : SECEditTextPos(el, ec);
    const int lines = edit->GetLineCount();
    SECEditTextPos current = start;
    int firstLine = -1;
    // Each pass moves to another line, so a full circle ends it at the latest.
    for (int pass = 0; pass <= lines; ++pass) {
        int line = 0, column = 0;
        const int length = edit->FindText(current.line, current.column, line, column, settings.findText,
                                          settings.down, true, settings.matchCase, settings.wholeWord, false,
                                          start.line, start.column);
        if (length <= 0 || line == firstLine)
            break;
        if (firstLine < 0)
            firstLine = line;
        edit->SetLineMark(line, SECEditLineMarks::BookmarkMark, true);
        if (settings.down) {
            current = line + 1 < lines ? SECEditTextPos(line + 1, 0) : SECEditTextPos(0, 0);
        } else {
            const int previous = line > 0 ? line - 1 : lines - 1;
            current = {previous, std::max(edit->GetLineLength(previous), 0)};
        }
    }
    if (firstLine < 0) {
        Say(Substitute(u"Cannot find the string '%s'.", u"%s", settings.findText));
        return false;
    }
    m_controller.ClearSelection(true);
    m_controller.MoveCaretTo(firstLine, 0);
    m_controller.RememberCaretX();
    m_controller.EnsureCaretVisible();
    return true;
}

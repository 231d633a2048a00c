#include "controller/SECEditFindReplace.h"

#include "controller/SECEditCommandIds.h"
#include "controller/SECEditController.h"
#include "controller/SECEditSearchSettings.h"
#include "engine/SECEdit.h"
#include "engine/SECEditGroupGuard.h"
#include "engine/SECEditLineMarks.h"
#include "engine/SECEditLinesMsg.h"
#include "engine/SECEditRegExp.h"
#include "engine/SECEditReplaceCommand.h"
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

bool SECEditFindReplace::s_batches = true;

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
    std::u16string_view line;
    if (!settings.regularExpression && sl == el && edit->GetLineText(sl, line) >= 0) {
        const int fits = FitsPlainLine(*edit, line, sc, ec, replacement);
        if (fits >= 0) {
            if (fits == 0)
                SayLineTooLong(*edit);
            return fits == 1;
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
    if (KeepsWidth(matched, replacement))
        return true;
    // Each line the edit leaves, in display columns, against the longest allowed.
    std::u16string before, after;
    edit->GetLineText(sl, before);
    edit->GetLineText(el, after);
    if (FitsColumns(*edit, before.substr(0, std::size_t(sc)) + replacement +
                               after.substr(std::min<std::size_t>(ec, after.size()))))
        return true;
    SayLineTooLong(*edit);
    return false;
}

int SECEditFindReplace::FitsPlainLine(const SECEdit& edit, std::u16string_view line, int sc, int ec,
                                      std::u16string_view replacement)
{
    // Plain text within one line, no tab or line break on either side: the
    // line's new width is plain arithmetic (what Replace All meets thousands
    // of times).
    const auto plain = [](std::u16string_view text) {
        return text.find_first_of(u"\t\n") == std::u16string_view::npos;
    };
    if (!(sc <= ec && std::size_t(ec) <= line.size() && plain(line) && plain(replacement)))
        return -1;
    const std::size_t width = std::size_t(sc) + replacement.size() + (line.size() - std::size_t(ec));
    char16_t last = 0;
    if (std::size_t(ec) < line.size())
        last = line.back();
    else if (!replacement.empty())
        last = replacement.back();
    else if (sc > 0)
        last = line[std::size_t(sc) - 1];
    return std::int64_t(width) - (last == u'\r' ? 1 : 0) > edit.GetMaxLineLength() ? 0 : 1;
}

bool SECEditFindReplace::KeepsWidth(std::u16string_view matched, std::u16string_view replacement)
{
    const bool tabs = matched.find(u'\t') != std::u16string_view::npos &&
                      replacement.find(u'\t') != std::u16string_view::npos;
    return replacement.size() <= matched.size() && tabs;
}

bool SECEditFindReplace::FitsColumns(const SECEdit& edit, const std::u16string& result)
{
    const int limit = edit.GetMaxLineLength();
    std::size_t from = 0;
    while (from <= result.size()) {
        std::size_t end = result.find(u'\n', from);
        if (end == std::u16string::npos)
            end = result.size();
        std::u16string piece = result.substr(from, end - from);
        if (!piece.empty() && piece.back() == u'\r')
            piece.pop_back();
        if (edit.ConvertColumnInString(std::int32_t(piece.size()), 0, piece) > limit)
            return false;
        from = end + 1;
    }
    return true;
}

bool SECEditFindReplace::FitsLine(const SECEdit& edit, std::u16string_view line, int sc, int ec,
                                  std::u16string_view matched, std::u16string_view replacement)
{
    const int fits = FitsPlainLine(edit, line, sc, ec, replacement);
    if (fits >= 0)
        return fits == 1;
    if (KeepsWidth(matched, replacement))
        return true;
    std::u16string result(line.substr(0, std::size_t(sc)));
    result += replacement;
    result += line.substr(std::min<std::size_t>(std::size_t(ec), line.size()));
    return FitsColumns(edit, result);
}

void SECEditFindReplace::SayLineTooLong(const SECEdit& edit) const
{
    Say(Substitute(u"Cannot replace text. Line would exceed %d characters.", u"%d",
                   Number(edit.GetMaxLineLength())));
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
    Sweep sweep;
    sweep.inSelection = settings.selectionOnly && selection;
    // Offsets: they shift simply as text is replaced before them.
    sweep.current = store.PositionToOffset(start.line, start.column);
    sweep.limit = sweep.inSelection ? store.PositionToOffset(el, ec) : sweep.current;
    if (sweep.current < 0 || sweep.limit < 0)
        return false;
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
        const bool done = IsBatchable(settings, store) ? ReplaceAllInBatches(*edit, settings, sweep, count)
                                                       : ReplaceAllOneByOne(*edit, settings, sweep, count);
        if (!done)
            return false; // the replacements made so far stay, as one step
    }
    TellIfTooComplex(*edit, settings);
    if (count == 0) {
        Say(Fill(22602, settings.findText));
        return false;
    }
    m_controller.ClearSelection(true);
    m_controller.EnsureCaretVisible();
    Say(Substitute(sweep.inSelection ? u"The selection has been searched and %d replacements were made."
                                     : u"The document has been searched and %d replacements were made.",
                   u"%d", Number(count)),
        true);
    return true;
}

bool SECEditFindReplace::Sweep::Takes(std::ptrdiff_t at, std::ptrdiff_t length)
{
    if (inSelection && at + length > limit)
        return false;
    if (first < 0) {
        first = at;
        return true;
    }
    wrapped = wrapped || at <= first;
    return !(wrapped && at == first);
}

bool SECEditFindReplace::Sweep::Replaced(std::ptrdiff_t at, std::ptrdiff_t length, std::ptrdiff_t inserted)
{
    const std::ptrdiff_t delta = inserted - length;
    auto shift = [&](std::ptrdiff_t& mark) {
        if (mark >= at + length)
            mark += delta;
        else if (mark > at)
            mark = at + inserted;
    };
    shift(limit);
    if (first > at)
        shift(first);
    current = at + inserted;
    // An empty rest of the selection holds nothing more: searching it would
    // wrap round to text outside the selection.
    return !(inSelection && current >= limit);
}

bool SECEditFindReplace::ReplaceAllOneByOne(SECEdit& edit, SECEditSearchSettings& settings, Sweep& sweep,
                                            long long& count)
{
    SECEditTextStore& store = *edit.GetTextStore();
    for (;;) {
        int cl = 0, cc = 0, ll = 0, lc = 0, line = 0, column = 0;
        store.OffsetToPosition(sweep.current, cl, cc);
        store.OffsetToPosition(sweep.limit, ll, lc);
        const int length = edit.FindText(cl, cc, line, column, settings.findText, true, true, settings.matchCase,
                                         settings.wholeWord, settings.regularExpression, ll, lc);
        TellIfTooComplex(edit, settings, false);
        if (length <= 0)
            return true;
        const std::ptrdiff_t at = store.PositionToOffset(line, column);
        if (!sweep.Takes(at, length))
            return true;
        std::ptrdiff_t inserted = 0;
        if (!ReplaceMatch(edit, settings, at, length, inserted))
            return false;
        ++count;
        if (!sweep.Replaced(at, length, inserted))
            return true;
    }
}

bool SECEditFindReplace::ReplaceMatch(SECEdit& edit, const SECEditSearchSettings& settings, std::ptrdiff_t at,
                                      std::ptrdiff_t length, std::ptrdiff_t& inserted)
{
    SECEditTextStore& store = *edit.GetTextStore();
    int line = 0, column = 0, endLine = 0, endColumn = 0;
    store.OffsetToPosition(at, line, column);
    store.OffsetToPosition(at + length, endLine, endColumn);
    SelectMatch(line, column, endLine, endColumn, false);
    std::u16string replacement;
    if (!MakeReplacement(settings, replacement))
        return false;
    const std::ptrdiff_t before = store.GetLength();
    m_controller.ReplaceSelection(replacement);
    inserted = length + store.GetLength() - before;
    return true;
}

bool SECEditFindReplace::IsBatchable(const SECEditSearchSettings& settings, const SECEditTextStore& store)
{
    if (!s_batches || settings.regularExpression)
        return false;
    const auto breaks = [&](const std::u16string& text) {
        return std::any_of(text.begin(), text.end(), [&](char16_t c) {
            return c == u'\n' || c == u'\r' || c == store.GetLineFeedChar() ||
                   (store.GetCarriageReturnChar() != 0 && c == store.GetCarriageReturnChar());
        });
    };
    return !breaks(settings.findText) && !breaks(settings.replaceText);
}

// The same sweep as ReplaceAllOneByOne, match for match, but the replacements
// are gathered and made together in one command, so a hundred thousand of
// them cost one pass over the text. Gathered replacements all lie before the
// place searched, where they change nothing the search sees; the batch is
// made first whenever they could: before the search wraps round to the top,
// before a whole-word test of a match right after the last one, and before a
// match beyond its line's text, which is replaced the one-by-one way.
bool SECEditFindReplace::ReplaceAllInBatches(SECEdit& edit, SECEditSearchSettings& settings, Sweep& sweep,
                                             long long& count)
{
    SECEditTextStore& store = *edit.GetTextStore();
    const SECEditSearch search(store);
    const std::u16string& pattern = settings.findText;
    const std::u16string& replacement = settings.replaceText;
    SECEditReplaceCommand* batch = nullptr;
    std::ptrdiff_t delta = 0;     // offset in the text as it reads = offset in the store + delta
    std::ptrdiff_t batchEnd = -1; // store offset where the last gathered match ends
    SECEditTextPos lastAt;        // the last gathered match, in the store
    int lastLength = 0;
    int liveLineNumber = -1;      // the line of the last gathered match
    int lineShift = 0;            // what the matches gathered on it added to its length
    std::u16string liveLine;      // and how it reads, made once a second match comes
    bool liveLineMade = false;
    SECEditTextPos firstOnLine;   // the first match gathered on it, and its length
    int firstLength = 0;
    bool ok = true;
    const auto flush = [&] {
        if (!batch)
            return;
        // The pane ends as replacing the last match by itself would leave it.
        SelectMatch(lastAt.line, lastAt.column, lastAt.line, lastAt.column + lastLength, false);
        // Logged into the open group, which takes the reference.
        if (!edit.ExecuteCommand(batch)) {
            batch->Release();
            ok = false;
        }
        batch = nullptr;
        delta = 0;
        batchEnd = -1;
        liveLineNumber = -1;
    };
    // The first match starting in [low, high] (offsets as the text reads, all
    // after the gathered matches), whole words tested as the search would.
    const auto find = [&](std::ptrdiff_t low, std::ptrdiff_t high, std::ptrdiff_t& length) -> std::ptrdiff_t {
        for (;;) {
            const std::ptrdiff_t found =
                search.FindLiteral(low - delta, high - delta, pattern, settings.matchCase, length);
            if (found < 0)
                return -1;
            if (settings.wholeWord && found == batchEnd) {
                flush(); // the character before it is the last replacement's
                continue;
            }
            if (!settings.wholeWord || search.IsWholeWordAt(found, length))
                return found + delta;
            low = found + delta + 1;
        }
    };

    for (;;) {
        std::ptrdiff_t length = 0;
        std::ptrdiff_t at = -1;
        const std::ptrdiff_t end = store.GetLength() + delta;
        if (sweep.current >= sweep.limit) {
            // To the end, then round from the top up to the limit.
            if (sweep.current < end)
                at = find(sweep.current, end, length);
            if (at < 0 && sweep.limit > 0) {
                flush();
                at = find(0, sweep.limit, length);
            }
        } else {
            at = find(sweep.current, sweep.limit, length);
        }
        if (at < 0 || !sweep.Takes(at, length)) {
            flush();
            return ok;
        }

        const std::ptrdiff_t inStore = at - delta;
        int line = 0, column = 0;
        store.OffsetToPosition(inStore, line, column);
        std::u16string_view text;
        const int textLength = store.GetLineText(line, text);
        // A match beyond its line's text (after a lone carriage return)
        // goes the one-by-one way.
        const bool plainCase = column + length <= textLength;
        std::ptrdiff_t inserted = std::ptrdiff_t(replacement.size());
        if (!plainCase) {
            flush();
            if (!ReplaceMatch(edit, settings, at, length, inserted))
                return false;
        } else {
            // The line as it reads, with the matches gathered on it replaced.
            const std::u16string_view matched = text.substr(std::size_t(column), std::size_t(length));
            std::u16string_view reads = text;
            int liveColumn = column;
            if (line == liveLineNumber) {
                if (!liveLineMade) {
                    liveLine.assign(text);
                    liveLine.replace(std::size_t(firstOnLine.column), std::size_t(firstLength), replacement);
                    liveLineMade = true;
                }
                reads = liveLine;
                liveColumn += lineShift;
            }
            if (!FitsLine(edit, reads, liveColumn, liveColumn + int(length), matched, replacement)) {
                flush();
                SelectMatch(line, liveColumn, line, liveColumn + int(length), false);
                SayLineTooLong(edit);
                return false;
            }
            if (line != liveLineNumber) {
                liveLineNumber = line;
                lineShift = 0;
                liveLineMade = false;
                firstOnLine = {line, column};
                firstLength = int(length);
            } else {
                liveLine.replace(std::size_t(liveColumn), std::size_t(length), replacement);
            }
            lineShift += int(inserted - length);
            if (!batch)
                batch = new SECEditReplaceCommand(&edit);
            batch->Add(inStore, {line, column}, matched, replacement);
            batchEnd = inStore + length;
            lastAt = {line, column};
            lastLength = int(length);
            delta += inserted - length;
        }
        ++count;
        if (!sweep.Replaced(at, length, inserted)) {
            flush();
            return ok;
        }
    }
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

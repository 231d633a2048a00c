#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

class SECEdit;
class SECEditController;
class SECEditRegExp;
class SECEditSearchSettings;
class SECEditTextStore;

// Searching in one pane: find next, replace, replace all and mark all, the F3
// family of commands and the line-mark (bookmark) commands. It works through
// the pane's controller and engine only, so it runs without a window; the
// dialogs belong to the application.
class SECEditFindReplace
{
public:
    explicit SECEditFindReplace(SECEditController& controller);
    ~SECEditFindReplace();
    SECEditFindReplace(const SECEditFindReplace&) = delete;
    SECEditFindReplace& operator=(const SECEditFindReplace&) = delete;

    static bool HandlesCommand(int id);
    bool IsCommandEnabled(int id) const;
    void OnCommand(int id);

    // The pattern the pane proposes: the selection when it lies within one
    // line, else the word at the caret (possibly empty).
    std::u16string GetFindText() const;

    bool FindNext(SECEditSearchSettings& settings);
    // Whether the selection, within one line, is exactly a match.
    bool IsSelectionTheMatch(const SECEditSearchSettings& settings) const;
    // Replaces the selected match (or finds one first) and moves on to the
    // next. The Replace button's action.
    bool Replace(SECEditSearchSettings& settings);
    bool ReplaceOne(SECEditSearchSettings& settings);
    // Every match in the file or the selection, as one undo step.
    bool ReplaceAll(SECEditSearchSettings& settings);
    // Bookmarks every line holding the pattern (searched literally).
    bool MarkAll(SECEditSearchSettings& settings);

    void ResetFound() noexcept { m_foundAtSelection = false; }

    // Replace All makes the replacements of a pattern without line breaks
    // together, a batch at a time; off, it makes them one by one (the same
    // result, for tests that compare the two).
    static void SetReplaceInBatches(bool on) noexcept { s_batches = on; }

private:
    // An invalid regular expression is reported before anything is searched.
    bool CheckPattern(const SECEditSearchSettings& settings) const;
    // The engine to replace in, or null after saying why not (read-only text,
    // a pattern that does not compile).
    SECEdit* EditToReplaceIn(const SECEditSearchSettings& settings);
    void Say(const std::u16string& text, bool plain = false) const;
    // After a search: tells the user, once per search command, when the
    // regular expression was too complex for a line that was therefore
    // skipped.
    void TellIfTooComplex(const SECEdit& edit, const SECEditSearchSettings& settings, bool now = true);
    // Marks one search command (nested calls belong to the outer one).
    struct SearchCommand
    {
        explicit SearchCommand(SECEditFindReplace& owner);
        ~SearchCommand();
        SECEditFindReplace& owner;
    };
    std::u16string Fill(int messageId, const std::u16string& pattern) const;
    // The replacement for the selected match, or false (after a message)
    // when it would make a line too long.
    bool MakeReplacement(const SECEditSearchSettings& settings, std::u16string& replacement) const;
    void SayLineTooLong(const SECEdit& edit) const;
    // Whether replacing columns sc..ec of a line's text keeps it within the
    // longest line allowed: by arithmetic for plain text (FitsPlainLine: -1
    // when that does not apply, else 1 or 0), else in display columns.
    static int FitsPlainLine(const SECEdit& edit, std::u16string_view line, int sc, int ec,
                             std::u16string_view replacement);
    static bool KeepsWidth(std::u16string_view matched, std::u16string_view replacement);
    static bool FitsColumns(const SECEdit& edit, const std::u16string& result);
    static bool FitsLine(const SECEdit& edit, std::u16string_view line, int sc, int ec, std::u16string_view matched,
                         std::u16string_view replacement);

    // Where Replace All stands, in offsets of the text as it now reads.
    struct Sweep
    {
        std::ptrdiff_t current = 0;
        std::ptrdiff_t limit = 0;
        std::ptrdiff_t first = -1;
        bool wrapped = false;
        bool inSelection = false;
        // False when the match at `at` ends the sweep: it runs past the
        // selection, or the search came back round to the first match.
        bool Takes(std::ptrdiff_t at, std::ptrdiff_t length);
        // After `length` characters at `at` gave way to `inserted`; false when
        // the selection is done.
        bool Replaced(std::ptrdiff_t at, std::ptrdiff_t length, std::ptrdiff_t inserted);
    };
    static bool IsBatchable(const SECEditSearchSettings& settings, const SECEditTextStore& store);
    // False after a message when a replacement would make a line too long.
    bool ReplaceAllOneByOne(SECEdit& edit, SECEditSearchSettings& settings, Sweep& sweep, long long& count);
    bool ReplaceAllInBatches(SECEdit& edit, SECEditSearchSettings& settings, Sweep& sweep, long long& count);
    bool ReplaceMatch(SECEdit& edit, const SECEditSearchSettings& settings, std::ptrdiff_t at, std::ptrdiff_t length,
                      std::ptrdiff_t& inserted);
    void SelectMatch(int line, int column, int endLine, int endColumn, bool centre);
    void RepeatFind(bool down, bool current);
    void GoToLineMark(int bit, bool forward);
    void ToggleHighlight();

    SECEditController& m_controller;
    std::u16string m_lastFound;
    bool m_foundAtSelection = false;
    int m_searchDepth = 0;
    bool m_toldTooComplex = false;
    int m_tooComplexLine = -1;
    // Kept between the replacements of one Replace All.
    mutable std::unique_ptr<SECEditRegExp> m_replaceRegExp;
    static bool s_batches;
};

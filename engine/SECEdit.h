#pragma once

#include "engine/SECEditObserverList.h"
#include "engine/DelimiterMode.h"
#include "engine/IObserver.h"
#include "engine/IQueryGuid.h"
#include "engine/ISubject.h"
#include "engine/SECEditColorCache.h"
#include "engine/SECEditDelimiter.h"
#include "engine/SECEditLineMap.h"
#include "engine/SECEditLineMarks.h"
#include "engine/SECEditTextPos.h"
#include "engine/SECEditTextRange.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IMessage;
class ISECEditLangLookup;
class SECEditCommand;
class SECEditCommandBase;
class SECEditCompositeCommand;
struct SECEditColoringState;
class SECEditLangSettings;
class SECEditReplaceCommand;
class SECEditTextStore;

// A colour run list: one value per run, colour group in the high 16 bits,
// length in characters in the low 16 bits (0: to the end of the line).
using SECEditColorRuns = std::vector<std::uint32_t>;

// A line's run list as GetLineColoring hands it out: the runs where the
// colour cache keeps them, without a copy. It reads like a pointer to a run
// list (test it, then use -> or *) and stays valid until an edit touches its
// line or the cache is dropped.
class SECEditColorRunsRef
{
public:
    SECEditColorRunsRef() = default;
    SECEditColorRunsRef(std::nullptr_t) {}
    SECEditColorRunsRef(const std::uint32_t* runs, std::size_t count) : m_runs(runs), m_count(count), m_valid(true) {}
    // A list the caller keeps alive; null gives no list.
    SECEditColorRunsRef(const SECEditColorRuns* runs)
        : m_runs(runs ? runs->data() : nullptr), m_count(runs ? runs->size() : 0), m_valid(runs != nullptr)
    {
    }

    explicit operator bool() const noexcept { return m_valid; }
    friend bool operator==(const SECEditColorRunsRef& ref, std::nullptr_t) noexcept { return !ref.m_valid; }
    const SECEditColorRunsRef* operator->() const noexcept { return this; }
    const SECEditColorRunsRef& operator*() const noexcept { return *this; }

    using value_type = std::uint32_t;
    using const_iterator = const std::uint32_t*;
    using iterator = const_iterator;
    const std::uint32_t* data() const noexcept { return m_runs; }
    std::size_t size() const noexcept { return m_count; }
    bool empty() const noexcept { return m_count == 0; }
    const std::uint32_t* begin() const noexcept { return m_runs; }
    const std::uint32_t* end() const noexcept { return m_runs + m_count; }
    std::uint32_t front() const noexcept { return m_runs[0]; }
    std::uint32_t operator[](std::size_t i) const noexcept { return m_runs[i]; }

private:
    const std::uint32_t* m_runs = nullptr;
    std::size_t m_count = 0;
    bool m_valid = false;
};

// The text engine of one document: the text, line marks, undo history and
// colour cache, and the subject every pane of the document observes.
//
// Every edit goes through InsertText or DeleteText, which record a command
// and deliver it to the observers (SECEditMsg::EditCommand); undo and redo
// deliver the same commands again. Results: true/false for success, -1 for a
// line or position that does not exist; bad input never changes anything.
//
// Observers are not reference-counted here: a pane must remove itself before
// it is destroyed.
class SECEdit : public IQueryGuid, public ISubject, public IObserver
{
public:
    static constexpr std::int32_t MaxLineLength = 2048; // display columns
    static constexpr int HistoryCapacity = 256;

    SECEdit();
    virtual ~SECEdit();
    SECEdit(const SECEdit&) = delete;
    SECEdit& operator=(const SECEdit&) = delete;

    // --- Subject ------------------------------------------------------------
    bool QueryGuid(const SECGuid& guid, void** out) override;
    // Appends (null is ignored); an observer may be added more than once.
    void AddObserver(IObserver* observer) override;
    // Removes every occurrence. Safe during a notification.
    void RemoveObserver(IObserver* observer) override;
    // OnUpdate(this, message) on each observer in order, skipping `sender`.
    void UpdateAllObservers(IObserver* sender, IMessage* message) override;
    // The entry through which every edit, and every change of the language
    // configuration, is announced.
    void OnUpdate(ISubject* subject, IMessage* message) override;

    // --- History ------------------------------------------------------------
    virtual bool IsModified() const;
    void SetModified(bool modified);
    virtual void ClearHistory();
    // Records a command that has already been carried out; takes over the
    // caller's reference on success.
    virtual bool LogCommand(SECEditCommandBase* command);
    // Does the command and, if that succeeded, logs it.
    virtual bool ExecuteCommand(SECEditCommandBase* command);
    // The command undone or redone (still owned by the history), or nullptr.
    // A step that no longer fits the text is left undone: the text stays as
    // it was, the history is forgotten (the steps below it cannot fit
    // either) and HistoryStepFailed() tells so until the next Undo or Redo.
    virtual SECEditCommandBase* Undo();
    virtual SECEditCommandBase* Redo();
    bool HistoryStepFailed() const noexcept { return m_historyStepFailed; }
    // Modified = the command on top of the undo stack is not the clean marker.
    virtual void UpdateModified();
    virtual SECEditCommand* MakeInsertCommand(const SECEditTextRange& range);
    // true begins a group (ending an open one first), false ends it and logs
    // it as one step.
    virtual void SetCompositeMode(bool on);
    // Pairs the command with the one on top of the undo stack as one step:
    // (command, previous) when commandFirst, else (previous, command).
    virtual bool CombineWithPrevious(SECEditCommandBase* command, bool commandFirst);
    // Clears the history; a modified document stays modified until saved.
    void ForgetHistory();
    // Marks the current state as the saved one (clean marker = undo top,
    // modified cleared). SaveFile calls it.
    void MarkClean();
    // The document no longer matches any saved state (its file went away, or
    // its text was recovered): modified until the next save, whatever undo does.
    void MarkUnsaved();

    bool IsCompositeMode() const noexcept { return m_recording; }
    SECEditCommandBase* PeekUndo() const;
    SECEditCommandBase* PeekRedo() const;
    int GetUndoCount() const noexcept { return m_undo.count; }
    int GetRedoCount() const noexcept { return m_redo.count; }
    // The command whose do or undo is running, or nullptr. Commands set it
    // around their execution.
    SECEditCommandBase* GetExecutingCommand() const noexcept { return m_executing; }
    void SetExecutingCommand(SECEditCommandBase* command) noexcept { m_executing = command; }

    // --- Set-up ---------------------------------------------------------------
    // Sets the language and, if it exists, resets the content.
    virtual bool InitNew(std::u16string_view language);
    virtual bool ResetContent();
    // Runs the font and colour dialog; the application overrides it.
    virtual void ChooseFont();
    virtual SECEditLangSettings* GetLangConfig() const;
    // Takes a reference to the configuration and observes it.
    virtual void SetLangConfig(SECEditLangSettings* config);
    // Looks the language up by name (through the installed lookup; without
    // one only "Default" exists). False for an unknown name.
    virtual bool SetLanguage(std::u16string_view name);
    // Rebuilds font information; a hook for the view layer, nothing here.
    virtual void BuildFont();

    // The process-wide language lookup (the syntax registry installs itself).
    static void SetLangLookup(ISECEditLangLookup* lookup);
    static ISECEditLangLookup* GetLangLookup();

    // Tab size and replace-tabs option of the configuration (4 / off without one).
    int GetTabSize() const;
    bool GetReplaceTabs() const;

    // --- Colouring (implemented in SECEditColoring.cpp) -----------------------
    // The line's run list, computed and cached on demand; none for a line
    // that does not exist. Valid until an edit touches the line or the cache
    // is dropped, whatever is asked meanwhile.
    virtual SECEditColorRunsRef GetLineColoring(std::int32_t line);
    virtual SECEditColorRuns* ColorLine(std::int32_t line, std::int32_t startColumn);
    virtual int ColorToken(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength,
                           int charsLeft, int& pending, SECEditColorRuns& runs);
    virtual int ColorWord(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength,
                          int charsLeft, int& pending, SECEditColorRuns& runs);
    virtual int ColorDelimited(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength,
                               int charsLeft, int& pending, SECEditColorRuns& runs);
    virtual int ColorOperator(std::int32_t line, const char16_t* lineText, int tokenStart, int tokenLength,
                              int charsLeft, int& pending, SECEditColorRuns& runs);
    virtual const SECEditDelimiter* FindDelimiterAt(std::int32_t line, const char16_t* lineText, int tokenStart,
                                                    int tokenLength, int charsLeft, DelimiterMode mode);
    virtual int ColorMultiLineRegion(std::int32_t line, const char16_t* lineText, int tokenStart, int charsLeft,
                                     SECEditColorRuns& runs, const SECEditDelimiter* delimiter);
    virtual int ColorSingleLineRegion(std::int32_t line, const char16_t* lineText, int tokenStart, int charsLeft,
                                      SECEditColorRuns& runs, const SECEditDelimiter* delimiter);
    virtual void FlushPending(SECEditColorRuns& runs, int& pending);
    virtual SECEditTextPos FindRegionEnd(const SECEditTextPos& regionStart, const SECEditTextPos& searchFrom,
                                         const SECEditDelimiter* delimiter);
    // The next single-line region on the line at or after startColumn: true
    // and its start (startColumn) and end column.
    virtual bool FindSingleLineRegion(std::int32_t line, std::int32_t& startColumn, std::int32_t& endColumn);
    virtual bool IsInSingleLineRegion(const SECEditTextPos& pos);

    // --- Store and document flags --------------------------------------------
    virtual std::unique_ptr<SECEditTextStore> CreateTextStore();
    SECEditTextStore* GetTextStore() const noexcept { return m_store.get(); }
    virtual bool IsReadOnly() const;
    void SetReadOnly(bool readOnly) noexcept { m_readOnly = readOnly; }
    bool GetOvertype() const noexcept { return m_overtype; }
    void SetOvertype(bool overtype) noexcept { m_overtype = overtype; }
    // U+00BB for a tab, U+00B7 for a space.
    virtual char16_t GetWhitespaceMark(bool isTab) const;

    // --- Files (the application's engine reads and writes real files) --------
    // Paths are in the file system's encoding (UTF-8). The base versions
    // cannot read or write files and return false.
    virtual bool OpenFile(const std::string& path);
    virtual void ReportOpenError();
    virtual bool SaveFile(const std::string& path);
    // After text was put into the store directly (GetTextStore()->AppendText
    // or InsertAt): one empty colour and mark slot per line, InitController to
    // every observer, then BreakLongLines over the whole text.
    void FinishLoad();
    // True when the document's own line breaks are bare line feeds, so the
    // line-end string the engine and the editor insert is a line feed alone.
    bool BreaksWithLineFeedOnly() const noexcept { return m_lineFeedBreaks; }
    // Chooses the line end for a text that has none of its own yet (a new
    // document, a file of one line); ResetContent goes back to CR LF.
    void SetBreaksWithLineFeedOnly(bool lineFeedOnly) noexcept { m_lineFeedBreaks = lineFeedOnly; }

    // --- Editing --------------------------------------------------------------
    // Inserts `length` characters of `text` (-1: up to its NUL; the text always
    // stops at its first NUL) at the range's start and sets the range's end
    // just after them, line breaks the engine added included.
    virtual bool InsertText(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t length = -1);
    bool InsertText(SECEditTextRange& range, std::u16string_view text);
    virtual bool InsertTextAt(std::int32_t line, std::int32_t column, const char16_t* text,
                              std::ptrdiff_t length = -1);
    bool InsertTextAt(std::int32_t line, std::int32_t column, std::u16string_view text);
    // Removes from start up to, not including, end. The range must be ordered.
    virtual bool DeleteText(std::int32_t startLine, std::int32_t startColumn, std::int32_t endLine,
                            std::int32_t endColumn);
    // Carries out (or, with undo, takes back) the command's replacements in
    // one pass and tells the observers once; false, and nothing changed, when
    // they no longer fit the text. SECEditReplaceCommand calls it.
    bool ApplyReplace(SECEditReplaceCommand& command, bool undo);
    // An end line or column of -1: to the end of the start line, line end included.
    virtual bool GetText(std::u16string& out, std::int32_t startLine, std::int32_t startColumn,
                         std::int32_t endLine, std::int32_t endColumn) const;
    // Pointer into the store and the count; -1 when the range spans blocks,
    // 0 when a position does not exist.
    virtual std::ptrdiff_t GetTextPointer(const char16_t*& pointer, std::int32_t startLine,
                                          std::int32_t startColumn, std::int32_t endLine,
                                          std::int32_t endColumn) const;
    // The line's text: its length, or -1 for a line that does not exist. The
    // pointer and view stay valid until the next change of the text.
    virtual std::int32_t GetLineText(std::int32_t line, std::u16string* text, const char16_t** pointer) const;
    std::int32_t GetLineText(std::int32_t line, std::u16string& text) const;
    std::int32_t GetLineText(std::int32_t line, const char16_t*& pointer) const;
    std::int32_t GetLineText(std::int32_t line, std::u16string_view& text) const;
    virtual std::int32_t GetLineLength(std::int32_t line) const;
    std::int32_t GetFullLineLength(std::int32_t line) const;
    std::int32_t GetLineCount() const;
    // True when `always`, else line < count and 0 <= column <= line length.
    virtual bool IsValidPosition(std::int32_t line, std::int32_t column, bool always = false) const;
    virtual std::int32_t ValidateColumn(std::int32_t line, std::int32_t column, bool always = false) const;
    virtual std::int32_t GetMaxLineLength() const { return MaxLineLength; }
    virtual bool IsBlankLine(std::int32_t line) const;
    std::int32_t CountLeadingBlanks(std::int32_t line) const;
    void GetAllText(std::u16string& out) const;
    // Searches for the pattern from the start (see SECEditSearch::Find):
    // the match length, 0 when nothing was found; the match's position goes
    // to matchLine and matchColumn.
    virtual std::int32_t FindText(std::int32_t startLine, std::int32_t startColumn, std::int32_t& matchLine,
                                  std::int32_t& matchColumn, std::u16string_view pattern, bool down, bool wrap,
                                  bool matchCase, bool wholeWord, bool regularExpression,
                                  std::int32_t limitLine = -1, std::int32_t limitColumn = -1) const;
    // The first line the last FindText skipped because the regular
    // expression was too complex for it (see SECEditSearch), or -1.
    std::int32_t GetSearchTooComplexLine() const noexcept { return m_searchTooComplexLine; }

    // Direction 0: character column -> display column; 1: display -> character.
    // `displayColumn` receives the display column of the result.
    virtual std::int32_t ConvertColumn(std::int32_t column, int direction, std::int32_t line,
                                       std::int32_t* displayColumn = nullptr) const;
    virtual std::int32_t ConvertColumnInString(std::int32_t column, int direction, const char16_t* string,
                                               std::int32_t* displayColumn = nullptr) const;
    std::int32_t ConvertColumnInString(std::int32_t column, int direction, std::u16string_view string,
                                       std::int32_t* displayColumn = nullptr) const;
    // White space `width` display columns wide, starting at `pos`.
    virtual void MakeIndentString(std::u16string& out, std::int32_t width, const SECEditTextPos& pos,
                                  bool honourReplaceTabs);
    virtual std::int32_t ColumnsToNextTab(const SECEditTextPos& pos) const;
    virtual bool InsertTab(std::int32_t line, std::int32_t column);
    // Lines first..last (-1: the last line) wider than the maximum: with
    // apply, breaks them; returns whether one exists / was broken.
    virtual bool BreakLongLines(bool apply, std::int32_t firstLine, std::int32_t lastLine);
    // The engine's line break: carriage return (when nonzero) and line feed.
    std::u16string GetLineEndString() const;

    // --- Line marks -----------------------------------------------------------
    virtual bool TestLineMark(std::int32_t line, int bit) const;
    // Nothing for a line that does not exist. Sends InvalidateGutter.
    virtual void SetLineMark(std::int32_t line, int bit, bool on);
    virtual void ToggleLineMark(std::int32_t line, int bit);
    virtual void ClearLineMarks(int bit);
    // The next line with the bit after `from` (wrapping; `from` itself last),
    // or -1.
    virtual std::int32_t FindLineMark(std::int32_t from, int bit, bool forward);
    virtual int CountLineMarks(int bit) const;
    virtual std::uint32_t GetLineValue(std::int32_t line) const;
    // Returns the previous value; 0 and no change for a line that does not exist.
    virtual std::uint32_t SetLineValue(std::int32_t line, std::uint32_t value);
    // Gets or creates the line's record; nullptr for a line that does not exist.
    // A record left empty is freed by the next mark operation on the line.
    virtual SECEditLineMarks* GetLineMarks(std::int32_t line);
    virtual void FreeLineMarks(std::int32_t line);
    // `count` empty slots after `line`, or before it with `atIndent`: the
    // records from there on move down.
    virtual void InsertLineMarks(std::int32_t line, std::int32_t count, bool atIndent);
    // Frees the records of lines first..last and removes their slots.
    virtual void RemoveLineMarks(std::int32_t first, std::int32_t last);
    // Called for each record RemoveLineMarks frees; does nothing here.
    virtual void OnLineMarksRemoved(SECEditLineMarks* record, std::int32_t line);
    // The line's record if it has one (never creates).
    const SECEditLineMarks* FindLineMarks(std::int32_t line) const;

    // --- Colour cache state, for the colouring steps and for tests ------------
    struct ColorRegion
    {
        SECEditTextPos start; // the opening text
        SECEditTextPos end;   // just past the closing text
    };
    std::int32_t GetColoringFrontier() const noexcept { return m_colorFrontier; }
    const std::vector<ColorRegion>& GetColorRegions() const noexcept { return m_regions; }
    // Number of lines with a cached run list.
    std::size_t GetCachedColoringCount() const noexcept { return m_colorCache.size(); }

protected:
    // A copy of the line's cached list (valid until the next colouring
    // call), or nullptr.
    SECEditColorRuns* FindCachedColoring(std::int32_t line);
    // The cached list where the cache keeps it (a single run from a table
    // that never moves), or none.
    SECEditColorRunsRef CachedColoring(std::int32_t line);
    bool HasCachedColoring(std::int32_t line) const;
    // Replaces the line's cached list.
    void StoreCachedColoring(std::int32_t line, const SECEditColorRuns& runs);
    void FreeCachedColoring(std::int32_t line);
    void FreeCachedColoring(std::int32_t first, std::int32_t last);
    // Frees every list, empties the region list, frontier 0.
    void ClearColorCache();
    // Sends InvalidateLines for each region from `index` on, frees their
    // lines' lists and removes them from the list.
    void InvalidateRegionsFrom(std::size_t index);

    // Colouring internals (SECEditColoring.cpp). The state holds the
    // tokeniser's character table and the multi-line delimiters of the current
    // configuration; ResetColoringState drops it when the configuration
    // changes. The generation changes whenever the text or the configuration
    // does, so derived engines can tell when facts they keep about the text
    // are out of date.
    SECEditColoringState& ColoringState();
    void ResetColoringState();
    void NoteColoringEdit();
    std::uint64_t GetColoringGeneration() const;
    void BringColoringUpTo(std::int32_t line);
    SECEditColorRuns* ColorOneLine(std::int32_t line, std::int32_t startColumn);
    void AddColorRegion(const ColorRegion& region);

    std::int32_t m_colorFrontier = 0;
    std::vector<ColorRegion> m_regions;
    std::shared_ptr<SECEditColoringState> m_coloringState;

private:
    struct RingStack
    {
        std::array<SECEditCommandBase*, HistoryCapacity> ring{};
        int top = -1;
        int count = 0;
        // Returns the command displaced from the slot (the caller releases it).
        SECEditCommandBase* Push(SECEditCommandBase* command);
        SECEditCommandBase* Peek() const;
        SECEditCommandBase* Pop();
    };

    // The clean marker: the serial of the command on top of the undo stack
    // when the text last matched its file.
    static constexpr std::uint64_t CleanEmpty = 0;
    static constexpr std::uint64_t CleanNever = ~std::uint64_t{0};

    void LogAndDeliver(SECEditCommandBase* command);
    SECEditCommandBase* MoveStep(RingStack& from, RingStack& to, bool redo);
    void UpdateLineArrays(const SECEditCommand& command);
    void UpdateLineArrays(const SECEditReplaceCommand& command);
    // Whether replacing `removed` by `inserted` leaves every comment and
    // string region where it was, up to the change of length; then the
    // regions are shifted instead of found again (but for those holding a
    // replacement on a line they carry on to, and all after them).
    bool KeepsColorRegions(std::u16string_view removed, std::u16string_view inserted);
    void ShiftColorRegions(const SECEditReplaceCommand& command);
    void ShiftColorCache(std::int32_t afterLine, std::int32_t delta);
    void InvalidateRegionsForEdit(const SECEditTextRange& range, bool deletion);
    bool InsertChecked(SECEditTextRange& range, const char16_t* text, std::ptrdiff_t length);
    void BreakAfterInsert(SECEditTextRange& range);
    void BreakJoinedLine(std::int32_t line, std::int32_t joinColumn);
    bool IsLineTooLong(std::int32_t line) const;
    void SendSimple(unsigned int kind);
    void ClearMarkRecords();
    void ReleaseLangConfig();

    SECEditObserverList m_observers;

    RingStack m_undo;
    RingStack m_redo;
    SECEditCommandBase* m_executing = nullptr;
    bool m_recording = false;
    SECEditCompositeCommand* m_composite = nullptr;
    std::uint64_t m_cleanMarker = CleanEmpty;
    bool m_historyStepFailed = false;
    mutable std::int32_t m_searchTooComplexLine = -1;

    std::unique_ptr<SECEditTextStore> m_store;
    SECEditLangSettings* m_langConfig = nullptr;

    // Sparse per-line arrays: a 2,000,000-line document with a handful of
    // marks and a screenful of coloured lines holds a handful of entries, and
    // inserting or removing lines only renumbers the entries below the edit.
    SECEditColorCache m_colorCache;
    // Line marks, renumbered a chunk at a time (ChangedMark alone can leave
    // a record on every line an edit touched). Records are held by pointer so
    // the one GetLineMarks hands out stays put while other lines change.
    SECEditLineMap<std::unique_ptr<SECEditLineMarks>> m_marks;
    SECEditLineMarks& MarksFor(std::int32_t line);

    bool m_modified = false;
    bool m_readOnly = false;
    bool m_overtype = false;
    // Set when a loaded text ends its first line with a bare line feed: the
    // breaks the editor makes itself then follow the file's convention
    // instead of mixing carriage returns into it.
    bool m_lineFeedBreaks = false;
    bool m_breaking = false;
    bool m_editAtIndent = false;
};

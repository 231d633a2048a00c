#pragma once

#include <functional>
#include <string>
#include <vector>

class IMessageBox;
class SECEditController;

// The search settings every pane and document share for the life of the
// process, so F3 repeats the last dialog search with its options, and the
// histories the dialogs offer.
class SECEditSearchSettings
{
public:
    static constexpr std::size_t HistorySize = 16;

    static SECEditSearchSettings& Instance();

    bool lastDialogWasFind = true; // decides which not-found message shows
    std::u16string findText;
    std::u16string replaceText;
    std::vector<std::u16string> findHistory; // most recent first
    std::vector<std::u16string> replaceHistory;
    bool matchCase = false;
    bool down = true;
    bool wholeWord = false;
    bool selectionOnly = false; // Replace All in the selection rather than the whole file
    bool regularExpression = false;
    bool regularExpressionsAvailable = true; // PCRE2 is always built in

    // Where messages go (none: they are dropped), and how the application
    // opens its Find (true) or Replace (false) dialog for a pane. The dialog
    // hook answers true when a dialog was already open and only came forward.
    IMessageBox* messages = nullptr;
    std::function<void(SECEditController& pane, bool find)> showDialog;
    std::function<bool()> raiseDialog;

    // Puts the text at the head of the list, dropping an equal entry further
    // down and anything beyond HistorySize.
    static void AddToHistory(std::vector<std::u16string>& history, const std::u16string& text);
};

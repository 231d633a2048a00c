#pragma once

#include "controller/SECEditCommandIds.h"
#include "controller/SECEditController.h"
#include "engine/SECEdit.h"
#include "engine/SECEditLineMarks.h"
#include "tests/view/ViewTestSupport.h"
#include "view/SECEditViewport.h"

#include <string>

// One pane without a window toolkit: exact metrics (cells 8 wide, 16 high), a
// window of 640 x 320 pixels (20 lines), a gutter 20 pixels wide.
struct TestPane
{
    explicit TestPane(SECEdit& edit, bool focused = true)
        : window(640, 320), viewport(&edit, metrics, &window), controller(&viewport)
    {
        viewport.SetPresentationState(&controller);
        viewport.RefreshSettings();
        if (focused)
            controller.CreateEditCaret();
    }

    void Run(std::initializer_list<int> commands)
    {
        for (int id : commands)
            controller.OnCommand(id);
    }
    void Type(std::u16string_view text)
    {
        for (char16_t c : text)
            controller.OnChar(std::u16string_view(&c, 1));
    }
    SECEditTextPos Caret() const { return controller.GetCaretPos(); }

    FixedMetricsFactory metrics;
    RecordingWindow window;
    SECEditViewport viewport;
    SECEditController controller;
};

// An engine with a test configuration; the loaded text is the saved state.
struct TestDocument
{
    explicit TestDocument(std::u16string_view text, int tabSize = 4) : config(MakeTestConfig(tabSize))
    {
        LoadText(edit, text, config.get());
        edit.ClearHistory();
        edit.MarkClean();
    }
    std::u16string Text() const
    {
        std::u16string all;
        edit.GetAllText(all);
        return all;
    }
    std::u16string Line(int line) const
    {
        std::u16string text;
        edit.GetLineText(line, text);
        return text;
    }
    int UndoAll()
    {
        int steps = 0;
        while (edit.Undo())
            ++steps;
        return steps;
    }

    TestConfigPtr config;
    SECEdit edit;
};

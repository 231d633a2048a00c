#pragma once

#include "engine/SECEdit.h"
#include "platform/IDrawingSurface.h"
#include "platform/IFontMetrics.h"
#include "platform/IFontMetricsFactory.h"
#include "syntax/SECEditLangConfig.h"
#include "view/ISECEditViewportWindow.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Exact metrics: cells 16 high, every character 8 wide except the visible-tab
// glyph, which is 10.
class FixedMetrics : public IFontMetrics
{
public:
    int GetHeight() const override { return 16; }
    int GetAscent() const override { return 12; }
    int GetAverageCharWidth() const override { return 8; }
    int GetCharWidth(char16_t c) const override { return c == 0x00BB ? 10 : 8; }
    int GetTextWidth(std::u16string_view text) const override
    {
        int width = 0;
        for (char16_t c : text)
            width += GetCharWidth(c);
        return width;
    }
};

class FixedMetricsFactory : public IFontMetricsFactory
{
public:
    std::unique_ptr<IFontMetrics> CreateMetrics(const FontDescription& font) override
    {
        fonts.push_back(font);
        return std::make_unique<FixedMetrics>();
    }
    std::vector<FontDescription> fonts;
};

// Records what is drawn.
class RecordingSurface : public IDrawingSurface
{
public:
    struct Op
    {
        enum Kind { Fill, Text, Invert, Line, RoundRect, Ellipse } kind;
        PixelRect rect;       // Text: x, top; right/bottom unused
        std::u16string text;
        std::uint32_t color = 0;
        std::uint32_t outline = 0;
        FontDescription font;
    };

    void SetFont(const FontDescription& f) override { font = f; }
    void SetClipRect(const PixelRect& r) override { clips.push_back(r); }
    void ClearClip() override {}
    void FillRect(const PixelRect& r, std::uint32_t color) override
    {
        ops.push_back({Op::Fill, r, {}, color, 0, font});
    }
    void DrawText(int x, int top, std::u16string_view text, std::uint32_t color) override
    {
        ops.push_back({Op::Text, {x, top, x, top}, std::u16string(text), color, 0, font});
    }
    void InvertRect(const PixelRect& r) override { ops.push_back({Op::Invert, r, {}, 0, 0, font}); }
    void DrawLine(int x1, int y1, int x2, int y2, std::uint32_t color) override
    {
        ops.push_back({Op::Line, {x1, y1, x2, y2}, {}, color, 0, font});
    }
    void DrawRoundRect(const PixelRect& r, int, int, std::uint32_t fill, std::uint32_t outline) override
    {
        ops.push_back({Op::RoundRect, r, {}, fill, outline, font});
    }
    void DrawEllipse(const PixelRect& r, std::uint32_t fill, std::uint32_t outline) override
    {
        ops.push_back({Op::Ellipse, r, {}, fill, outline, font});
    }

    std::vector<Op> Of(Op::Kind kind) const
    {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }
    // Text drawn on the row whose top is `top`, in drawing order.
    std::vector<Op> TextsOnRow(int top) const
    {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == Op::Text && op.rect.top == top)
                out.push_back(op);
        return out;
    }
    // Fills on a row that start at or right of x.
    std::vector<Op> FillsOnRow(int top, int fromX = 0) const
    {
        std::vector<Op> out;
        for (const Op& op : ops)
            if (op.kind == Op::Fill && op.rect.top == top && op.rect.left >= fromX)
                out.push_back(op);
        return out;
    }
    // The colour of the last fill that covers a pixel.
    std::uint32_t BackgroundAt(int x, int y) const
    {
        std::uint32_t color = 0xDEADBEEF;
        for (const Op& op : ops)
            if (op.kind == Op::Fill && x >= op.rect.left && x < op.rect.right && y >= op.rect.top &&
                y < op.rect.bottom)
                color = op.color;
        return color;
    }
    void Clear() { ops.clear(); clips.clear(); }

    FontDescription font;
    std::vector<Op> ops;
    std::vector<PixelRect> clips;
};

// A window of fixed size that records what the viewport asks of it.
class RecordingWindow : public ISECEditViewportWindow
{
public:
    RecordingWindow(int width, int height) : width(width), height(height) {}

    int GetClientWidth() const override { return width; }
    int GetClientHeight() const override { return height; }
    bool HasFocus() const override { return focus; }
    void InvalidateRect(const PixelRect& area) override { invalidated.push_back(area); }
    void InvalidateAll() override { ++invalidatedAll; }
    void ScrollContents(int dx, int dy, const PixelRect& area) override { scrolls.push_back({dx, dy, area}); }
    void SetScrollBar(bool vertical, int maximum, int page, int position, bool enabled) override
    {
        (vertical ? vbar : hbar) = {maximum, page, position, enabled};
    }
    void Clear()
    {
        invalidated.clear();
        invalidatedAll = 0;
        scrolls.clear();
    }

    struct Scroll
    {
        int dx, dy;
        PixelRect area;
    };
    struct Bar
    {
        int maximum = -1, page = -1, position = -1;
        bool enabled = false;
    };
    int width;
    int height;
    bool focus = false;
    std::vector<PixelRect> invalidated;
    int invalidatedAll = 0;
    std::vector<Scroll> scrolls;
    Bar vbar;
    Bar hbar;
};

// Owns one reference to a configuration.
struct ConfigRelease
{
    void operator()(SECEditLangConfig* config) const { config->Release(); }
};
using TestConfigPtr = std::unique_ptr<SECEditLangConfig, ConfigRelease>;

// A configuration with explicit colours: Text black on white, selection
// white on black, and groups 4 (keyword, blue) and 5 (comment, green on pale grey).
inline TestConfigPtr MakeTestConfig(int tabSize = 4, bool showWhitespace = false, bool virtualWhitespace = false)
{
    TestConfigPtr config(new SECEditLangConfig());
    config->SetTabSize(tabSize);
    config->SetShowWhitespace(showWhitespace);
    config->SetVirtualWhitespace(virtualWhitespace);
    auto& groups = config->GetColorGroups();
    auto explicitGroup = [](std::uint32_t fg, std::uint32_t bg, const char16_t* name) {
        SECEditColorGroup g;
        g.foreground = fg;
        g.background = bg;
        g.foregroundAutomatic = false;
        g.backgroundAutomatic = false;
        g.displayName = name;
        return g;
    };
    groups[0] = explicitGroup(0x000000, 0xFFFFFF, u"Text");
    groups[1] = explicitGroup(0xFFFFFF, 0x000000, u"Text Selection");
    groups[2] = explicitGroup(0x0000FF, 0xFFFFFF, u"Number");
    groups[3] = explicitGroup(0x000000, 0xFFFFFF, u"Operator");
    groups.push_back(explicitGroup(0xFF0000, 0xFFFFFF, u"Keyword"));
    groups.push_back(explicitGroup(0x008000, 0xEEEEEE, u"Comment"));
    return config;
}

inline constexpr std::uint32_t kKeywordBlue = 0xFF0000;
inline constexpr std::uint32_t kCommentGreen = 0x008000;
inline constexpr std::uint32_t kCommentBack = 0xEEEEEE;

// An engine holding `text` in a test configuration.
inline void LoadText(SECEdit& edit, std::u16string_view text, SECEditLangConfig* config)
{
    edit.ResetContent();
    if (config)
        edit.SetLangConfig(config);
    edit.InsertTextAt(0, 0, text);
}

// An engine whose colour runs are whatever the test sets; lines without a
// list get none (painted as plain text).
class ScriptedEdit : public SECEdit
{
public:
    SECEditColorRunsRef GetLineColoring(std::int32_t line) override
    {
        if (line < 0 || line >= GetLineCount())
            return nullptr;
        auto it = runs.find(line);
        return it == runs.end() ? nullptr : &it->second;
    }
    std::map<std::int32_t, SECEditColorRuns> runs;
};

inline std::uint32_t MakeRun(std::uint32_t group, std::uint32_t length)
{
    return (group << 16) | length;
}

// Painting an editor pane into an image on the offscreen platform: a whole
// 1920 x 1080 pane of coloured C++ (about 70 lines of 230 columns), and the
// one row a keystroke changed.
#include "bench/BenchSupport.h"
#include "engine/SECEdit.h"
#include "platform/qt/QtFontMetrics.h"
#include "platform/qt/QtPainterSurface.h"
#include "syntax/LangConfigResourceLoader.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditSelectionHolder.h"
#include "view/SECEditViewport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kColumns = 230;
constexpr int kCppResource = 154;

// Lines of ordinary C++ (keywords, numbers, strings, operators, comments),
// each cut or padded to kColumns.
std::u16string CppText(int lines)
{
    static const char* const pieces[] = {
        "    if (count > 42 && flags != 0) { return static_cast<int>(total) + offset; } ",
        "for (unsigned int i = 0; i < size; ++i) values[i] = \"text\" + 17; ",
        "// keep the running total within range while the table grows ",
        "const double ratio = 3.25 * width / (height + 1); ",
        "/* a block comment */ while (node != nullptr) node = node->next; ",
    };
    std::u16string text;
    for (int line = 0; line < lines; ++line) {
        std::string row;
        for (int i = line; int(row.size()) < kColumns; ++i)
            row += pieces[i % 5];
        row.resize(kColumns);
        if (line % 7 == 3)
            row = "    " + row.substr(0, kColumns - 4); // some lines start with a comment-free indent
        text.append(row.begin(), row.end());
        text += u'\n';
    }
    return text;
}

struct PaneFixture
{
    PaneFixture() : image(kWidth, kHeight, QImage::Format_RGB32)
    {
        EnsureBenchApplication();
        config = new SECEditLangConfig();
        LangConfigResourceLoader loader(kCppResource);
        loader.Load(*config);
        edit.ResetContent();
        edit.SetLangConfig(config);
        edit.InsertTextAt(0, 0, CppText(120));
        viewport = std::make_unique<SECEditViewport>(&edit, metrics);
        holder.SetViewport(viewport.get());
        viewport->SetPresentationState(&holder);
        viewport->RefreshSettings();
        Paint({0, 0, kWidth, kHeight}); // colours every visible line once
    }
    ~PaneFixture()
    {
        viewport.reset();
        edit.SetLangConfig(nullptr);
        config->Release();
    }
    void Paint(const PixelRect& area)
    {
        QPainter painter(&image);
        QtPainterSurface surface(painter);
        viewport->PaintText(surface, area);
    }

    SECEditLangConfig* config = nullptr;
    SECEdit edit;
    QtFontMetricsFactory metrics;
    std::unique_ptr<SECEditViewport> viewport;
    SECEditSelectionHolder holder;
    QImage image;
};

void BM_PaintFullPane(benchmark::State& state)
{
    PaneFixture pane;
    const int lineHeight = pane.viewport->GetLineHeight();
    for (auto _ : state) {
        pane.Paint({0, 0, kWidth, kHeight});
        benchmark::DoNotOptimize(pane.image.constBits());
    }
    state.counters["lines"] = double(kHeight / lineHeight + 1);
    state.counters["columns"] = double(kColumns);
}
BENCHMARK(BM_PaintFullPane)->Unit(benchmark::kMillisecond);

// A character typed on line 30 and taken away again on the next keystroke:
// the engine edit, the line's recolouring and the repaint of its row.
void BM_PaintOneLine(benchmark::State& state)
{
    PaneFixture pane;
    const int line = 30;
    const int lineHeight = pane.viewport->GetLineHeight();
    const PixelRect row{0, line * lineHeight, kWidth, (line + 1) * lineHeight};
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            pane.edit.DeleteText(line, 100, line, 101);
        else
            pane.edit.InsertTextAt(line, 100, u"x");
        typed = !typed;
        pane.Paint(row);
        benchmark::DoNotOptimize(pane.image.constBits());
    }
}
BENCHMARK(BM_PaintOneLine)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {
// The layout work alone: the same paint into a surface that draws nothing.
class NullSurface final : public IDrawingSurface
{
public:
    void SetFont(const FontDescription&) override {}
    void SetClipRect(const PixelRect&) override {}
    void ClearClip() override {}
    void FillRect(const PixelRect&, std::uint32_t) override { ++calls; }
    void DrawText(int, int, std::u16string_view text, std::uint32_t) override { calls += int(text.size()); }
    void InvertRect(const PixelRect&) override {}
    void DrawLine(int, int, int, int, std::uint32_t) override {}
    void DrawRoundRect(const PixelRect&, int, int, std::uint32_t, std::uint32_t) override {}
    void DrawEllipse(const PixelRect&, std::uint32_t, std::uint32_t) override {}
    int calls = 0;
};

void BM_PaintFullPaneLayoutOnly(benchmark::State& state)
{
    PaneFixture pane;
    NullSurface surface;
    for (auto _ : state) {
        pane.viewport->PaintText(surface, {0, 0, kWidth, kHeight});
        benchmark::DoNotOptimize(surface.calls);
    }
}
BENCHMARK(BM_PaintFullPaneLayoutOnly)->Unit(benchmark::kMillisecond);
} // namespace

// Shows a file in a split editor window, for looking at the pane by eye:
//   tavro_pane_demo FILE [FIRST-LINE-OF-SECOND-PANE] [--columns | --dark]
// The file is coloured as C++; the window is split into two rows (and with
// --columns into two columns as well), the top pane with line numbers, a
// bookmark, a second gutter mark and a selection.
#include "engine/SECEdit.h"
#include "engine/SECEditLineMarks.h"
#include "syntax/LangConfigResourceLoader.h"
#include "syntax/SECEditLangConfig.h"
#include "view/SECEditSplitterWindow.h"
#include "view/SECEditView.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QScrollBar>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    if (argc > 3 && QByteArray(argv[3]) == "--dark") {
        // A dark desktop: automatic colours should follow it.
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(220, 220, 220));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::Text, QColor(212, 212, 212));
        dark.setColor(QPalette::Button, QColor(60, 60, 64));
        dark.setColor(QPalette::ButtonText, QColor(200, 200, 200));
        QApplication::setPalette(dark);
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QString text = QString::fromUtf8(file.readAll());

    auto* config = new SECEditLangConfig();
    LangConfigResourceLoader(154).Load(*config);
    SECEdit edit;
    edit.ResetContent();
    edit.SetLangConfig(config);
    config->Release();
    edit.InsertTextAt(0, 0, std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
    edit.SetLineMark(3, SECEditLineMarks::BookmarkMark, true);
    edit.SetLineMark(5, SECEditLineMarks::SecondGutterMark, true);

    SECEditSplitterWindow window([&](QWidget* parent) { return new SECEditView(&edit, parent); });
    window.setWindowTitle(QStringLiteral("Pane demo"));
    window.resize(1200, 820);
    window.show();
    const int secondPaneLine = argc > 2 ? std::atoi(argv[2]) : 40;
    QTimer::singleShot(100, [&] {
        window.SplitRow(window.height() / 2);
        if (argc > 3 && QByteArray(argv[3]) == "--columns")
            window.SplitColumn(window.width() / 2);
        SECEditView* top = window.GetPane(0, 0);
        top->GetSelectionHolder().GetGutterSettings().mode = 45311;
        top->GetSelectionHolder().SetSelection({8, 4}, {10, 12});
        top->GetViewport().UpdateScrollRanges();
        top->viewport()->update();
        window.GetPane(1, 0)->verticalScrollBar()->setValue(secondPaneLine);
    });
    return QApplication::exec();
}

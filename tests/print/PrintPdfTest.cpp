#include "app/CPrintCommands.h"
#include "app/CTavroCommandLine.h"
#include "app/CTavroDoc.h"
#include "engine/SECEdit.h"
#include "tests/app/AppTestSupport.h"
#include "view/SECEditPrintJob.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Page objects in a PDF file: "/Type /Page", not "/Type /Pages".
int PdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString bytes = QString::fromLatin1(file.readAll());
    return int(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"))));
}

void UsePdf(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
}

std::u16string NumberedLines(int count)
{
    std::u16string text;
    for (int i = 0; i < count; ++i) {
        const std::string line = "line " + std::to_string(i + 1) + "\tof the printed document\n";
        text.append(line.begin(), line.end());
    }
    return text;
}

} // namespace

TEST(PrintPdf, AMultiPageDocumentPrintsEveryPageAndTheChosenRange)
{
    QTemporaryDir dir;
    SECEdit edit;
    edit.InsertTextAt(0, 0, NumberedLines(300));

    QPrinter printer(QPrinter::HighResolution);
    const QString all = dir.filePath(QStringLiteral("all.pdf"));
    UsePdf(printer, all);
    const int pages = SECEditPrintJob::PageCount(printer, &edit);
    // 10 points on A4 at 1200 dpi: somewhere around 60 rows a page.
    EXPECT_GE(pages, 3);
    EXPECT_LE(pages, 8);
    EXPECT_EQ(SECEditPrintJob::Print(printer, &edit, QStringLiteral("numbers.txt")), pages);
    EXPECT_EQ(PdfPageCount(all), pages);

    const QString range = dir.filePath(QStringLiteral("range.pdf"));
    UsePdf(printer, range);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    EXPECT_EQ(SECEditPrintJob::Print(printer, &edit, QStringLiteral("numbers.txt")), 2);
    EXPECT_EQ(PdfPageCount(range), 2);

    // A range past the end prints what exists of it.
    const QString tail = dir.filePath(QStringLiteral("tail.pdf"));
    UsePdf(printer, tail);
    printer.setFromTo(pages, pages + 5);
    EXPECT_EQ(SECEditPrintJob::Print(printer, &edit, QString()), 1);
    EXPECT_EQ(PdfPageCount(tail), 1);
}

TEST(PrintPdf, APrinterThatCannotStartIsReportedAsAFailure)
{
    SECEdit edit;
    edit.InsertTextAt(0, 0, u"text");
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, QStringLiteral("/nonexistent-folder/out.pdf"));
    EXPECT_EQ(SECEditPrintJob::Print(printer, &edit, QStringLiteral("t")), -1);
}

TEST(PrintPdf, CommandLinePrintingPrintsTheNamedFilesOrSaysWhyNot)
{
    AppHarness h;
    const QString big = h.Write(QStringLiteral("big.txt"), QString::fromStdU16String(NumberedLines(200)).toUtf8());
    ASSERT_TRUE(h.Start({QStringLiteral("-p"), big}));
    ASSERT_NE(h.app->FindDocument(big), nullptr);

    QPrinter printer(QPrinter::HighResolution);
    const QString out = h.Path(QStringLiteral("out.pdf"));
    UsePdf(printer, out);
    const int expected = SECEditPrintJob::PageCount(printer, &h.app->FindDocument(big)->GetEdit());
    EXPECT_TRUE(CPrintCommands::PrintFiles(*h.app, {big}, printer));
    EXPECT_GE(expected, 2);
    EXPECT_EQ(PdfPageCount(out), expected);
    // A file that did not open is a failure, not a silent success.
    EXPECT_FALSE(CPrintCommands::PrintFiles(*h.app, {h.Path(QStringLiteral("absent.txt"))}, printer));

    // A named printer that does not exist: a message, and nothing printed.
    const CTavroCommandLine to = CTavroCommandLine::Parse(
        {QStringLiteral("tavro"), QStringLiteral("-pt"), big, QStringLiteral("no-such-printer-here")}, h.dir.path());
    h.messages.texts.clear();
    EXPECT_FALSE(CPrintCommands::PrintFromCommandLine(*h.app, to));
    ASSERT_EQ(h.messages.texts.size(), 1);
    EXPECT_TRUE(h.messages.texts[0].contains(QStringLiteral("no-such-printer-here")));
}

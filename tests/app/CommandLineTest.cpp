#include "app/CTavroCommandLine.h"

#include <gtest/gtest.h>

namespace {

CTavroCommandLine Parse(const QStringList& arguments)
{
    return CTavroCommandLine::Parse(QStringList{QStringLiteral("tavro")} + arguments, QStringLiteral("/work/here"));
}

} // namespace

TEST(CommandLine, FileNamesBecomeAbsoluteAgainstTheStartFolder)
{
    const CTavroCommandLine line = Parse({QStringLiteral("a.cpp"), QStringLiteral("../b.txt"), QStringLiteral("/abs/c.h")});
    ASSERT_EQ(line.action, CTavroCommandLine::Action::Run);
    EXPECT_EQ(line.files, (QStringList{QStringLiteral("/work/here/a.cpp"), QStringLiteral("/work/b.txt"),
                                       QStringLiteral("/abs/c.h")}));
}

TEST(CommandLine, HelpVersionAndUnknownOptions)
{
    const CTavroCommandLine help = Parse({QStringLiteral("--help")});
    EXPECT_EQ(help.action, CTavroCommandLine::Action::ShowHelp);
    EXPECT_TRUE(help.message.contains(QStringLiteral("--version")));
    EXPECT_FALSE(help.message.contains(QStringLiteral("first-paint"))) << "test switches stay out of --help";

    // An option that --help does not offer is a mistake, not a silent start.
    EXPECT_FALSE(help.message.contains(QStringLiteral("--help-all")));
    EXPECT_EQ(Parse({QStringLiteral("--help-all")}).action, CTavroCommandLine::Action::Error);

    const CTavroCommandLine version = Parse({QStringLiteral("--version")});
    EXPECT_EQ(version.action, CTavroCommandLine::Action::ShowVersion);
    EXPECT_TRUE(version.message.contains(QStringLiteral("3.3.0.6")));

    const CTavroCommandLine unknown = Parse({QStringLiteral("--frobnicate"), QStringLiteral("a.txt")});
    EXPECT_EQ(unknown.action, CTavroCommandLine::Action::Error);
    EXPECT_TRUE(unknown.message.contains(QStringLiteral("frobnicate"))) << unknown.message.toStdString();
    EXPECT_TRUE(unknown.message.contains(QStringLiteral("--help")));
}

TEST(CommandLine, ShellSwitchesAreAcceptedAndOnlyTheirFileOpens)
{
    const CTavroCommandLine print = Parse({QStringLiteral("-p"), QStringLiteral("a.txt")});
    ASSERT_EQ(print.action, CTavroCommandLine::Action::Run);
    EXPECT_TRUE(print.print);
    EXPECT_EQ(print.files, QStringList{QStringLiteral("/work/here/a.txt")});

    // -pt FILE PRINTER DRIVER PORT: the printer's names are no files.
    const CTavroCommandLine printTo =
        Parse({QStringLiteral("-pt"), QStringLiteral("a.txt"), QStringLiteral("Laser"), QStringLiteral("drv"),
               QStringLiteral("lpt")});
    ASSERT_EQ(printTo.action, CTavroCommandLine::Action::Run);
    EXPECT_TRUE(printTo.printTo);
    EXPECT_EQ(printTo.files, QStringList{QStringLiteral("/work/here/a.txt")});
    EXPECT_EQ(printTo.printToArgs.size(), 3);

    // Qt's own options are no mistakes either (QApplication takes them out later).
    const CTavroCommandLine qt = Parse({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse"),
                                        QStringLiteral("a.txt")});
    ASSERT_EQ(qt.action, CTavroCommandLine::Action::Run);
    EXPECT_EQ(qt.files, QStringList{QStringLiteral("/work/here/a.txt")});

    for (const char* legacy : {"-Automation", "-Embedding", "-Unregister", "-unregserver", "-dde"}) {
        const CTavroCommandLine line = Parse({QString::fromLatin1(legacy)});
        EXPECT_EQ(line.action, CTavroCommandLine::Action::Run) << legacy;
        EXPECT_TRUE(line.files.isEmpty()) << legacy;
    }
}

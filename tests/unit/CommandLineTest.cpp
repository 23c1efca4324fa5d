#include <gtest/gtest.h>

#include "app/CommandLine.h"

using namespace tessal;
using Kind = Command::Kind;

TEST(CommandLine, Verbs) {
    struct Case {
        QStringList args;
        Kind kind;
    };
    const Case cases[] = {
        {{}, Kind::run},
        {{"capture"}, Kind::capture},
        {{"capture", "--full", "-o", "a.png"}, Kind::captureFull},
        {{"capture", "--full", "-o", "a.png", "--display", "1"}, Kind::captureFull},
        {{"capture", "--list-windows"}, Kind::listWindows},
        {{"--version"}, Kind::version},
        {{"--help"}, Kind::help},
        // Usage errors.
        {{"--frobnicate"}, Kind::usageError},
        {{"snap"}, Kind::usageError},
        {{"capture", "--full"}, Kind::usageError},
        {{"capture", "--full", "-o"}, Kind::usageError},
        {{"capture", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--full", "-o", "a.png", "--display", "x"}, Kind::usageError},
        {{"capture", "--full", "-o", "a.png", "--display", "-1"}, Kind::usageError},
        {{"capture", "--list-windows", "--full", "-o", "a.png"}, Kind::usageError},
        {{"capture", "--list-windows", "--display", "0"}, Kind::usageError},
        {{"--version", "extra"}, Kind::usageError},
        {{"edit", "a.png"}, Kind::edit},
        {{"edit"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,10,10"}, Kind::regions},
        {{"regions", "a.png", "--window", "0,0,10,10", "--screen", "800,600"}, Kind::regions},
        {{"regions", "a.png"}, Kind::usageError},
        {{"stitch", "-o", "out.png", "a.png", "b.png"}, Kind::stitch},
        {{"stitch", "--axis", "horizontal", "--no-auto-crop", "-o", "o.png", "a.png"},
         Kind::stitch},
        {{"stitch", "a.png"}, Kind::usageError},
        {{"stitch", "--axis", "diagonal", "-o", "o.png", "a.png"}, Kind::usageError},
        {{"stitch", "-o", "o.png"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,10"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,x,10"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,-5,10"}, Kind::usageError},
        {{"regions", "a.png", "--window", "0,0,5,10", "--screen", "0,10"}, Kind::usageError},
        {{"edit", "a.png", "b.png"}, Kind::usageError},
    };
    for (const Case& c : cases) {
        const Command command = parseCommandLine(c.args);
        EXPECT_EQ(command.kind, c.kind) << c.args.join(' ').toStdString();
        if (c.kind == Kind::usageError) {
            EXPECT_FALSE(command.error.isEmpty());
        }
    }
    const Command full = parseCommandLine({"capture", "--full", "-o", "x.png", "--display", "2"});
    EXPECT_EQ(full.output, "x.png");
    EXPECT_EQ(full.display, 2);
}

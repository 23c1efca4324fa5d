#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "base/HelperPrograms.h"

using namespace tessal;

namespace {

QString makeExecutable(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return {};
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return QFileInfo(path).canonicalFilePath();
}

}  // namespace

// Helpers are looked for in the install layout (lib/tessal beside bin) and at the path a build
// passes; a file that merely lies beside the program is never started.
TEST(HelperPrograms, OnlyTheInstallLayoutAndTheGivenBuildPathAreLookedAt) {
    const QString name = QStringLiteral("tessal-probe-helper-%1").arg(getpid());
    const QString program = QCoreApplication::applicationDirPath();
    const QString beside = makeExecutable(program + QLatin1Char('/') + name);
    ASSERT_FALSE(beside.isEmpty());
    EXPECT_EQ(helperProgram(name), QString());
    EXPECT_EQ(helperProgram(name, program + QStringLiteral("/missing")), QString());
    EXPECT_EQ(helperProgram(name, beside), beside);

    const QString lib = program + QStringLiteral("/../lib/tessal");
    const bool madeLib = !QFileInfo::exists(program + QStringLiteral("/../lib"));
    const QString installed = makeExecutable(lib + QLatin1Char('/') + name);
    EXPECT_EQ(helperProgram(name, beside), installed);
    QFile::remove(installed);
    QFile::remove(beside);
    if (madeLib) QDir(program + QStringLiteral("/../lib")).removeRecursively();
}

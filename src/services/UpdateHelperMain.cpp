// tessal-update-helper: prepares one update for the resident program, which starts it and
// reads its answer. Request on standard input, answer on standard output (see
// UpdateInstaller); the download, the archive and the signatures are handled here only.
#include <QCoreApplication>
#include <QFile>
#include <cstdio>

#include "AppUpdater.h"

using namespace tessal;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly)) return 2;
    const auto request = UpdateInstaller::decodeRequest(input.read(1 << 20));
    if (!request) {
        std::fprintf(stderr, "tessal-update-helper: unreadable request\n");
        return 2;
    }
    const Result<PreparedUpdate> result =
        AppUpdater(request->configuration)
            .prepare(request->release, request->installed, request->runningExecutable);
    const QByteArray answer = UpdateInstaller::encodeAnswer(result);
    std::fwrite(answer.constData(), 1, std::size_t(answer.size()), stdout);
    std::fflush(stdout);
    return 0;
}

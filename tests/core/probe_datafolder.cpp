// Prints where the data folder helpers resolve, one value per line, so a test can
// place this program in a bundle tree of its own and check the answers.
#include <QCoreApplication>
#include <QTextStream>

#include "core/Function.h"
#include "core/Path.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quillon Probe"));
    QTextStream out(stdout);
    out << (Function::isAppDeployed() ? "deployed" : "bundle") << '\n'
        << Path::appData() << '\n'
        << Path::joinColor(QStringLiteral("x.qlp")) << '\n'
        << Path::joinInput(QString()) << '\n'
        << Path::joinHome(QStringLiteral("Looper")) << '\n'
        << Path::joinColor(QStringLiteral("/elsewhere/y.qlp")) << '\n'
        << Path::scratchTools() << '\n';
    return 0;
}

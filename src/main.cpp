#include "app/CommandLine.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    lumatide::setProcessArguments(arguments);
    QCoreApplication app(argc, argv);
    return QCoreApplication::exec();
}

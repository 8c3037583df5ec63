// The baseline of farewright-cli's start-up: a QtCore program that starts and ends, nothing more.
#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    return 0;
}

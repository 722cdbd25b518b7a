#include <QApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTextStream(stdout) << QStringLiteral("Tsumiki: the screens are not built yet.\n");
    return 0;
}

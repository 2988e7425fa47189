#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovaro"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tovaro"));
    auto *label = new QLabel(QStringLiteral("请柬打印程序正在建设中。"), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(640, 400);
    window.show();
    return app.exec();
}

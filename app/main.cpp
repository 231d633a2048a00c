#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Ostrivanteco"));
    QApplication::setApplicationName(QStringLiteral("tavro"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tavro"));
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}

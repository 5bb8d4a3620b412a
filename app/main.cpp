#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label("Zimra / Pexo Data Viewer");
    label.show();
    return app.exec();
}

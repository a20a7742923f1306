// The floor: the bare web engine, one QWebEngineView on one page and nothing else. Every Skyvane
// figure is compared with this program, measured in the same run.
//
//   floor URL

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) {
        return 2;
    }
    QWebEngineView view;
    view.resize(473, 339);
    view.load(QUrl::fromUserInput(QString::fromLocal8Bit(argv[1])));
    view.show();
    return QApplication::exec();
}

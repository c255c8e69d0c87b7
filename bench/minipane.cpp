// A minimal one-pane web program: the baseline that start-up of the game box
// is measured against. Loads one address and reports when it has loaded.
#include <QApplication>
#include <QDateTime>
#include <QWebEngineView>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("usage: minipane URL\n", stderr);
        return 2;
    }
    QWebEngineView view;
    bool reported = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) {
        if (reported)
            return;
        reported = true;
        std::fprintf(stderr, "kavo-startup loaded %lld ok=%d\n",
                     static_cast<long long>(QDateTime::currentMSecsSinceEpoch()), ok ? 1 : 0);
        std::fflush(stderr);
    });
    view.resize(903, 614);
    view.load(QUrl(QString::fromLocal8Bit(argv[1])));
    view.show();
    return app.exec();
}

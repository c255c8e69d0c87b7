// Downloads one URL with the download control and prints what it took:
//   dlbench <url> <target file>
// Output: "bytes=<n> ms=<elapsed> MBps=<throughput>"; exit 1 on failure.
#include "download/gui/bkdlcontrol.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTextStream out(stdout);
    if (args.size() != 3) {
        out << "usage: dlbench <url> <target file>\n";
        return 2;
    }
    bkDLControl control;
    QString failure;
    QObject::connect(&control, &bkDLControl::DLError, [&failure](int number, const QString &text) {
        failure = QString::number(number) + ' ' + text;
    });
    control.setFileURL(args[1]);
    control.setSaveFilePath(args[2]);

    QElapsedTimer clock;
    clock.start();
    const bool saved = control.BeginDownload(true);
    const qint64 ms = qMax<qint64>(1, clock.elapsed());
    if (!saved) {
        out << "failed: " << failure << '\n';
        return 1;
    }
    const qint64 bytes = control.BytesRead();
    out << "bytes=" << bytes << " ms=" << ms
        << " MBps=" << QString::number(bytes / 1048576.0 / (ms / 1000.0), 'f', 1) << '\n';
    return 0;
}

// Downloads one URL with the download control and prints what it took:
//   dlbench [--resume] <url> <target file>
// Output: "bytes=<n> ms=<elapsed> MBps=<throughput> received=<n>"; exit 1 on
// failure (after "failed: ..." and "received=<n>"). With --resume the control
// keeps a broken-off download and goes on from it, as the program does, and
// saves only a Flash movie.
#include "download/gui/bkdlcontrol.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    QTextStream out(stdout);
    const bool resume = args.removeAll(QStringLiteral("--resume")) > 0;
    if (args.size() != 3) {
        out << "usage: dlbench [--resume] <url> <target file>\n";
        return 2;
    }
    bkDLControl control;
    QString failure;
    QObject::connect(&control, &bkDLControl::DLError, [&failure](int number, const QString &text) {
        failure = QString::number(number) + ' ' + text;
    });
    control.setFileURL(args[1]);
    control.setSaveFilePath(args[2]);
    control.setResumable(resume);
    control.setFlashMoviesOnly(resume);

    QElapsedTimer clock;
    clock.start();
    const bool saved = control.BeginDownload(true);
    const qint64 ms = qMax<qint64>(1, clock.elapsed());
    if (!saved) {
        out << "failed: " << failure << "\nreceived=" << control.bytesReceived() << '\n';
        return 1;
    }
    const qint64 bytes = control.BytesRead();
    out << "bytes=" << bytes << " ms=" << ms
        << " MBps=" << QString::number(bytes / 1048576.0 / (ms / 1000.0), 'f', 1)
        << " received=" << control.bytesReceived() << '\n';
    return 0;
}

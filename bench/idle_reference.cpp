// The floor of a once-a-second Qt logger, to measure the service run beside: a QCoreApplication
// whose one timer reads /proc/net/dev every second and adds up the bytes.
#include <QCoreApplication>
#include <QFile>
#include <QTimer>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 total = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&total] {
        QFile file(QStringLiteral("/proc/net/dev"));
        if (!file.open(QIODevice::ReadOnly)) return;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (qsizetype i = 2; i < lines.size(); ++i) {
            const QList<QByteArray> f = lines[i].simplified().split(' ');
            if (f.size() > 9) total += f[1].toLongLong() + f[9].toLongLong();
        }
    });
    timer.start(1000);
    return app.exec() + static_cast<int>(total & 0);
}

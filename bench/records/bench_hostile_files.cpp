// Loading files that are no record files, or far larger ones than the program makes:
// the reader must look at each byte a bounded number of times and the store must grow
// in proportion. Prints the load time of
//   - 16 MiB of lines of 60,000 commas each (every comma ends an empty item),
//   - 32 MiB without a line end (refused at the first 64 KiB),
//   - record files of 2.1, 4.2 and 8.4 million records (the time should double, not
//     quadruple, with the size).
//
//   build/bench/records/bench_hostile_files
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "records/record_file_reader.h"

using namespace lp;

namespace {

bool writeFile(const QString& path, const QByteArray& head, const QByteArray& body, int repeats) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    f.write(head);
    for (int i = 0; i < repeats; ++i) {
        f.write(body);
    }
    return true;
}

void timeLoad(const char* what, const QString& path) {
    records::RecordStore store;
    QElapsedTimer t;
    t.start();
    const records::LoadResult result = records::loadRecordFile(path, store);
    std::printf("%-44s %8.0f ms, %lld records%s\n", what, t.nsecsElapsed() / 1e6,
                static_cast<long long>(result.records),
                result.error ? qPrintable(QStringLiteral(", stopped: line %1: %2")
                                              .arg(result.error->line)
                                              .arg(result.error->reason.left(40)))
                             : "");
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QByteArray header = "No.s\tDate Time\tdB\t\r\n";

    const QString commas = dir.filePath(QStringLiteral("commas.sdm"));
    writeFile(commas, header, QByteArray(60000, ',') + "\r\n", 16 * 1024 * 1024 / 60002);
    timeLoad("16 MiB of comma lines", commas);

    const QString endless = dir.filePath(QStringLiteral("endless.sdm"));
    writeFile(endless, QByteArray(), QByteArray(1 << 20, 'x'), 32);
    timeLoad("32 MiB without a line end", endless);

    for (int millions : {2, 4, 8}) {
        const int records = millions * 1048576;
        const QString path = dir.filePath(QStringLiteral("big%1.sdm").arg(millions));
        writeFile(path, header, "348000\t2009/06/01 14:05:09\t65.3\t\r\n", records);
        timeLoad(qPrintable(QStringLiteral("%1 records").arg(records)), path);
    }
    return 0;
}

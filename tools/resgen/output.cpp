#include "tools/resgen/output.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

namespace resgen {

QString Output::prepare(const QString& relative_path) const {
    const QString path = root_ + "/" + relative_path;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "vantor-resgen: cannot create %s\n", qPrintable(folder));
        std::exit(1);
    }
    return path;
}

void Output::png(const QString& relative_path, const QImage& image) const {
    const QString path = prepare(relative_path);
    if (!image.save(path, "PNG")) {
        std::fprintf(stderr, "vantor-resgen: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("%-40s %dx%d\n", qPrintable(relative_path), image.width(), image.height());
}

void Output::bytes(const QString& relative_path, const QByteArray& data) const {
    const QString path = prepare(relative_path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
        std::fprintf(stderr, "vantor-resgen: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
    std::printf("%-40s %lld bytes\n", qPrintable(relative_path),
                static_cast<long long>(data.size()));
}

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "vantor-resgen: check failed: %s\n", what);
    std::exit(1);
}

}  // namespace resgen

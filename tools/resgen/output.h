#pragma once
// Where the generated files go and how they are written. Every writer reports the file it
// made, so a run lists exactly what changed hands.

#include <QImage>
#include <QString>
#include <utility>

namespace resgen {

class Output {
  public:
    explicit Output(QString root) : root_(std::move(root)) {}

    // Writes image as PNG at root/relative_path, creating folders on the way.
    // A failed write ends the program: half a resource set is worse than none.
    void png(const QString& relative_path, const QImage& image) const;
    void bytes(const QString& relative_path, const QByteArray& data) const;

    const QString& root() const { return root_; }

  private:
    QString prepare(const QString& relative_path) const;
    QString root_;
};

// Stops the run with a message on stderr when condition is false (used for the checks
// that the images keep their contracts with the drawing code).
void require(bool condition, const char* what);

}  // namespace resgen

#include "ui/qt/board_window.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

#include "game/controller.h"
#include "game/dxp_session.h"
#include "game/game_ui.h"

namespace {

// "BMImage2", "BMIws", "BMIwk", "BMIbs", "BMIbk", "BMIem", "BMIem2", "BMImask", "BMImask2"
const std::array<const char*, BOARD_IMAGE_COUNT> IMAGE_FILES{
    ":/images/bmimage2.png", ":/images/bmiws.png",   ":/images/bmiwk.png",
    ":/images/bmibs.png",    ":/images/bmibk.png",   ":/images/bmiem.png",
    ":/images/bmiem2.png",   ":/images/bmimask.png", ":/images/bmimask2.png",
};

constexpr int CURSOR_HOTSPOT = 15;

}  // namespace

bool BoardImages::load() {
    bool complete = true;
    for (int i = 0; i < BOARD_IMAGE_COUNT; ++i) {
        // The raster operations below want the back buffer's own pixel format.
        images_[i] =
            QImage(QString::fromLatin1(IMAGE_FILES[i])).convertToFormat(QImage::Format_RGB32);
        complete = complete && !images_[i].isNull();
    }
    return complete;
}

const QImage& BoardImages::operator[](int index) const {
    if (index < 0 || index >= BOARD_IMAGE_COUNT) return none_;
    return images_[index];
}

BoardWindow::BoardWindow(const BoardImages& images, QWidget* parent)
    : QWidget(parent), images_(images), buffer_(BOARD_PIXELS, BOARD_PIXELS, QImage::Format_RGB32) {
    setFixedSize(BOARD_PIXELS, BOARD_PIXELS);
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(QCursor(QPixmap(QStringLiteral(":/images/board_cursor.png")), CURSOR_HOTSPOT,
                      CURSOR_HOTSPOT));
    buffer_.fill(Qt::white);
}

int BoardWindow::pieceShown(int square) const {
    return square >= 1 && square <= SQUARE_COUNT ? pieces_[square] : NO_SQUARE;
}

bool BoardWindow::isMarked(int square) const {
    return square >= 1 && square <= SQUARE_COUNT && marked_[square];
}

void BoardWindow::drawSquare(int piece, int square, int marking) {
    if (square < 1 || square > SQUARE_COUNT) return;
    pieces_[square] = piece;
    marked_[square] = marking == SQUARE_MARKED;
    if (!rendered_) return;  // the first paint draws everything
    renderSquare(square);
    const Point origin = square_origin(square);
    update(origin.x, origin.y, SQUARE_PIXELS, SQUARE_PIXELS);
}

void BoardWindow::drawAllPieces(const BoardPieces& pieces) {
    pieces_ = pieces;
    marked_.fill(false);
    if (!rendered_) return;
    for (int square = 1; square <= SQUARE_COUNT; ++square) renderSquare(square);
    update();
}

void BoardWindow::renderBoard() {
    QPainter painter(&buffer_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QImage& tile = images_[IMAGE_TILE];
    for (int i = 0; i < TILES_PER_SIDE; ++i) {
        for (int j = 0; j < TILES_PER_SIDE; ++j)
            painter.drawImage(i * TILE_PIXELS, j * TILE_PIXELS, tile);
    }
    painter.end();
    for (int square = 1; square <= SQUARE_COUNT; ++square) {
        if (pieces_[square] != NO_SQUARE) renderSquare(square);
    }
    rendered_ = true;
}

// The square's picture, then the piece made transparent by exclusive-or, AND with its
// mask (black where the piece is), exclusive-or again: the piece pictures are black
// outside the mask, so outside it the square's own pixels come back unchanged.
void BoardWindow::renderSquare(int square) {
    const Point origin = square_origin(square);
    const SquareImages drawn = square_images(pieces_[square], marked_[square]);
    QPainter painter(&buffer_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(origin.x, origin.y, images_[drawn.square_image]);
    if (drawn.piece_image < 0) return;
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(origin.x, origin.y, images_[drawn.piece_image]);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(origin.x, origin.y, images_[drawn.mask_image]);
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.drawImage(origin.x, origin.y, images_[drawn.piece_image]);
}

void BoardWindow::paintEvent(QPaintEvent* event) {
    if (!rendered_) renderBoard();
    QPainter painter(this);
    painter.drawImage(event->rect(), buffer_, event->rect());
    ++paintCount_;
    emit painted();
}

void BoardWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    // In a network game both sides' moves come from the two programs, none from the mouse.
    if (dxp_game_running()) return;
    const QPoint at = event->position().toPoint();
    board_clicked(square_at(at.x(), at.y()));
}

void BoardWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            abort_game();
            break;
        case Qt::Key_Space:
            force_computer_move();
            break;
        default:
            break;  // the board keeps every other key to itself
    }
    event->accept();
}

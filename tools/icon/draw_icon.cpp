// Draws the program's icon (a handheld terminal with a scan line and a tick) into PNG files
// of 48, 32, 24 and 16 pixels: draw_icon <output folder>. The pictures in res/icons come
// from here; run it again after changing the drawing.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage Draw(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 48.0, size / 48.0);

    // The terminal's body and its screen.
    p.setPen(QPen(QColor(0x20, 0x2a, 0x36), 2));
    p.setBrush(QColor(0x3b, 0x4b, 0x5e));
    p.drawRoundedRect(QRectF(10, 2, 28, 44), 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xd8, 0xf0, 0xe0));
    p.drawRect(QRectF(14, 7, 20, 18));
    // Keypad.
    p.setBrush(QColor(0xc9, 0xd3, 0xdd));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.drawRoundedRect(QRectF(14.5 + col * 7, 29 + row * 5.5, 5, 3.8), 1, 1);
        }
    }
    // The scanner's red line across the screen, and a green tick on it.
    p.setPen(QPen(QColor(0xe0, 0x30, 0x30), 2));
    p.drawLine(QPointF(12, 16), QPointF(36, 16));
    QPainterPath tick;
    tick.moveTo(17, 15);
    tick.lineTo(22, 21);
    tick.lineTo(31, 9);
    p.setPen(QPen(QColor(0x10, 0x90, 0x40), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    for (const int size : {48, 32, 24, 16}) {
        if (!Draw(size).save(folder + QStringLiteral("/icon_%1.png").arg(size))) {
            return 1;
        }
    }
    return 0;
}

#include "shell/picture_box.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace keldra {
namespace {

constexpr int placeholder_width = 142;
constexpr int placeholder_height = 141;

// A fine weave of lighter and darker dots, so the ground reads as cloth rather than flat paint.
void paint_textured_ground(QPainter& painter, const QRect& area) {
    QRadialGradient glow(area.center(), area.width() * 0.75);
    glow.setColorAt(0.0, QColor(34, 58, 120));
    glow.setColorAt(1.0, QColor(8, 16, 48));
    painter.fillRect(area, glow);
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const unsigned pattern = static_cast<unsigned>((x * 7 + y * 13) ^ (x * y)) % 11U;
            if (pattern == 0) {
                painter.setPen(QColor(70, 100, 170, 90));
                painter.drawPoint(x, y);
            } else if (pattern == 5) {
                painter.setPen(QColor(0, 0, 20, 110));
                painter.drawPoint(x, y);
            }
        }
    }
}

void paint_question_mark(QPainter& painter, const QRect& area) {
    QFont font;
    font.setFamily(QStringLiteral("DejaVu Serif"));
    font.setBold(true);
    font.setPixelSize(area.height() * 3 / 4);
    QPainterPath mark;
    mark.addText(0, 0, font, QStringLiteral("?"));
    const QRectF bounds = mark.boundingRect();
    mark.translate(area.center().x() - bounds.center().x(),
                   area.center().y() - bounds.center().y());

    QLinearGradient gold(mark.boundingRect().topLeft(), mark.boundingRect().bottomRight());
    gold.setColorAt(0.0, QColor(255, 236, 139));
    gold.setColorAt(0.5, QColor(218, 165, 32));
    gold.setColorAt(1.0, QColor(139, 101, 8));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(3, 3);
    painter.fillPath(mark, QColor(0, 0, 0, 140));
    painter.translate(-3, -3);
    painter.fillPath(mark, gold);
    painter.strokePath(mark, QPen(QColor(90, 60, 0), 1.5));
}

} // namespace

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
}

void PictureBox::set_picture(QByteArray bytes) {
    picture_ = std::move(bytes);
    shown_ = QImage::fromData(picture_);
    update();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (shown_.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(contentsRect(), shown_);
}

QByteArray placeholder_picture() {
    QImage image(placeholder_width, placeholder_height, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        paint_textured_ground(painter, image.rect());
        paint_question_mark(painter, image.rect());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 92)) {
        bytes.clear();
        buffer.seek(0);
        image.save(&buffer, "PNG");
    }
    return bytes;
}

} // namespace keldra

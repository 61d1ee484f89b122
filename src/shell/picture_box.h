// A picture box: shows the picture file it holds, stretched to fill it, inside a sunken border.
#pragma once

#include <QByteArray>
#include <QFrame>
#include <QImage>

namespace keldra {

class PictureBox : public QFrame {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Holds `bytes` (the whole picture file, any format Qt reads) and shows it. Bytes Qt cannot
    // read are still held, and the box shows its background.
    void set_picture(QByteArray bytes);
    // The bytes of the picture file the box holds, exactly as given.
    const QByteArray& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QByteArray picture_;
    QImage shown_;
};

// The picture both boxes show until a map's pictures replace it: a golden question mark on a dark
// blue textured ground, 142 x 141 pixels, as the bytes of a JPEG file (PNG where Qt has no JPEG
// writer).
QByteArray placeholder_picture();

} // namespace keldra

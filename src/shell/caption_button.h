// A push button whose caption wraps onto several lines.
#pragma once

#include <QPushButton>

namespace keldra {

// Shows its caption centred and wrapped to the button's width, breaking at "\r\n" or "\n" as
// well, the way the program's narrow two-line buttons need. text() stays the caption as given.
class CaptionButton : public QPushButton {
    Q_OBJECT
public:
    explicit CaptionButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace keldra

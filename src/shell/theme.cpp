#include "shell/theme.h"

#include <QApplication>
#include <QStyleFactory>

namespace keldra {

QPalette silver_palette() {
    const QColor frame(198, 197, 215);
    const QColor face(224, 223, 231);
    QPalette palette(face);
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::ButtonText, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, QColor(242, 241, 246));
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(236, 235, 241));
    palette.setColor(QPalette::Mid, frame);
    palette.setColor(QPalette::Dark, frame.darker(140));
    palette.setColor(QPalette::Shadow, frame.darker(220));
    palette.setColor(QPalette::Highlight, QColor(49, 106, 197));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, frame.darker(160));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, frame.darker(160));
    palette.setColor(QPalette::Disabled, QPalette::Text, frame.darker(160));
    return palette;
}

void apply_silver_theme() {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) {
        QApplication::setStyle(fusion);
    }
    QApplication::setPalette(silver_palette());
}

} // namespace keldra

#include "res/ToolbarImages.h"

#include <QPainter>
#include <QPainterPath>

#include "res/Resource.h"

namespace {

constexpr int BUTTON_W = 16;
constexpr int BUTTON_H = 15;

QPixmap Blank()
{
    QPixmap pixmap(BUTTON_W, BUTTON_H);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// The handheld: grey case, green screen, dark buttons.
void DrawHandheld(QPainter& p, const QRect& rc)
{
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xC8, 0xC8, 0xC0));
    p.drawRect(rc.adjusted(0, 0, -1, -1));
    int nScreenW = rc.width() - 4;
    int nScreenH = rc.height() * 2 / 5;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x50));
    p.drawRect(rc.left() + 1, rc.top() + 1, rc.width() - 3, nScreenH + 2);
    p.setBrush(QColor(0x9B, 0xBC, 0x0F));
    p.drawRect(rc.left() + 2, rc.top() + 2, nScreenW - 1, nScreenH);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    int nPadY = rc.top() + nScreenH + 5;
    p.drawRect(rc.left() + 2, nPadY, 3, 1);
    p.drawRect(rc.left() + 3, nPadY - 1, 1, 3);
    p.setBrush(QColor(0xA0, 0x10, 0x50));
    p.drawRect(rc.right() - 3, nPadY - 1, 2, 2);
}

QPixmap NewImage()
{
    // A handheld with a sheet coming out of it.
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    DrawHandheld(p, QRect(0, 2, 9, 13));
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(9, 0, 6, 9);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(11, 3, 13, 3);
    p.drawLine(11, 5, 13, 5);
    return pixmap;
}

QPixmap OpenImage()
{
    // An open folder.
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setPen(QColor(0x60, 0x50, 0x00));
    p.setBrush(QColor(0xE8, 0xC0, 0x40));
    p.drawRect(1, 3, 11, 10);
    p.drawRect(1, 2, 5, 1);
    QPainterPath flap;
    flap.moveTo(3.5, 6.5);
    flap.lineTo(15.5, 6.5);
    flap.lineTo(12.5, 13.5);
    flap.lineTo(1.5, 13.5);
    flap.closeSubpath();
    p.setBrush(QColor(0xF8, 0xE0, 0x80));
    p.drawPath(flap);
    return pixmap;
}

QPixmap SaveImage()
{
    // A diskette.
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setPen(QColor(0x10, 0x10, 0x40));
    p.setBrush(QColor(0x30, 0x50, 0xA0));
    p.drawRect(1, 0, 13, 14);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(0xB0, 0xB0, 0xB0));
    p.drawRect(4, 9, 7, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x50, 0xA0));
    p.drawRect(9, 10, 1, 3);
    return pixmap;
}

QPixmap PrintImage()
{
    // A printer with a sheet.
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(4, 0, 7, 6);
    p.setBrush(QColor(0xB8, 0xB8, 0xB8));
    p.drawRect(0, 5, 15, 6);
    p.setBrush(Qt::white);
    p.drawRect(3, 9, 9, 5);
    p.setPen(QColor(0x00, 0xA0, 0x00));
    p.drawPoint(13, 7);
    return pixmap;
}

QPixmap ReadImage()
{
    // A handheld and the arrow of a reception.
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    DrawHandheld(p, QRect(0, 0, 9, 15));
    p.setPen(QColor(0x00, 0x60, 0x00));
    p.setBrush(QColor(0x20, 0xB0, 0x20));
    QPolygon arrow;
    arrow << QPoint(10, 5) << QPoint(12, 5) << QPoint(12, 2) << QPoint(15, 7) << QPoint(12, 12) << QPoint(12, 9)
          << QPoint(10, 9);
    p.drawPolygon(arrow);
    return pixmap;
}

QPixmap IconImage(int nSize, bool bDocument)
{
    QPixmap pixmap(nSize, nSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.scale(nSize / 16.0, nSize / 16.0);
    if (bDocument) {
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.setBrush(Qt::white);
        p.drawRect(2, 0, 11, 15);
        const QColor greys[] = {QColor(0xFF, 0xFF, 0xFF), QColor(0xCC, 0xCC, 0xCC), QColor(0xAA, 0xAA, 0xAA),
                                QColor(0x00, 0x00, 0x00)};
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i) {
            p.setBrush(greys[i]);
            p.drawRect(4, 2 + 3 * i, 7, 2);
        }
    } else {
        DrawHandheld(p, QRect(2, 0, 12, 16));
    }
    return pixmap;
}

} // namespace

QPixmap ToolbarImage(uint16_t nId)
{
    switch (nId) {
    case ID_FILE_NEW: return NewImage();
    case ID_FILE_OPEN: return OpenImage();
    case ID_FILE_SAVE: return SaveImage();
    case ID_FILE_PRINT: return PrintImage();
    case ID_FILE_READGB: return ReadImage();
    default: return {};
    }
}

QIcon AppIcon()
{
    // The resources live in a static library: make sure they are linked in and registered.
    Q_INIT_RESOURCE(quillomat);
    QIcon icon(QStringLiteral(":/res/quillomat.png"));
    if (icon.isNull())
        for (int nSize : {16, 32, 48})
            icon.addPixmap(IconImage(nSize, false));
    return icon;
}

QIcon DocIcon()
{
    QIcon icon;
    for (int nSize : {16, 32})
        icon.addPixmap(IconImage(nSize, true));
    return icon;
}

#include "history/qt/history_images.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include "history/qt/frm_history.h"

// The five small images: adapter row, chosen adapter row, history row, ascending and
// descending sort marks.
QIcon draw_history_image(int kind) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    switch (kind) {
        case frmHistory::kImageAdapter:
        case frmHistory::kImageChosenAdapter: {
            const QColor board = kind == frmHistory::kImageAdapter ? QColor(96, 128, 96) : QColor(40, 170, 40);
            p.fillRect(2, 4, 12, 7, board);
            p.fillRect(4, 11, 2, 2, QColor(200, 160, 40));
            p.fillRect(8, 11, 2, 2, QColor(200, 160, 40));
            p.fillRect(11, 5, 2, 3, Qt::black);
            if (kind == frmHistory::kImageChosenAdapter) p.fillRect(3, 5, 3, 3, Qt::white);
            break;
        }
        case frmHistory::kImageHistory:
            p.fillRect(2, 2, 12, 12, QColor(255, 255, 255));
            p.fillRect(2, 2, 12, 3, QColor(60, 90, 200));
            p.setPen(QColor(120, 120, 120));
            p.drawRect(2, 2, 11, 11);
            for (int y = 7; y <= 11; y += 2) p.drawLine(4, y, 11, y);
            break;
        case frmHistory::kImageAscending:
        case frmHistory::kImageDescending: {
            const bool up = kind == frmHistory::kImageAscending;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(90, 90, 90));
            const QPolygon triangle = up ? QPolygon({QPoint(8, 5), QPoint(12, 10), QPoint(4, 10)})
                                         : QPolygon({QPoint(4, 6), QPoint(12, 6), QPoint(8, 11)});
            p.drawPolygon(triangle);
            break;
        }
        default: break;
    }
    return QIcon(pm);
}

#include "display/qt/app_icon.h"

QIcon app_icon() {
    // The resource lives in a static library: referencing it here keeps it in the program.
    Q_INIT_RESOURCE(app_icon);
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/icons/kelvanto-%1.png").arg(size), QSize(size, size));
    return icon;
}

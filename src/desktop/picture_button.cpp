// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/picture_button.h"

#include <QIcon>

namespace kug {

PictureButton::PictureButton(const QString& picture, const QString& disabledPicture,
                             QWidget* parent)
    : QPushButton(parent) {
    // addFile also takes the picture's 32 x 32 twin, NAME@2x.xpm, which a
    // screen at scale 2 shows pixel for pixel instead of a blurred 16 x 16.
    QIcon icon;
    icon.addFile(picture, QSize(), QIcon::Normal);
    if (!disabledPicture.isEmpty())
        icon.addFile(disabledPicture, QSize(), QIcon::Disabled);
    setIcon(icon);
    setIconSize(QSize(16, 16));
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
}

} // namespace kug

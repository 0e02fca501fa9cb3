// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/picture_button.h"

#include <QIcon>
#include <QPixmap>

namespace kug {

PictureButton::PictureButton(const QString& picture, const QString& disabledPicture,
                             const QString& accessibleName, QWidget* parent)
    : QPushButton(parent) {
    QIcon icon;
    icon.addPixmap(QPixmap(picture), QIcon::Normal);
    if (!disabledPicture.isEmpty())
        icon.addPixmap(QPixmap(disabledPicture), QIcon::Disabled);
    setIcon(icon);
    setIconSize(QSize(16, 16));
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
}

} // namespace kug

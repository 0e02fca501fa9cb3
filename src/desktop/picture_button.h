// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A picture-only command button: a 16x16 picture, a separate picture while
// disabled, no caption, no tooltip; it takes the focus when clicked so that a
// parameter field is validated before the button acts. Each picture has a
// 32x32 twin beside it (NAME@2x.xpm) for screens at scale 2.

#include <QPushButton>

namespace kug {

class PictureButton final : public QPushButton {
    Q_OBJECT
public:
    // An empty disabled picture: the toolkit greys the picture itself.
    PictureButton(const QString& picture, const QString& disabledPicture,
                  QWidget* parent = nullptr);
};

} // namespace kug

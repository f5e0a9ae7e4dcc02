// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes the case and button photographs with libjpeg-turbo.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace cantiere {

// A null image and a reason in `error` when the data is not a JPEG that
// decodes completely.
QImage decodeJpeg(const QByteArray& data, QString* error = nullptr);

}  // namespace cantiere

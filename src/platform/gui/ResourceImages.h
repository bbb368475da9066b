#pragma once

#include <QIcon>
#include <QImage>

// The pictures compiled into the program (Qt resources) by their resource numbers.

/// The icon resource `id` with every size that is compiled in; a null icon when there is none.
QIcon ResourceIcon(int id);

/// The bitmap resource `id`; a null image when there is none or it does not decode.
QImage ResourceBitmap(int id);

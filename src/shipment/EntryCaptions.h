#pragma once

#include "ShipmentTypes.h"

#include <QString>

namespace plx {

// The caption of an entry window's control ("Text19" -> "納入数量："), as the
// window shows it beside the control; the grid is "荷札".
QString captionOf(const QString& control, Protocol format);

} // namespace plx

#pragma once

#include <QIcon>

namespace ApplicationIcon {

// The program's own icon in every size that is drawn for it (16 to 256
// pixels), so that title bars, task switchers and docks never scale a small
// one up.
QIcon Create();

} // namespace ApplicationIcon

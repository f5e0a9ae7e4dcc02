// The program's icon for its windows' frames and task bars.
#pragma once

#include <QIcon>

namespace cantiere {

// The built-in icon art at every size a desktop asks for (16 to 256
// pixels): a size drawn for its own is taken as it is, the others are
// scaled from the largest one.
QIcon applicationIcon();

}  // namespace cantiere

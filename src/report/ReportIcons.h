#pragma once

#include <QIcon>

// The pictures of the report window's tool bar that no icon theme is asked for, drawn so that
// they look the same on every desktop and at every scale.
QIcon PrinterIcon(); // «Печать»: a printer with a printed sheet
QIcon PageSetupIcon(); // «Настройка принтера»: a sheet upright and one turned, with margins

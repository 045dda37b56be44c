#pragma once

#include "platform/registry/RegApi.h"

#include <QString>

// The program's folder, which holds the machine-wide settings in "etc"; it defaults to the
// folder of the executable and is changed by the program's --data-dir option.
void SetRegDataDir(const QString& folder);
QString RegDataDir();

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString UserConfigDir();

// The file that keeps one root; empty for a root that has no file.
QString RegRootFile(THKey root);
QString RegRootName(THKey root);

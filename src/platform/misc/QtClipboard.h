#pragma once

#include "text/MyClipboard.h"

// The program's clipboard over the desktop's, through Qt.
class TQtClipboard : public IPlatformClipboard {
public:
    const QMimeData* Data() const override;
    void SetData(QMimeData* Data) override;
};

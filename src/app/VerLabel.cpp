#include "app/VerLabel.h"

TVerLabel::TVerLabel(QWidget* parent)
    : TVerLabel(ProgramVersionResource(), parent)
{
}

TVerLabel::TVerLabel(std::optional<TFixedFileInfo> resource, QWidget* parent)
    : QLabel(parent)
    , fResource(resource)
{
}

void TVerLabel::SetInfoType(TFixedInfo value)
{
    if (value == fInfoType)
        return;
    fInfoType = value;
    setText(FixedInfoText(fResource, value));
}

// Stand-ins for the built-in editor's pointer services until the editor
// itself provides them: the editor covers its cell's body and keeps no caret.
#include "grid/GridObject.h"

QRect TGridObject::EditorRect() const
{
    if (!IsInternalEditorOpen())
        return QRect();
    return GetTextRect(fEditCell.Col, fEditCell.Row);
}

void TGridObject::SetCaretAtPoint(qint32, qint32, bool) { }

void TGridObject::SelectAllEditorText() { }

bool TGridObject::IsInternalEditorOpen() const { return fEditorMode && fInternalEditor; }

#pragma once

#include "view/SECEditTransfer.h"

#include <QString>

class QMimeData;

// Text between the editor and the desktop's clipboard or drag-and-drop: plain
// text, and a column block marked by an extra format that only says "these
// lines are a block" (it carries the same text).
namespace SECEditMimeData {

// The name of the format that marks a column block.
QString ColumnMarkerFormat();

// New data offering the text, and the marker for a column block.
QMimeData* Make(const SECEditTransfer& data);

// The text and the column flag; false when the data offers no text.
bool Read(const QMimeData& mime, SECEditTransfer& data);

// Whether the data holds local files (a file dragged from a file manager).
bool HasLocalFiles(const QMimeData& mime);

} // namespace SECEditMimeData

#pragma once

#include "view/SECEditView.h"

class SECEdit;

// The application's editor pane: one view of a document's engine. The
// document owns the engine; the pane only observes it.
class CTavroView : public SECEditView
{
    Q_OBJECT

public:
    explicit CTavroView(SECEdit* edit, QWidget* parent = nullptr);
};

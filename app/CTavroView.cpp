#include "app/CTavroView.h"

CTavroView::CTavroView(SECEdit* edit, QWidget* parent) : SECEditView(edit, parent) {}

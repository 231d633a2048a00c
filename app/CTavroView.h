#pragma once

#include "view/SECEditView.h"

#include <memory>

class CTavroController;
class SECEdit;

// The application's editor pane: one view of a document's engine, edited
// through its own controller. The document owns the engine; the pane only
// observes it.
class CTavroView : public SECEditView
{
    Q_OBJECT

public:
    explicit CTavroView(SECEdit* edit, QWidget* parent = nullptr);
    ~CTavroView() override;

    CTavroController& GetController() { return *m_controller; }

protected:
    bool AcceptsDroppedFiles() const override;
    void OpenDroppedFiles(const QMimeData& data) override;

private:
    std::unique_ptr<CTavroController> m_controller;
};

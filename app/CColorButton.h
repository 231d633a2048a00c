#pragma once

#include <QColor>
#include <QPushButton>

// A push button that shows a colour as a swatch. Clicking it is the owner's
// business (it opens a colour chooser); the button only shows the colour.
class CColorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CColorButton(const QString& text, QWidget* parent = nullptr);

    QColor GetColor() const { return m_color; }
    void SetColor(const QColor& color);

protected:
    void changeEvent(QEvent* event) override;

private:
    void UpdateSwatch();

    QColor m_color = Qt::black;
};

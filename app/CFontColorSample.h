#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

// The sample of the font and colour dialog: "AaBbCcXxYyZz" in the chosen
// font and colours, centred in a framed rectangle.
class CFontColorSample : public QWidget
{
    Q_OBJECT

public:
    explicit CFontColorSample(QWidget* parent = nullptr);

    void SetSample(const QFont& font, const QColor& foreground, const QColor& background);
    QFont GetSampleFont() const { return m_font; }
    QColor GetForeground() const { return m_foreground; }
    QColor GetBackground() const { return m_background; }

    static QString SampleText() { return QStringLiteral("AaBbCcXxYyZz"); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont m_font;
    QColor m_foreground = Qt::black;
    QColor m_background = Qt::white;
};

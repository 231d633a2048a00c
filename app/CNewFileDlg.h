#pragma once

#include <QDialog>

class QComboBox;

// "File Template": which kind of page skeleton to insert.
class CNewFileDlg : public QDialog
{
    Q_OBJECT

public:
    enum Type { XmlTemplate = 0, HtmlTemplate = 1 };

    explicit CNewFileDlg(QWidget* parent = nullptr);

    QComboBox* GetTypeBox() const { return m_type; }
    int GetType() const { return m_typeIndex; }

private:
    QComboBox* m_type = nullptr;
    int m_typeIndex = HtmlTemplate;
};

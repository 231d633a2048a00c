#pragma once

#include <string>

// Message boxes meant for the user. The program shows a QMessageBox; tests
// record the texts and answer with a prepared button.
class IMessageBox
{
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual Answer Show(const std::u16string& text, Buttons buttons = Buttons::Ok,
                        Icon icon = Icon::None) = 0;

protected:
    ~IMessageBox() = default;
};

#include "UserPrompt.h"

QMessageBox::StandardButton UserPrompt::Ask(QWidget* parent, const Prompt& prompt)
{
    if (const Answerer& answerer = CurrentAnswerer())
        return answerer(prompt);
    QMessageBox box(prompt.icon, prompt.title, prompt.text, prompt.buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void UserPrompt::Inform(QWidget* parent, const QString& title, const QString& text)
{
    Ask(parent, Prompt { QMessageBox::Information, title, text, QMessageBox::Ok });
}

void UserPrompt::SetAnswerer(Answerer answerer)
{
    CurrentAnswerer() = std::move(answerer);
}

UserPrompt::Answerer& UserPrompt::CurrentAnswerer()
{
    static Answerer answerer;
    return answerer;
}

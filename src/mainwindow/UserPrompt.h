#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

// Every modal message box of the window goes through here. A test installs
// an answerer, which then replies in place of the user, so no box ever waits
// for a click that cannot come.
class UserPrompt
{
public:
    struct Prompt
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
    };
    using Answerer = std::function<QMessageBox::StandardButton(const Prompt&)>;

    // Shows a modal box (or asks the answerer) and returns the button chosen.
    static QMessageBox::StandardButton Ask(QWidget* parent, const Prompt& prompt);

    // A modal information box with a single OK button.
    static void Inform(QWidget* parent, const QString& title, const QString& text);

    // Replaces the user; an empty answerer brings the real boxes back.
    static void SetAnswerer(Answerer answerer);

private:
    static Answerer& CurrentAnswerer();
};

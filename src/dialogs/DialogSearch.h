#pragma once

#include <QDialog>

class Ui_DialogSearch;

// A search dialog not offered anywhere yet: only its OK and Cancel buttons.
class DialogSearch : public QDialog
{
    Q_OBJECT

public:
    explicit DialogSearch(QWidget* parent = nullptr);
    ~DialogSearch() override;

private:
    Ui_DialogSearch* ui;
};

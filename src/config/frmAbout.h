#pragma once
// The about window: the program's icon and name, its version, copyright and comments from the
// version record, and a scrolling line of thanks.
#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class TScrollText;

class TfmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfmAbout(QWidget* owner = nullptr);

    void FormCreate();
    void FormClose();

    QLabel* ProgramIcon;
    QLabel* lblTitle1;
    QLabel* lblTitle2;
    QLabel* Label2;
    QFrame* Bevel2;
    QLabel* Image1;
    QLabel* Image2;
    QLabel* Image3;
    QLabel* Version;
    QLabel* Copyright;
    QLabel* Comments;
    QLabel* lblVersionValue;
    QLabel* lblCopyrightValue;
    QLabel* lblCommentsValue;
    QFrame* Bevel1;
    QLabel* lblThanks;
    TScrollText* stThanks;
    QPushButton* btnOK;

    void done(int result) override;
};

// Creates the about window owned by owner, shows it modally and destroys it when it closes.
void ShowAboutDialog(QWidget* owner);

#pragma once
// The options dialog: the base addresses of LPT1 to LPT8 and their display form. It edits the
// port table and PortAddrShowHexa in memory only; the file receives them at the next save.
#include <QDialog>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TAddrEdit;

class TfmOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfmOptions(QWidget* owner = nullptr);

    void InitOptions();
    void LoadOptions();
    void UpdateAddrDisplay();
    void StoreOptions();
    void btnOKClick();
    void cbLPTPortAddrShowHexaClick();

    // Field and label of LPTn, n from 1 to 8.
    TAddrEdit* edLPTAddr(int n) const { return fields_.at(std::size_t(n - 1)); }
    QLabel* Label(int n) const { return labels_.at(std::size_t(n - 1)); }

    QTabWidget* pcOptions;
    QWidget* tsLPTPorts;
    QCheckBox* cbLPTPortAddrShowHexa;
    QPushButton* btnOK;
    QPushButton* btnCancel;

protected:
    // Neither button is the default or the cancel button: Enter and Escape press neither.
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::array<TAddrEdit*, 8> fields_{};
    std::array<QLabel*, 8> labels_{};
};

// Creates the dialog owned by owner, fills it, shows it modally and destroys it when it closes.
void ShowOptionsDialog(QWidget* owner);

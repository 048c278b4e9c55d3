#pragma once
// A one-line numeric edit with two arrow buttons, holding one integer shown in decimal ("888")
// or in hexadecimal after "0x" ("0x378"), used for the port addresses of the options dialog.
#include <QString>
#include <QWidget>
#include <cstdint>

class QLineEdit;
class QToolButton;

// The display forms and the two ways the text is read.
QString AddrDecimalText(std::int32_t value);
QString AddrHexText(std::int32_t value); // "0x" and upper-case digits, the 32-bit pattern
// The text, trimmed, as a signed 32-bit integer (decimal with a sign, or "0x", "0X", "x", "X"
// or "$" and one to eight hexadecimal digits); 0 when empty or when it does not convert.
std::int32_t AddrTextAsInteger(const QString& text);
// The text less its first two characters, as hexadecimal digits of either case; 0 when empty
// or when it does not convert. Longer digit strings keep their low 32 bits.
std::int32_t AddrTextAsHex(const QString& text);

class TAddrEdit : public QWidget {
    Q_OBJECT
public:
    explicit TAddrEdit(QWidget* parent = nullptr);

    bool IsHexa() const { return hexa_; }
    QString Text() const;
    std::int32_t AsInteger() const;
    std::int32_t AsHex() const;
    // Switch to a form and show the value in it.
    void SetDecimal(std::int32_t value);
    void SetHexa(std::int32_t value);
    // The value read in the current form plus delta, shown in the same form.
    void Step(std::int32_t delta);

    QLineEdit* Edit() const { return edit_; }
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    // A typed key was refused (the system's beep sounds too).
    void keyRefused();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // True when the key press must not reach the edit.
    bool FilterKey(const class QKeyEvent& key);
    void Refuse();

    QLineEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
    bool hexa_ = false;
};

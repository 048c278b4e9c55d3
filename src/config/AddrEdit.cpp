#include "AddrEdit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "PrivateProfile.h"

namespace {

constexpr int kPrefixLength = 2; // "0x"
constexpr int kButtonWidth = 15;

bool IsHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

QString AddrDecimalText(std::int32_t value) { return QString::number(value); }

QString AddrHexText(std::int32_t value)
{
    return "0x" + QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
}

std::int32_t AddrTextAsInteger(const QString& text)
{
    return ProfileConvertInt(text.trimmed().toStdString()).value_or(0);
}

std::int32_t AddrTextAsHex(const QString& text)
{
    std::uint32_t value = 0;
    for (QChar c : text.mid(kPrefixLength)) {
        if (!IsHexDigit(c))
            return 0;
        value = (value << 4) | static_cast<std::uint32_t>(QString(c).toUInt(nullptr, 16));
    }
    return static_cast<std::int32_t>(value);
}

TAddrEdit::TAddrEdit(QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), up_(new QToolButton(this)),
      down_(new QToolButton(this))
{
    edit_->installEventFilter(this);
    setFocusProxy(edit_);
    for (QToolButton* b : {up_, down_}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { Step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { Step(-1); });
    SetDecimal(0);
}

QString TAddrEdit::Text() const { return edit_->text(); }

std::int32_t TAddrEdit::AsInteger() const { return AddrTextAsInteger(edit_->text()); }

std::int32_t TAddrEdit::AsHex() const { return AddrTextAsHex(edit_->text()); }

void TAddrEdit::SetDecimal(std::int32_t value)
{
    hexa_ = false;
    edit_->setText(AddrDecimalText(value));
}

void TAddrEdit::SetHexa(std::int32_t value)
{
    hexa_ = true;
    edit_->setText(AddrHexText(value));
}

void TAddrEdit::Step(std::int32_t delta)
{
    // Wraps around at the ends of the 32-bit range instead of overflowing.
    auto add = [delta](std::int32_t v) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) +
                                         static_cast<std::uint32_t>(delta));
    };
    if (hexa_)
        SetHexa(add(AsHex()));
    else
        SetDecimal(add(AsInteger()));
}

void TAddrEdit::resizeEvent(QResizeEvent*)
{
    const int h = height();
    const int editWidth = std::max(0, width() - 2 * kButtonWidth);
    edit_->setGeometry(0, 0, editWidth, h);
    up_->setGeometry(editWidth, 0, kButtonWidth, h);
    down_->setGeometry(editWidth + kButtonWidth, 0, kButtonWidth, h);
}

void TAddrEdit::Refuse()
{
    QApplication::beep();
    emit keyRefused();
}

bool TAddrEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_) {
        if (event->type() == QEvent::KeyPress) {
            if (FilterKey(static_cast<const QKeyEvent&>(*event)))
                return true;
        } else if (event->type() == QEvent::FocusOut && hexa_) {
            SetHexa(AsHex()); // typed digits take the display form: "03bc" reads "0x3BC"
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TAddrEdit::FilterKey(const QKeyEvent& key)
{
    // The caret, or the start of the selection that typing would replace.
    const int at = edit_->hasSelectedText() ? edit_->selectionStart() : edit_->cursorPosition();

    switch (key.key()) {
    case Qt::Key_Up:
        Step(1);
        return true;
    case Qt::Key_Down:
        Step(-1);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (!hexa_)
            Step(key.key() == Qt::Key_PageUp ? 10 : -10);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }

    // Clipboard and undo commands are not typing; a paste goes in unfiltered.
    if (key.matches(QKeySequence::Paste) || key.matches(QKeySequence::Copy) ||
        key.matches(QKeySequence::SelectAll) || key.matches(QKeySequence::Undo) ||
        key.matches(QKeySequence::Redo))
        return false;

    if (hexa_) {
        const bool erasesPrefix =
            (key.key() == Qt::Key_Delete || key.matches(QKeySequence::Cut))
                ? at < kPrefixLength
                : key.key() == Qt::Key_Backspace &&
                      (edit_->hasSelectedText() ? at < kPrefixLength : at <= kPrefixLength);
        if (erasesPrefix) {
            Refuse();
            return true;
        }
    }

    const QString text = key.text();
    if (text.isEmpty())
        return false; // caret movement and other keys that type nothing
    const QChar c = text.at(0);
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    bool accepted;
    if (enter)
        accepted = false;
    else if (c.unicode() < 32 || c.unicode() == 127)
        accepted = !hexa_ || at >= kPrefixLength; // editing control characters
    else if (hexa_)
        accepted = text.size() == 1 && IsHexDigit(c) && at >= kPrefixLength;
    else
        accepted = text.size() == 1 && ((c >= u'0' && c <= u'9') || c == u'+' || c == u'-');
    if (!accepted) {
        Refuse();
        return true;
    }
    return false;
}

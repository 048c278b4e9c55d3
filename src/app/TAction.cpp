#include "TAction.h"

TAction::TAction(const QString& name, const QString& caption, QObject* parent)
    : QAction(caption, parent)
{
    setObjectName(name);
    connect(this, &QAction::triggered, this, &TAction::Chosen);
}

void TAction::SetChecked(bool checked)
{
    // Checkable only while checked: an unchecked item shows no check box at all.
    if (checked) {
        setCheckable(true);
        setChecked(true);
    } else {
        setChecked(false);
        setCheckable(false);
    }
}

bool TAction::Execute()
{
    if (!onExecute_)
        return false;
    onExecute_(this);
    return true;
}

void TAction::Chosen()
{
    if (isCheckable())
        setChecked(!isChecked()); // undo the toolkit's toggle; the handler decides
    Execute();
}

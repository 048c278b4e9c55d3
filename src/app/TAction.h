#pragma once
// An action of the main window: shared by its menu item and toolbar button, it carries a tag
// and an execute handler. A check-type action toggles its own checked state inside its handler,
// so the toolkit's own toggle on activation is undone before the handler runs. An action shows
// a check mark only while it is checked.
#include <QAction>
#include <functional>

class TAction : public QAction {
    Q_OBJECT
public:
    using Handler = std::function<void(TAction*)>;

    TAction(const QString& name, const QString& caption, QObject* parent);

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked);

    bool HasHandler() const { return bool(onExecute_); }
    void SetOnExecute(Handler handler) { onExecute_ = std::move(handler); }
    // Runs the execute handler with this action as the sender; false when there is none.
    bool Execute();

private:
    void Chosen();

    int tag_ = 0;
    Handler onExecute_;
};

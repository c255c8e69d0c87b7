#include "shell/gui/skinaccessible.h"

#include <QAccessibleWidget>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace SkinAccessible
{
namespace
{
// A control's description, kept as a hidden child of the control so that it
// goes with it.
class Description final : public QObject
{
public:
    Description(QWidget *control, Kind kind, std::function<QString()> name, std::function<bool()> on)
        : QObject(control)
        , kind(kind)
        , name(std::move(name))
        , on(std::move(on))
    {
    }

    const Kind kind;
    const std::function<QString()> name;
    const std::function<bool()> on;
};

const Description *descriptionOf(const QObject *control)
{
    for (const QObject *child : control->children())
        if (const auto *d = dynamic_cast<const Description *>(child))
            return d;
    return nullptr;
}

// A described control that is clicked (every kind but the window).
bool pressable(const QObject *control)
{
    const Description *d = descriptionOf(control);
    return d && d->kind != Kind::Window;
}

QAccessible::Role roleOf(Kind kind)
{
    switch (kind) {
    case Kind::Button: return QAccessible::Button;
    case Kind::Tab: return QAccessible::PageTab;
    // The screen-reader bridge has no toggle-button role: a checkable button
    // still reads as a plain push button, while a check box reads with its
    // checked state.
    case Kind::Toggle: return QAccessible::CheckBox;
    case Kind::Link: return QAccessible::Link;
    case Kind::Window: return QAccessible::Window;
    }
    return QAccessible::Client;
}

class SkinControl final : public QAccessibleWidget
{
public:
    SkinControl(QWidget *control, QAccessible::Role plainRole)
        : QAccessibleWidget(control, plainRole)
    {
    }

    QAccessible::Role role() const override
    {
        const Description *d = descriptionOf(widget());
        return d ? roleOf(d->kind) : QAccessibleWidget::role();
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const Description *d = descriptionOf(widget());
        if (d && d->name)
            return d->name().simplified();
        const QVariant text = widget()->property("text");
        return text.isValid() ? text.toString().simplified() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        const Description *d = descriptionOf(widget());
        if (!d)
            return s;
        const bool on = d->on && d->on();
        if (d->kind == Kind::Tab) {
            s.selectable = true;
            s.selected = on;
            // A window may disable its selected tab to keep the pointer's
            // hover pictures off it; to a reader it is the selected tab.
            if (on)
                s.disabled = false;
        } else if (d->kind == Kind::Toggle) {
            s.checkable = true;
            s.checked = on;
        }
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (pressable(widget()) && widget()->isEnabled())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction() || !pressable(widget())) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        QWidget *control = widget();
        QTimer::singleShot(0, control, [control] {
            // What a click on it would find.
            if (control->isVisible() && control->isEnabled())
                QMetaObject::invokeMethod(control, "clicked");
        });
    }
};

QAccessibleInterface *skinControlFactory(const QString &, QObject *object)
{
    // Asked for every class of the object, most derived first; the answer is
    // kept for the object's life, so the description is read on every question.
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *control = static_cast<QWidget *>(object);
    if (descriptionOf(object) && control->isWindow())
        return new SkinControl(control, QAccessible::Window);
    if (object->inherits("ClickLabel"))
        return new SkinControl(control, QAccessible::StaticText);
    if (object->inherits("PictureBox"))
        return new SkinControl(control, QAccessible::Client);
    return nullptr;
}
} // namespace

void Describe(QWidget *control, Kind kind, std::function<QString()> name, std::function<bool()> on)
{
    Install();
    delete const_cast<Description *>(descriptionOf(control));
    new Description(control, kind, std::move(name), std::move(on));
}

void Changed(QWidget *control)
{
    const Description *d = descriptionOf(control);
    if (!d || !QAccessible::isActive())
        return;
    QAccessibleEvent named(control, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&named);
    QAccessible::State changed;
    if (d->kind == Kind::Tab)
        changed.selected = true;
    else if (d->kind == Kind::Toggle)
        changed.checked = true;
    else
        return;
    QAccessibleStateChangeEvent state(control, changed);
    QAccessible::updateAccessibility(&state);
}

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(skinControlFactory);
        return true;
    }();
    Q_UNUSED(installed);
}
} // namespace SkinAccessible

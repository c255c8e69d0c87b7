#pragma once

#include <QKeyCombination>
#include <QObject>

#include <memory>

class QWidget;

// A key combination taken for the whole desktop. While it is held, the
// combination pressed anywhere (in another program, or in a game or page of
// this one) goes to this program alone and reaches the window as a
// HotKeyEvent through its hook chain. Caps Lock and Num Lock do not matter.
// The key is given back when the object is destroyed.
class GlobalHotKey final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GlobalHotKey)

public:
    enum class Status {
        Registered,
        Taken,      // another program holds the combination
        Unsupported // no such keys on this display, or no way to take them
    };

    // Supported keys: a letter with Control, Shift, Alt and Meta.
    GlobalHotKey(QWidget *window, int id, QKeyCombination key, QObject *parent = nullptr);
    ~GlobalHotKey() override;

    Status status() const;

private:
    class Impl; // the display server's backend
    std::unique_ptr<Impl> m_impl;
};

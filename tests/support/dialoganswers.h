#pragma once

// Answering the program's modal message boxes and popup menus from a test.

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// Answers every message box as it comes: presses `answer` (or ends the box
// with that result when it has no such button) and records what each said;
// `text`, `title`, `buttons` and `icon` are those of the last one.
class MessageAnswer : public QObject
{
public:
    explicit MessageAnswer(QMessageBox::StandardButton answer) : m_answer(answer)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++count;
            text = box->text();
            title = box->windowTitle();
            texts << text;
            titles << title;
            buttons = box->standardButtons();
            buttonTexts.clear();
            for (QAbstractButton *b : box->buttons())
                buttonTexts << b->text();
            icon = box->icon();
            if (QAbstractButton *b = box->button(m_answer))
                b->click();
            else
                box->done(m_answer);
        });
        m_timer.start(20);
    }
    int count = 0;
    QString text;
    QString title;
    QStringList texts;
    QStringList titles;
    QMessageBox::StandardButtons buttons;
    QStringList buttonTexts;
    QMessageBox::Icon icon = QMessageBox::NoIcon;

private:
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

// The program menu as MenuAnswer::entries gives it, from the caption's menu
// button and from the notification-area icon alike ("-" for a separator).
inline QStringList ProgramMenuEntries()
{
    return {QStringLiteral("软件设置"), QStringLiteral("关于我们"), QStringLiteral("官方网站"), QStringLiteral("-"),
            QStringLiteral("升级检测"), QStringLiteral("-"), QStringLiteral("退出软件")};
}

// Watches for popup menus: records the entries of each one and chooses
// `entry` (by its text), or closes the menu when the entry is empty.
class MenuAnswer : public QObject
{
public:
    explicit MenuAnswer(const QString &entry = QString()) : m_entry(entry)
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu || !menu->isVisible())
                return;
            ++count;
            QStringList texts;
            QAction *chosen = nullptr;
            for (QAction *a : menu->actions()) {
                texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
                if (!m_entry.isEmpty() && a->text() == m_entry)
                    chosen = a;
            }
            entries = texts;
            position = menu->pos();
            if (chosen) {
                menu->setActiveAction(chosen);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        m_timer.start(20);
    }
    int count = 0;
    QStringList entries;
    QPoint position;

private:
    QString m_entry;
    QTimer m_timer;
};

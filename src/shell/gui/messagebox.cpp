#include "shell/gui/messagebox.h"

QString ApplicationTitle()
{
    return QStringLiteral("Kavo游戏盒");
}

QMessageBox::StandardButton ShowMessage(QWidget *parent, const QString &text, const QString &title,
                                        QMessageBox::StandardButtons buttons)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, parent);
    const int pressed = box.exec();
    return buttons.testFlag(QMessageBox::StandardButton(pressed)) ? QMessageBox::StandardButton(pressed)
                                                                   : QMessageBox::Cancel;
}

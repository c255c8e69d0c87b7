#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The caption of messages that carry no caption of their own.
QString ApplicationTitle();

// The program's message boxes: a fixed text and caption, no icon, modal to
// `parent`. Returns the button that was pressed (Cancel when the box was
// closed by other means).
QMessageBox::StandardButton ShowMessage(QWidget *parent, const QString &text, const QString &title,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

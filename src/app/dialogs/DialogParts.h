#pragma once

#include <QString>
#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;

// What the tool's own dialogs are built of.

QPushButton* NewDialogButton(const char* objectName, const QString& text, QWidget* parent);

template <typename Widget> Widget* Named(Widget* widget, const char* objectName)
{
    widget->setObjectName(objectName);
    return widget;
}

QHBoxLayout* RowOf(std::initializer_list<QWidget*> widgets);

// A CSV file chosen to be read or written through a file dialog of that
// object name; empty when none was chosen.
QString ChooseCsvFile(QWidget* parent, const QString& objectName, const QString& suggested, bool saving);

#pragma once

class QFileDialog;
class QString;
class QWidget;

// A dialog that picks one existing file, under the given object name. Qt's own
// dialog rather than the platform's: the same on every desktop, and drivable
// in tests. It builds a model of the file system, so pages create it when
// first needed, not with the window.
QFileDialog* newOpenFileDialog(QWidget* window, const QString& name);

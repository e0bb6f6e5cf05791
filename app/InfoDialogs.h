#pragma once
// The three dialogs of the "?" menu: the about box, the key map and the puzzle file format.
// Each has only an "OK" button and reads nothing back.

#include <memory>

class QDialog;
class QWidget;

std::unique_ptr<QDialog> MakeAboutDialog(QWidget* parent);
std::unique_ptr<QDialog> MakeKeyMapDialog(QWidget* parent);
std::unique_ptr<QDialog> MakeFileFormatDialog(QWidget* parent);

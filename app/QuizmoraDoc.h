#pragma once
// The document of the game: it holds no data and never reads or writes a file. It only has a
// name, shown in the window caption, which other programs may change by "opening" a path.

#include <QString>

class CQuizmoraDoc {
public:
    // The new document of the start: named "Das Spiel" in the current folder. Fails without a view.
    bool NewDocument(bool hasView);
    // Takes the path as the document's name; reads nothing. Fails without a view.
    bool OpenDocument(const QString& path, bool hasView);

    // The game never has unsaved changes.
    bool IsModified() const { return false; }

    // Full path; empty before the first document.
    const QString& PathName() const { return pathName_; }
    // The file name part of the path.
    QString Title() const;
    // "Das Spiel - Quizmora".
    QString Caption() const;

private:
    QString pathName_;
};

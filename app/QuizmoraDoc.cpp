#include "app/QuizmoraDoc.h"

#include "app/CommandTexts.h"

#include <QDir>
#include <QFileInfo>

bool CQuizmoraDoc::NewDocument(bool hasView)
{
    pathName_.clear();
    if (!hasView)
        return false;
    pathName_ = QDir::current().absoluteFilePath(QStringLiteral("Das Spiel"));
    return true;
}

bool CQuizmoraDoc::OpenDocument(const QString& path, bool hasView)
{
    if (!hasView)
        return false;
    QString name = path;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    pathName_ = QDir::cleanPath(QDir::current().absoluteFilePath(name));
    return true;
}

QString CQuizmoraDoc::Title() const
{
    return QFileInfo(pathName_).fileName();
}

QString CQuizmoraDoc::Caption() const
{
    const QString application = QString::fromUtf8(kApplicationTitle.data(), static_cast<qsizetype>(kApplicationTitle.size()));
    const QString title = Title();
    return title.isEmpty() ? application : title + QStringLiteral(" - ") + application;
}

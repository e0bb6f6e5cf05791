#pragma once
// The join code for the phones: a QR code of the join address with the address under it, in a
// window of its own that the quiz master can move to the projector.

#include <QImage>
#include <QWidget>

class QLabel;

// The QR code of the text, black modules on white with the standard quiet zone of 4 modules,
// each module `scale` pixels wide; a null image when the text cannot be encoded.
QImage JoinCodeImage(const QString& text, int scale);

class CJoinCodeWindow final : public QWidget {
    Q_OBJECT
public:
    explicit CJoinCodeWindow(QWidget* parent = nullptr);

    void SetUrl(const QString& url);
    QString Url() const { return url_; }

private:
    QString url_;
    QLabel* code_;
    QLabel* text_;
};

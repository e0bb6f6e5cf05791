#include "buzzers/JoinCodeWindow.h"

#include <QLabel>
#include <QVBoxLayout>

#include <qrencode.h>

#include <memory>

namespace {

constexpr int kQuietZone = 4;

struct SQrFree {
    void operator()(QRcode* code) const { QRcode_free(code); }
};

}  // namespace

QImage JoinCodeImage(const QString& text, int scale)
{
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, SQrFree> code(QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M));
    if (!code || scale <= 0)
        return {};
    const int modules = code->width + 2 * kQuietZone;
    QImage image(modules * scale, modules * scale, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if ((code->data[y * code->width + x] & 1) == 0)
                continue;
            for (int dy = 0; dy < scale; ++dy) {
                auto* row = reinterpret_cast<QRgb*>(image.scanLine((y + kQuietZone) * scale + dy));
                for (int dx = 0; dx < scale; ++dx)
                    row[(x + kQuietZone) * scale + dx] = qRgb(0, 0, 0);
            }
        }
    }
    return image;
}

CJoinCodeWindow::CJoinCodeWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , code_(new QLabel(this))
    , text_(new QLabel(this))
{
    setObjectName(QStringLiteral("joinCodeWindow"));
    setWindowTitle(QStringLiteral("Handy-Buzzer"));
    // The game keeps the keyboard: the function keys go on working while this shows.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(QStringLiteral("background: white; color: black;"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(QStringLiteral("Mit dem Handy scannen, Seite wählen, buzzern!"), this);
    QFont large = hint->font();
    large.setPointSize(18);
    hint->setFont(large);
    hint->setAlignment(Qt::AlignCenter);
    code_->setObjectName(QStringLiteral("joinCode"));
    code_->setAlignment(Qt::AlignCenter);
    text_->setObjectName(QStringLiteral("joinUrl"));
    text_->setAlignment(Qt::AlignCenter);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(hint);
    layout->addWidget(code_, 1);
    layout->addWidget(text_);
}

void CJoinCodeWindow::SetUrl(const QString& url)
{
    url_ = url;
    code_->setPixmap(QPixmap::fromImage(JoinCodeImage(url, 8)));
    text_->setText(url);
    adjustSize();
}
